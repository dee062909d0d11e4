#include "circulation/CirculationScreens.h"

#include "core/screens/Tfrm_Main.h"

namespace lms {

CirculationScreens::CirculationScreens(const ScreenContext& ctx, Tfrm_Main& main)
    : jnzc_(ctx), tzjBook_(ctx), tzhBook_(ctx, tzjBook_) {
    main.registerScreen(QStringLiteral("JNZCMenu"), jnzc_);
    main.registerScreen(QStringLiteral("TZJBookMenu"), tzjBook_);
    main.registerScreen(QStringLiteral("TZHBookMenu"), tzhBook_);
}

} // namespace lms
