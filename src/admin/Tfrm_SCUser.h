#pragma once

#include "admin/UserForm.h"

namespace lms {

// Deletes a system user; never the super user and never the user who is logged in.
class Tfrm_SCUser : public UserForm {
    Q_OBJECT
public:
    explicit Tfrm_SCUser(ScreenContext& context);

    void FormShow() override;
    void Button1Click();

    // The screen's fields in the order of the layout, named as its widgets.
    Field& UserGroup = // group of the list
        addField(QStringLiteral("UserGroup"), FieldKind::Group,
                 QStringLiteral("请选择要删除的用户："));
    Field& Userlist = // every user but the super user; nothing chosen at first
        addField(QStringLiteral("Userlist"), FieldKind::ListBox,
                 QStringLiteral("系统中存在的用户："));
    Field& Button1 = // deletes the chosen user
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("删除"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
};

} // namespace lms
