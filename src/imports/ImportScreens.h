#pragma once

#include "imports/Tfrm_DRBook.h"
#include "imports/Tfrm_DRReader.h"

namespace lms {

class Tfrm_Main;

// The import screens, created once at start-up and opened from the book and reader menus.
class ImportScreens {
public:
    ImportScreens(const ScreenContext& ctx, Tfrm_Main& main);

    Tfrm_DRBook& books() { return drBook_; }
    Tfrm_DRReader& readers() { return drReader_; }

private:
    Tfrm_DRBook drBook_;
    Tfrm_DRReader drReader_;
};

} // namespace lms
