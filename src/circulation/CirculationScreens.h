#pragma once

#include "circulation/Tfrm_JNZC.h"
#include "circulation/Tfrm_TZHBook.h"
#include "circulation/Tfrm_TZJBook.h"

namespace lms {

class Tfrm_Main;

// The circulation screens, created once at start-up and opened from the main window's menu.
class CirculationScreens {
public:
    CirculationScreens(const ScreenContext& ctx, Tfrm_Main& main);

    Tfrm_JNZC& payment() { return jnzc_; }
    Tfrm_TZJBook& borrowing() { return tzjBook_; }
    Tfrm_TZHBook& returning() { return tzhBook_; }

private:
    Tfrm_JNZC jnzc_;
    Tfrm_TZJBook tzjBook_;
    Tfrm_TZHBook tzhBook_;
};

} // namespace lms
