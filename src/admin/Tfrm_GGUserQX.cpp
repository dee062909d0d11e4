#include "admin/Tfrm_GGUserQX.h"

#include "admin/SystemUsers.h"
#include "core/Messages.h"
#include "core/form/Prompter.h"

#include <QScopedValueRollback>

namespace lms {

Tfrm_GGUserQX::Tfrm_GGUserQX(ScreenContext& context)
    : UserForm(QStringLiteral("frm_GGUserQX"), QStringLiteral("更改系统用户权限"), context) {
    addField(QStringLiteral("UserGroup"), FieldKind::Group,
             QStringLiteral("请选择要更改权限的用户："));
    addField(QStringLiteral("Userlist"), FieldKind::ListBox, QStringLiteral("系统中存在的用户："));
    addPermissionBoxes();
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("更改"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
    addOperation(QStringLiteral("UserlistClick"), [this] { UserlistClick(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { close(); });
    onChange(QStringLiteral("Userlist"), [this] {
        if (!filling_)
            UserlistClick();
    });
}

void Tfrm_GGUserQX::FormShow() {
    Field& list = field(QStringLiteral("Userlist"));
    const QScopedValueRollback<bool> filling(filling_, true);
    list.setItems({});
    list.setValue(QString());
    try {
        Query query(db(), QStringLiteral("SELECT rowid, 用户名 FROM 管理员 ORDER BY rowid"));
        QStringList names;
        qint64 firstOffered = 0;
        while (query.next()) {
            names << query.text(1);
            if (names.size() == 2)
                firstOffered = query.integer(0);
        }
        if (names.size() == 1) {
            ctx_.prompter.error(QStringLiteral("系统除超级用户外没有其它用户！"));
            return;
        }
        if (names.size() > 1) {
            list.setItems(names.mid(1));
            list.setValue(names[1]);
            showFlags(firstOffered);
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_GGUserQX::UserlistClick() {
    const QString name = field(QStringLiteral("Userlist")).text();
    if (name.isEmpty())
        return;
    try {
        if (const auto rowid = SystemUsers::find(db(), name))
            showFlags(*rowid);
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_GGUserQX::Button1Click() {
    const QString name = field(QStringLiteral("Userlist")).text();
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请先选择要更改权限的用户!"));
        return;
    }
    try {
        const auto rowid = SystemUsers::find(db(), name);
        if (!rowid || SystemUsers::isSuperUser(db(), *rowid)) {
            ctx_.prompter.error(SystemUsers::unknownUser());
            return;
        }
        Transaction transaction(db());
        Query(db(), QStringLiteral("UPDATE 管理员 SET %1 WHERE rowid = ?").arg(flagAssignments()))
            .bindAll(tickedFlags() << *rowid)
            .exec();
        log(QStringLiteral("更改用户权限"), QStringLiteral("被更改权限用户：") + name);
        transaction.commit();
        ctx_.prompter.information(QStringLiteral("更改权限成功!"));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

} // namespace lms
