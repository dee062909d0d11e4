#pragma once

#include "core/ScreenContext.h"
#include "core/UserStore.h"
#include "core/form/FormModel.h"

namespace lms {

// The 23 permission check boxes of a user screen, CheckBoxN standing for 功能N.
struct PermissionBoxes {
    std::array<Field*, kPermissionCount> boxes{};

    // Ticks each box exactly when its flag is set.
    void show(const Users::Flags& flags) const;
    Users::Flags ticked() const;
};

// What the four system-user screens share: the screen context, and for two of them the 23
// permission check boxes with the hint about the permissions shown in red.
class UserForm : public FormModel {
    Q_OBJECT
public:
    static QString redPermissionsHint();

protected:
    UserForm(const QString& name, const QString& caption, ScreenContext& context);

    Database& db();
    // Adds the group "请选择该用户权限：" with CheckBox1 .. CheckBox23 and the hint.
    PermissionBoxes addPermissionBoxes();

    ScreenContext& ctx_;
};

} // namespace lms
