#include "admin/Tfrm_TJUser.h"

#include "admin/SystemUsers.h"
#include "core/Messages.h"
#include "core/Passwords.h"
#include "core/Permissions.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_TJUser::Tfrm_TJUser(ScreenContext& context)
    : UserForm(QStringLiteral("frm_TJUser"), QStringLiteral("添加系统新用户"), context) {
    addField(QStringLiteral("username"), FieldKind::Text, QStringLiteral("用户名："))
        .setMaxBytes(kNameMaxBytes);
    addField(QStringLiteral("Memo1"), FieldKind::Memo,
             QStringLiteral("备    注：(最多220个字符或110个汉字)"))
        .setMaxBytes(kRemarkMaxBytes);
    addPermissionBoxes();
    addField(QStringLiteral("UserGroup"), FieldKind::Group, QStringLiteral("系统中已有用户："));
    addField(QStringLiteral("userlist"), FieldKind::ListBox);
    addField(QStringLiteral("PasswordNote"), FieldKind::Label)
        .setValue(QStringLiteral("所有新增用户初始密码都为：") + SystemUsers::initialPassword());
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("添加"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { close(); });
}

void Tfrm_TJUser::FormShow() {
    Field& list = field(QStringLiteral("userlist"));
    list.setItems({});
    list.setValue(QString());
    QStringList names;
    try {
        names = SystemUsers::names(db());
        list.setItems(names);
        if (names.isEmpty()) {
            ctx_.prompter.error(QStringLiteral("没有可以登陆的用户名"));
            return;
        }
        list.setValue(names.first());
    } catch (const DbError&) {
        list.setItems(names);
        ctx_.prompter.error(Messages::databaseError());
    }
    field(QStringLiteral("username")).setValue(QString());
    field(QStringLiteral("username")).requestFocus();
    field(QStringLiteral("Memo1")).setValue(QString());
}

void Tfrm_TJUser::Button1Click() {
    Field& nameField = field(QStringLiteral("username"));
    const QString name = SystemUsers::trimmedName(nameField.text());
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入添加的用户名!"));
        nameField.requestFocus();
        return;
    }
    try {
        if (db().scalar(QStringLiteral("SELECT 1 FROM 管理员 WHERE 用户名 = ?"), {name})
                .isValid()) {
            ctx_.prompter.error(QStringLiteral("此用户已存在！请重新输入新的用户名"));
            nameField.requestFocus();
            return;
        }
    } catch (const DbError&) {
        // The unique index still refuses a duplicate below.
        ctx_.prompter.error(Messages::databaseError());
    }
    const QString remark = field(QStringLiteral("Memo1")).text();
    try {
        QString columns = QStringLiteral("用户名, 密码, 备注");
        QString marks = QStringLiteral("?, ?, ?");
        for (const PermissionFlag& flag : permissionFlags()) {
            columns += QStringLiteral(", ") + flag.column();
            marks += QStringLiteral(", ?");
        }
        Transaction transaction(db());
        Query(db(), QStringLiteral("INSERT INTO 管理员 (%1) VALUES (%2)").arg(columns, marks))
            .bindAll(QVariantList{name, Passwords::hash(SystemUsers::initialPassword()), remark} +
                     tickedFlags())
            .exec();
        log(QStringLiteral("添加系统用户"),
            QStringLiteral("用户：") + name + QStringLiteral("  备注：") + remark);
        transaction.commit();
        ctx_.prompter.information(QStringLiteral("添加系统用户成功!"));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
    nameField.setValue(QString());
    field(QStringLiteral("Memo1")).setValue(QString());
    FormShow();
}

} // namespace lms
