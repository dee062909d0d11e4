#include "admin/Tfrm_GGpwd.h"

#include "admin/SystemUsers.h"
#include "core/Messages.h"
#include "core/Passwords.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_GGpwd::Tfrm_GGpwd(ScreenContext& context)
    : UserForm(QStringLiteral("frm_GGpwd"), QStringLiteral("更改用户密码"), context) {
    addField(QStringLiteral("userlist"), FieldKind::EditList, QStringLiteral("用户名："));
    addField(QStringLiteral("Edit1"), FieldKind::Password, QStringLiteral("旧密码："));
    addField(QStringLiteral("Edit2"), FieldKind::Password, QStringLiteral("新密码："));
    addField(QStringLiteral("Edit3"), FieldKind::Password, QStringLiteral("确认新密码："));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("更改"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { close(); });
}

void Tfrm_GGpwd::FormShow() {
    Field& list = field(QStringLiteral("userlist"));
    list.setItems({});
    list.setValue(QString());
    for (const char* name : {"Edit1", "Edit2", "Edit3"})
        field(QString::fromUtf8(name)).setValue(QString());
    QStringList names;
    try {
        names = SystemUsers::names(db());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (names.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("系统中没有可用的用户"));
        return;
    }
    list.setItems(names);
    list.setValue(names.contains(ctx_.pub.CurrentUser) ? ctx_.pub.CurrentUser : QString());
}

void Tfrm_GGpwd::Button1Click() {
    const QString name = field(QStringLiteral("userlist")).text();
    const QString oldPassword = field(QStringLiteral("Edit1")).text();
    const QString newPassword = field(QStringLiteral("Edit2")).text();
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入或选择要更改密码的用户!"));
        return;
    }
    if (newPassword != field(QStringLiteral("Edit3")).text()) {
        ctx_.prompter.error(QStringLiteral("您两次输入的新密码不一样!"));
        return;
    }
    try {
        const auto rowid = SystemUsers::find(db(), name);
        // A typed name without a row must not fall back on some other user's row.
        if (!rowid) {
            ctx_.prompter.error(SystemUsers::unknownUser());
            return;
        }
        QString storedName;
        QString storedPassword;
        {
            Query row(db(), QStringLiteral("SELECT 用户名, 密码 FROM 管理员 WHERE rowid = ?"));
            row.bind(1, *rowid);
            if (row.next()) {
                storedName = row.text(0);
                storedPassword = row.text(1);
            }
        }
        if (!Passwords::verify(oldPassword, storedPassword)) {
            ctx_.prompter.error(QStringLiteral("输入的旧密码不正确!"));
            return;
        }
        Transaction transaction(db());
        Query(db(), QStringLiteral("UPDATE 管理员 SET 密码 = ? WHERE rowid = ?"))
            .bindAll({Passwords::hash(newPassword), *rowid})
            .exec();
        log(QStringLiteral("更改用户密码"), QStringLiteral("被更改密码的用户：") + storedName);
        transaction.commit();
        ctx_.prompter.information(QStringLiteral("更改密码成功!"));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

} // namespace lms
