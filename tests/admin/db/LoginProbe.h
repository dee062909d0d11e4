#pragma once

#include "core/Permissions.h"
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "support/TestDoubles.h"

namespace lms::test {

// Logs in through the real login dialog, to see whether a user's password works and which
// permission flags the login grants.
class LoginProbe {
public:
    LoginProbe(Tdm_Dbase& dm, const Clock& clock)
        : main_(dm, prompter_, clock, host_), login_(dm, prompter_, host_, main_) {}

    // The granted flag numbers, or nothing when the login was refused.
    std::optional<QList<int>> logIn(const QString& name, const QString& password) {
        login_.FormShow();
        login_.field(QStringLiteral("userlist")).setValue(name);
        login_.field(QStringLiteral("PWDEdit")).setValue(password);
        bool accepted = false;
        auto c = QObject::connect(&login_, &FormModel::closeRequested, [&](FormModel::Result r) {
            accepted = r == FormModel::Result::Accepted;
        });
        login_.Button1Click();
        QObject::disconnect(c);
        if (!accepted)
            return std::nullopt;
        QList<int> flags;
        for (const PermissionFlag& flag : permissionFlags())
            if (main_.field(QString::fromUtf8(flag.command)).isEnabled())
                flags << flag.number;
        return flags;
    }

private:
    ScriptedPrompter prompter_;
    ScriptedHost host_;
    Tfrm_Main main_;
    TfrmLogin login_;
};

} // namespace lms::test
