#include "core/screens/TfrmLogin.h"

#include "core/Messages.h"
#include "core/Passwords.h"
#include "core/Permissions.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"

#include <array>

namespace lms {

TfrmLogin::TfrmLogin(Tdm_Dbase& dm, Prompter& prompter, ScreenHost& host, PermissionGate& gate,
                     QObject* parent)
    : FormModel(QStringLiteral("frmLogin"), QStringLiteral("系统用户登陆"), parent), dm_(dm),
      prompter_(prompter), host_(host), gate_(gate) {
    addField(QStringLiteral("GroupBox1"), FieldKind::Group,
             QStringLiteral("请输入用户名称及密码："));
    addField(QStringLiteral("userlist"), FieldKind::EditList, QStringLiteral("用户名："));
    addField(QStringLiteral("PWDEdit"), FieldKind::Password, QStringLiteral("密    码："));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("登陆"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("退出"));
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
    onKeyDown(QStringLiteral("PWDEdit"), [this](int key) { PWDEditKeyDown(key); });
}

void TfrmLogin::FormShow() {
    for (int n = 1; n <= kFlagsClearedAtLogin; ++n)
        gate_.setFlagEnabled(n, false);

    Field& userlist = field(QStringLiteral("userlist"));
    QStringList names;
    try {
        Query query(dm_.db(), QStringLiteral("SELECT 用户名 FROM 管理员 ORDER BY rowid"));
        while (query.next())
            names << query.text(0);
        userlist.setItems(names);
        if (names.isEmpty()) {
            userlist.setValue(QString());
            prompter_.error(QStringLiteral("没有可以登陆的用户名"));
            return;
        }
        userlist.setValue(names.first());
    } catch (const DbError&) {
        userlist.setItems(names);
        prompter_.error(Messages::databaseError());
    }
    Field& password = field(QStringLiteral("PWDEdit"));
    password.setValue(QString());
    password.requestFocus();
}

void TfrmLogin::Button1Click() {
    const QString name = field(QStringLiteral("userlist")).text();
    const QString password = field(QStringLiteral("PWDEdit")).text();
    try {
        QString columns = QStringLiteral("密码");
        for (const PermissionFlag& flag : permissionFlags())
            columns += QStringLiteral(", ") + flag.column();
        Query query(dm_.db(),
                    QStringLiteral("SELECT %1 FROM 管理员 WHERE 用户名 = ?").arg(columns));
        query.bind(1, name);
        if (!query.next() || !Passwords::verify(password, query.text(0))) {
            prompter_.error(QStringLiteral("请输入正确的用户名和密码"));
            return;
        }
        for (const PermissionFlag& flag : permissionFlags())
            gate_.setFlagEnabled(flag.number, query.integer(flag.number) != 0);
        dm_.pub().CurrentUser = name;
        gate_.showCurrentUser(name);
        field(QStringLiteral("PWDEdit")).setValue(QString());
        close(Result::Accepted);
    } catch (const DbError&) {
        prompter_.error(Messages::databaseError());
        close(Result::Rejected);
    }
}

void TfrmLogin::Button2Click() {
    host_.quit();
    close(Result::Rejected);
}

void TfrmLogin::PWDEditKeyDown(int key) {
    if (key == kEnterKey)
        Button1Click();
}

} // namespace lms
