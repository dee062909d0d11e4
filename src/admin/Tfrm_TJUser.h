#pragma once

#include "admin/SystemUsers.h"
#include "admin/UserForm.h"

namespace lms {

// Adds a system user with a remark and permissions; the password starts as the initial one.
class Tfrm_TJUser : public UserForm {
    Q_OBJECT
public:
    static constexpr int kNameMaxBytes = 15;
    static constexpr int kRemarkMaxBytes = 220;

    explicit Tfrm_TJUser(ScreenContext& context);

    void FormShow() override;
    void Button1Click();

    // The screen's fields in the order of the layout, named as its widgets.
    Field& username = // the new user's name, trimmed before use
        addField(QStringLiteral("username"), FieldKind::Text, QStringLiteral("用户名："))
            .setMaxBytes(kNameMaxBytes);
    Field& Memo1 = // remark, stored with its line breaks
        addField(QStringLiteral("Memo1"), FieldKind::Memo,
                 QStringLiteral("备    注：(最多220个字符或110个汉字)"))
            .setMaxBytes(kRemarkMaxBytes);
    PermissionBoxes permissions = // the new user's flags; kept from one user to the next
        addPermissionBoxes();
    Field& UserGroup = // group of the list of users
        addField(QStringLiteral("UserGroup"), FieldKind::Group, QStringLiteral("系统中已有用户："));
    Field& userlist = // every user name, shown only
        addField(QStringLiteral("userlist"), FieldKind::ListBox);
    Field& PasswordNote = // the initial password of every new user
        addField(QStringLiteral("PasswordNote"), FieldKind::Label)
            .setValue(QStringLiteral("所有新增用户初始密码都为：") +
                      SystemUsers::initialPassword());
    Field& Button1 = // adds the user
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("添加"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
};

} // namespace lms
