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
            permissions.show(users[1].flags);
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_GGUserQX::UserlistClick() {
    const QString name = Userlist.text();
    if (name.isEmpty())
        return;
    try {
        if (const auto user = Users::findUser(db(), name))
            permissions.show(user->flags);
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_GGUserQX::Button1Click() {
    const QString name = Userlist.text();
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请先选择要更改权限的用户!"));
        return;
    }
    try {
        if (!Users::changePermissions(ctx_.dm, {.name = name, .flags = permissions.ticked()},
                                      ctx_.pub.CurrentUser, ctx_.clock.now())) {
            ctx_.prompter.error(SystemUsers::unknownUser());
            return;
        }
        ctx_.prompter.information(QStringLiteral("更改权限成功!"));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

} // namespace lms
