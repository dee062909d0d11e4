#include "admin/UserForm.h"

#include "core/Permissions.h"
#include "core/Tdm_Dbase.h"

namespace lms {

void PermissionBoxes::show(const Users::Flags& flags) const {
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setValue(flags[i]);
}

Users::Flags PermissionBoxes::ticked() const {
    Users::Flags flags{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        flags[i] = boxes[i]->checked();
    return flags;
}

QString UserForm::redPermissionsHint() {
    return QStringLiteral("提示：红色字的权限最好是只有'超级管理员'用户保留使用");
}

UserForm::UserForm(const QString& name, const QString& caption, ScreenContext& context)
    : FormModel(name, caption), ctx_(context) {}

Database& UserForm::db() {
    return ctx_.dm.db();
}

PermissionBoxes UserForm::addPermissionBoxes() {
    addField(QStringLiteral("PermissionGroup"), FieldKind::Group,
             QStringLiteral("请选择该用户权限："));
    PermissionBoxes result;
    for (const PermissionFlag& flag : permissionFlags())
        result.boxes[flag.number - 1] =
            &addField(QStringLiteral("CheckBox%1").arg(flag.number), FieldKind::Check,
                      QString::fromUtf8(flag.checkBoxCaption));
    addField(QStringLiteral("Hint"), FieldKind::Label).setValue(redPermissionsHint());
    return result;
}

} // namespace lms
