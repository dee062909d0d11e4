#include "admin/Tfrm_SCUser.h"

#include "admin/SystemUsers.h"
#include "core/Messages.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_SCUser::Tfrm_SCUser(ScreenContext& context)
    : UserForm(QStringLiteral("frm_SCUser"), QStringLiteral("删除系统用户"), context) {
    addField(QStringLiteral("UserGroup"), FieldKind::Group, QStringLiteral("请选择要删除的用户："));
    addField(QStringLiteral("Userlist"), FieldKind::ListBox, QStringLiteral("系统中存在的用户："));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("删除"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { close(); });
}

void Tfrm_SCUser::FormShow() {
    Field& list = field(QStringLiteral("Userlist"));
    list.setItems({});
    list.setValue(QString());
    try {
        const QStringList names = SystemUsers::names(db());
        if (names.size() == 1) {
            ctx_.prompter.error(QStringLiteral("系统除超级用户外没有其它用户！"));
            return;
        }
        list.setItems(names.mid(1));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_SCUser::Button1Click() {
    const QString name = field(QStringLiteral("Userlist")).text();
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请先选择要删除的用户!"));
        return;
    }
    if (name == ctx_.pub.CurrentUser) {
        ctx_.prompter.error(QStringLiteral("当前用户为：") + ctx_.pub.CurrentUser +
                            QStringLiteral(",不能自己删除自己!"));
        return;
    }
    if (!ctx_.prompter.informationOkCancel(QStringLiteral("确实要删除此系统用户 ") + name +
                                           QStringLiteral(" 吗？")))
        return;
    try {
        Transaction transaction(db());
        // The super user stays whatever the list held.
        Query(db(), QStringLiteral("DELETE FROM 管理员 WHERE 用户名 = ? AND rowid <> "
                                   "(SELECT min(rowid) FROM 管理员)"))
            .bind(1, name)
            .exec();
        log(QStringLiteral("删除系统用户"), QStringLiteral("被删除的用户：") + name);
        transaction.commit();
        ctx_.prompter.information(QStringLiteral("用户:") + name + QStringLiteral("已成功删除!"));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
    FormShow();
}

} // namespace lms
