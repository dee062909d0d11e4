#include "core/screens/TfrmLogin.h"

#include "core/Messages.h"
#include "core/Passwords.h"
#include "core/Permissions.h"
#include "core/Tdm_Dbase.h"
#include "core/UserStore.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"

namespace lms {

TfrmLogin::TfrmLogin(Tdm_Dbase& dm, Prompter& prompter, ScreenHost& host, PermissionGate& gate,
                     QObject* parent)
    : FormModel(QStringLiteral("frmLogin"), QStringLiteral("系统用户登陆"), parent), dm_(dm),
      prompter_(prompter), host_(host), gate_(gate) {
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
    onKeyDown(PWDEdit, [this](int key) { PWDEditKeyDown(key); });
}

void TfrmLogin::FormShow() {
    for (int n = 1; n <= kFlagsClearedAtLogin; ++n)
        gate_.setFlagEnabled(n, false);

    QStringList names;
    try {
        names = Users::names(dm_.db());
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
    PWDEdit.setValue(QString());
    PWDEdit.requestFocus();
}

void TfrmLogin::Button1Click() {
    const QString name = userlist.text();
    try {
        const std::optional<Users::UserRow> user = Users::loadUser(dm_.db(), name);
        if (!user || !Passwords::verify(PWDEdit.text(), user->passwordHash)) {
            prompter_.error(QStringLiteral("请输入正确的用户名和密码"));
            return;
        }
        for (const PermissionFlag& flag : permissionFlags())
            gate_.setFlagEnabled(flag.number, user->flags[flag.number - 1]);
        dm_.pub().CurrentUser = name;
        gate_.showCurrentUser(name);
        PWDEdit.setValue(QString());
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
