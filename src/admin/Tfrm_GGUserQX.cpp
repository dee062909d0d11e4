#include "admin/Tfrm_GGUserQX.h"

#include "admin/SystemUsers.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

#include <QScopedValueRollback>

namespace lms {

Tfrm_GGUserQX::Tfrm_GGUserQX(ScreenContext& context)
    : UserForm(QStringLiteral("frm_GGUserQX"), QStringLiteral("更改系统用户权限"), context) {
    addOperation(QStringLiteral("UserlistClick"), [this] { UserlistClick(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { close(); });
    onChange(Userlist, [this] {
        if (!filling_)
            UserlistClick();
    });
}

void Tfrm_GGUserQX::FormShow() {
    const QScopedValueRollback<bool> filling(filling_, true);
    shown_.reset();
    Userlist.setItems({});
    Userlist.setValue(QString());
    try {
        const QList<Users::UserRow> users = Users::loadUsers(db());
        if (users.size() == 1) {
            ctx_.prompter.error(QStringLiteral("系统除超级用户外没有其它用户！"));
            return;
        }
        if (users.size() > 1) {
            QStringList offered;
            for (const Users::UserRow& user : users.mid(1))
                offered << user.name;
            Userlist.setItems(offered);
            Userlist.setValue(offered.first());
            showUser(users[1]);
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_GGUserQX::UserlistClick() {
    const QString name = Userlist.text();
    if (name.isEmpty())
        return;
    shown_.reset();
    try {
        showUser(Users::findUser(db(), name));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_GGUserQX::showUser(const std::optional<Users::UserRow>& user) {
    shown_ = user;
    if (user)
        permissions.show(user->flags);
}

void Tfrm_GGUserQX::Button1Click() {
    const QString name = Userlist.text();
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请先选择要更改权限的用户!"));
        return;
    }
    // The flags shown are those of the chosen entry's row, or there is nothing to check a save
    // against.
    if (!shown_ || shown_->name.compare(name, Qt::CaseInsensitive) != 0) {
        ctx_.prompter.error(SystemUsers::unknownUser());
        return;
    }
    try {
        switch (Users::changePermissions(ctx_.dm,
                                         {.loaded = *shown_, .flags = permissions.ticked()},
                                         ctx_.pub.CurrentUser, ctx_.clock.now())) {
        case Users::Outcome::Done:
            shown_->flags = permissions.ticked();
            ctx_.prompter.information(QStringLiteral("更改权限成功!"));
            break;
        case Users::Outcome::Changed:
            // The clerk sees the flags as they are now before deciding again.
            ctx_.prompter.error(SystemUsers::changedElsewhere(shown_->name));
            UserlistClick();
            break;
        case Users::Outcome::Missing:
            ctx_.prompter.error(SystemUsers::deletedElsewhere(shown_->name));
            FormShow();
            break;
        case Users::Outcome::SuperUser:
            ctx_.prompter.error(SystemUsers::unknownUser());
            break;
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

} // namespace lms
