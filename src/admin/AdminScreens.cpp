#include "admin/AdminScreens.h"

#include "core/screens/Tfrm_Main.h"

namespace lms {

AdminScreens::AdminScreens(ScreenContext& context, Tfrm_Main& main)
    : csSet_(context), tjUser_(context), ggUserQX_(context), scUser_(context), ggPwd_(context),
      qksjb_(context), backup_(context, bfffDate_) {
    main.registerScreen(QStringLiteral("CSSetMenu"), csSet_);
    main.registerScreen(QStringLiteral("TJUserMenu"), tjUser_);
    main.registerScreen(QStringLiteral("GGUserQXMenu"), ggUserQX_);
    main.registerScreen(QStringLiteral("SCUserMenu"), scUser_);
    main.registerScreen(QStringLiteral("GGpwdMenu"), ggPwd_);
    main.registerScreen(QStringLiteral("QKDataMenu"), qksjb_);
    main.registerCommand(QStringLiteral("BFDataMenu"), [this] { backup_.BFDataMenuClick(); });
    main.registerCommand(QStringLiteral("FFDataMenu"), [this] { backup_.FFDataMenuClick(); });
    main.setStartupBackup([this] { backup_.BFDataMenuClick(); });
}

} // namespace lms
