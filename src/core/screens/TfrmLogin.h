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

private:
    Tdm_Dbase& dm_;
    Prompter& prompter_;
    ScreenHost& host_;
    PermissionGate& gate_;
};

} // namespace lms
