#pragma once

#include "admin/UserForm.h"

namespace lms {

// Changes the 23 permission flags of a system user other than the super user.
class Tfrm_GGUserQX : public UserForm {
    Q_OBJECT
public:
    explicit Tfrm_GGUserQX(ScreenContext& context);

    void FormShow() override;
    void UserlistClick();
    void Button1Click();

    // The screen's fields in the order of the layout, named as its widgets.
    Field& UserGroup = // group of the list
        addField(QStringLiteral("UserGroup"), FieldKind::Group,
                 QStringLiteral("请选择要更改权限的用户："));
    Field& Userlist = // every user but the super user; choosing one shows its flags
        addField(QStringLiteral("Userlist"), FieldKind::ListBox,
                 QStringLiteral("系统中存在的用户："));
    PermissionBoxes permissions = // the chosen user's flags
        addPermissionBoxes();
    Field& Button1 = // stores the ticked flags
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("更改"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

private:
    // Shows the user's flags and keeps the row as shown, which a save is checked against.
    void showUser(const std::optional<Users::UserRow>& user);

    bool filling_ = false;
    std::optional<Users::UserRow> shown_; // the chosen user as its flags were loaded
};

} // namespace lms
