#include "admin/UserForm.h"

#include "core/Permissions.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"

namespace lms {

namespace {

QString checkBoxName(int number) {
    return QStringLiteral("CheckBox%1").arg(number);
}

} // namespace

QString UserForm::redPermissionsHint() {
    return QStringLiteral("提示：红色字的权限最好是只有'超级管理员'用户保留使用");
}

UserForm::UserForm(const QString& name, const QString& caption, ScreenContext& context)
    : FormModel(name, caption), ctx_(context) {}

Database& UserForm::db() {
    return ctx_.dm.db();
}

void UserForm::addPermissionBoxes() {
    addField(QStringLiteral("PermissionGroup"), FieldKind::Group,
             QStringLiteral("请选择该用户权限："));
    for (const PermissionFlag& flag : permissionFlags())
        addField(checkBoxName(flag.number), FieldKind::Check,
                 QString::fromUtf8(flag.checkBoxCaption));
    addField(QStringLiteral("Hint"), FieldKind::Label).setValue(redPermissionsHint());
}

void UserForm::showFlags(qint64 rowid) {
    QString columns;
    for (const PermissionFlag& flag : permissionFlags())
        columns += (columns.isEmpty() ? QString() : QStringLiteral(", ")) + flag.column();
    Query query(db(), QStringLiteral("SELECT %1 FROM 管理员 WHERE rowid = ?").arg(columns));
    query.bind(1, rowid);
    if (!query.next())
        return;
    for (const PermissionFlag& flag : permissionFlags())
        field(checkBoxName(flag.number)).setValue(query.integer(flag.number - 1) != 0);
}

QVariantList UserForm::tickedFlags() const {
    QVariantList values;
    for (const PermissionFlag& flag : permissionFlags())
        values << (field(checkBoxName(flag.number)).checked() ? 1 : 0);
    return values;
}

QString UserForm::flagAssignments() {
    QStringList parts;
    for (const PermissionFlag& flag : permissionFlags())
        parts << flag.column() + QStringLiteral(" = ?");
    return parts.join(QStringLiteral(", "));
}

void UserForm::log(const QString& event, const QString& explanation) {
    ctx_.dm.appendLog(event, ctx_.pub.CurrentUser, ctx_.clock.now(), explanation);
}

} // namespace lms
