#pragma once

#include "admin/UserForm.h"

namespace lms {

// Changes a system user's password, given the old one.
class Tfrm_GGpwd : public UserForm {
    Q_OBJECT
public:
    explicit Tfrm_GGpwd(ScreenContext& context);

    void FormShow() override;
    void Button1Click();

    // The screen's fields in the order of the layout, named as its widgets.
    Field& userlist = // every user name; the logged-in user chosen at first, any name typed
        addField(QStringLiteral("userlist"), FieldKind::EditList, QStringLiteral("用户名："));
    Field& Edit1 = // old password
        addField(QStringLiteral("Edit1"), FieldKind::Password, QStringLiteral("旧密码："));
    Field& Edit2 = // new password
        addField(QStringLiteral("Edit2"), FieldKind::Password, QStringLiteral("新密码："));
    Field& Edit3 = // new password again
        addField(QStringLiteral("Edit3"), FieldKind::Password, QStringLiteral("确认新密码："));
    Field& Button1 = // stores the new password
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("更改"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
};

} // namespace lms
