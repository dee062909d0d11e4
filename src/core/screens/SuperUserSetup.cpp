#include "core/screens/SuperUserSetup.h"

#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Prompter.h"

namespace lms {

SuperUserSetup::SuperUserSetup(Tdm_Dbase& dm, Prompter& prompter, QObject* parent)
    : FormModel(QStringLiteral("frm_SuperUser"), QStringLiteral("首次使用：设置超级用户"), parent),
      dm_(dm), prompter_(prompter) {
    onClick(OkButton, [this] { OkButtonClick(); });
    onClick(CancelButton, [this] { CancelButtonClick(); });
    onKeyDown(Password2, [this](int key) {
        if (key == kEnterKey)
            OkButtonClick();
    });
}

void SuperUserSetup::FormShow() {
    Password.setValue(QString());
    Password2.setValue(QString());
    UserName.requestFocus();
}

void SuperUserSetup::OkButtonClick() {
    const QString name = UserName.text().trimmed();
    const QString password = Password.text();
    if (name.isEmpty()) {
        prompter_.error(QStringLiteral("请输入用户名"));
        UserName.requestFocus();
        return;
    }
    if (Gbk::byteLength(name) > kNameMaxBytes) {
        prompter_.error(QStringLiteral("用户名不能超过15个字节"));
        UserName.requestFocus();
        return;
    }
    if (password.isEmpty()) {
        prompter_.error(QStringLiteral("请输入密码"));
        Password.requestFocus();
        return;
    }
    if (password != Password2.text()) {
        prompter_.error(QStringLiteral("两次输入的密码不一致"));
        Password2.setValue(QString());
        Password2.requestFocus();
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
