#pragma once

#include "admin/DataBackup.h"
#include "admin/Tfrm_CSSet.h"
#include "admin/Tfrm_GGUserQX.h"
#include "admin/Tfrm_GGpwd.h"
#include "admin/Tfrm_QKSJB.h"
#include "admin/Tfrm_SCUser.h"
#include "admin/Tfrm_TJUser.h"
#include "admin/Tfrm_bfffDate.h"

namespace lms {

class Tfrm_Main;

// The administration screens and commands, created once at start-up in the program's order and
// registered with the main window: parameters, system users, data maintenance, backup and
// restore (also the backup at start).
class AdminScreens {
public:
    AdminScreens(ScreenContext& context, Tfrm_Main& main);

    Tfrm_CSSet& parameters() { return csSet_; }
    Tfrm_TJUser& addUser() { return tjUser_; }
    Tfrm_GGUserQX& permissions() { return ggUserQX_; }
    Tfrm_SCUser& deleteUser() { return scUser_; }
    Tfrm_GGpwd& password() { return ggPwd_; }
    Tfrm_bfffDate& progress() { return bfffDate_; }
    Tfrm_QKSJB& clearData() { return qksjb_; }
    DataBackup& backup() { return backup_; }

private:
    Tfrm_CSSet csSet_;
    Tfrm_TJUser tjUser_;
    Tfrm_GGUserQX ggUserQX_;
    Tfrm_SCUser scUser_;
    Tfrm_GGpwd ggPwd_;
    Tfrm_bfffDate bfffDate_;
    Tfrm_QKSJB qksjb_;
    DataBackup backup_;
};

} // namespace lms
