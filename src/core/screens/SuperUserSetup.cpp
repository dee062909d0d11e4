#include "core/screens/SuperUserSetup.h"

#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Prompter.h"

namespace lms {

SuperUserSetup::SuperUserSetup(Tdm_Dbase& dm, Prompter& prompter, QObject* parent)
    : FormModel(QStringLiteral("frm_SuperUser"), QStringLiteral("首次使用：设置超级用户"), parent),
      dm_(dm), prompter_(prompter) {
    addField(QStringLiteral("Intro"), FieldKind::Label)
        .setValue(
            QStringLiteral("这是第一次启动本系统，将新建数据库。\r请设置超级用户的用户名和密码，"
                           "超级用户拥有全部权限。"));
    addField(QStringLiteral("UserName"), FieldKind::Text, QStringLiteral("用户名："))
        .setMaxBytes(kNameMaxBytes);
    addField(QStringLiteral("Password"), FieldKind::Password, QStringLiteral("密    码："));
    addField(QStringLiteral("Password2"), FieldKind::Password, QStringLiteral("确认密码："));
    addField(QStringLiteral("OkButton"), FieldKind::Button, QStringLiteral("确定"));
    addField(QStringLiteral("CancelButton"), FieldKind::Button, QStringLiteral("取消"));
    addOperation(QStringLiteral("OkButtonClick"), [this] { OkButtonClick(); });
    addOperation(QStringLiteral("CancelButtonClick"), [this] { CancelButtonClick(); });
    onKeyDown(QStringLiteral("Password2"), [this](int key) {
        if (key == kEnterKey)
            OkButtonClick();
    });
}

void SuperUserSetup::FormShow() {
    field(QStringLiteral("Password")).setValue(QString());
    field(QStringLiteral("Password2")).setValue(QString());
    field(QStringLiteral("UserName")).requestFocus();
}

void SuperUserSetup::OkButtonClick() {
    const QString name = field(QStringLiteral("UserName")).text().trimmed();
    const QString password = field(QStringLiteral("Password")).text();
    if (name.isEmpty()) {
        prompter_.error(QStringLiteral("请输入用户名"));
        field(QStringLiteral("UserName")).requestFocus();
        return;
    }
    if (Gbk::byteLength(name) > kNameMaxBytes) {
        prompter_.error(QStringLiteral("用户名不能超过15个字节"));
        field(QStringLiteral("UserName")).requestFocus();
        return;
    }
    if (password.isEmpty()) {
        prompter_.error(QStringLiteral("请输入密码"));
        field(QStringLiteral("Password")).requestFocus();
        return;
    }
    if (password != field(QStringLiteral("Password2")).text()) {
        prompter_.error(QStringLiteral("两次输入的密码不一致"));
        field(QStringLiteral("Password2")).setValue(QString());
        field(QStringLiteral("Password2")).requestFocus();
        return;
    }
    try {
        dm_.createDatabase(name, password);
        close(Result::Accepted);
    } catch (const DbError&) {
        prompter_.error(Messages::databaseError());
        close(Result::Rejected);
    }
}

void SuperUserSetup::CancelButtonClick() {
    close(Result::Rejected);
}

} // namespace lms
