#pragma once

#include "core/form/FormModel.h"

namespace lms {

class Tdm_Dbase;
class Prompter;
class ScreenHost;
class PermissionGate;

// The login dialog: picks a system user, checks the password and grants that user's commands.
class TfrmLogin : public FormModel {
    Q_OBJECT
public:
    TfrmLogin(Tdm_Dbase& dm, Prompter& prompter, ScreenHost& host, PermissionGate& gate,
              QObject* parent = nullptr);

    void FormShow() override;
    void Button1Click();
    void Button2Click();
    void PWDEditKeyDown(int key);

    // The dialog's fields in the order of the layout, named as its widgets.
    Field& GroupBox1 = // group of the two fields
        addField(QStringLiteral("GroupBox1"), FieldKind::Group,
                 QStringLiteral("请输入用户名称及密码："));
    Field& userlist = // every user name, the first chosen; any name may be typed
        addField(QStringLiteral("userlist"), FieldKind::EditList, QStringLiteral("用户名："));
    Field& PWDEdit = // password; Enter logs in
        addField(QStringLiteral("PWDEdit"), FieldKind::Password, QStringLiteral("密    码："));
    Field& Button1 = // logs in
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("登陆"));
    Field& Button2 = // ends the program
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("退出"));

private:
    Tdm_Dbase& dm_;
    Prompter& prompter_;
    ScreenHost& host_;
    PermissionGate& gate_;
};

} // namespace lms
