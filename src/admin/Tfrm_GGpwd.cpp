#include "admin/Tfrm_GGpwd.h"

#include "admin/SystemUsers.h"
#include "core/Messages.h"
#include "core/Passwords.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_GGpwd::Tfrm_GGpwd(ScreenContext& context)
    : UserForm(QStringLiteral("frm_GGpwd"), QStringLiteral("更改用户密码"), context) {
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { close(); });
}

void Tfrm_GGpwd::FormShow() {
    userlist.setItems({});
    userlist.setValue(QString());
    for (Field* password : {&Edit1, &Edit2, &Edit3})
        password->setValue(QString());
    QStringList names;
    try {
        names = Users::names(db());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (names.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("系统中没有可用的用户"));
        return;
    }
    userlist.setItems(names);
    userlist.setValue(names.contains(ctx_.pub.CurrentUser) ? ctx_.pub.CurrentUser : QString());
}

void Tfrm_GGpwd::Button1Click() {
    const QString name = userlist.text();
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入或选择要更改密码的用户!"));
        return;
    }
    if (Edit2.text() != Edit3.text()) {
        ctx_.prompter.error(QStringLiteral("您两次输入的新密码不一样!"));
        return;
    }
    try {
        // A typed name without a row must not fall back on some other user's row.
        const std::optional<Users::UserRow> user = Users::findUser(db(), name);
        if (!user) {
            ctx_.prompter.error(SystemUsers::unknownUser());
            return;
        }
        if (!Passwords::verify(Edit1.text(), user->passwordHash)) {
            ctx_.prompter.error(QStringLiteral("输入的旧密码不正确!"));
            return;
        }
        switch (Users::changePassword(ctx_.dm, {.loaded = *user, .password = Edit2.text()},
                                      ctx_.pub.CurrentUser, ctx_.clock.now())) {
        case Users::Outcome::Done:
            ctx_.prompter.information(QStringLiteral("更改密码成功!"));
            break;
        case Users::Outcome::Changed: // its password was changed at another desk
            ctx_.prompter.error(SystemUsers::changedElsewhere(user->name));
            break;
        case Users::Outcome::Missing:
        case Users::Outcome::SuperUser:
            ctx_.prompter.error(SystemUsers::deletedElsewhere(user->name));
            break;
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

} // namespace lms
