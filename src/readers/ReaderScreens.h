#pragma once

#include "readers/Tfrm_GGReader.h"
#include "readers/Tfrm_SZReader.h"
#include "readers/Tfrm_TJReader.h"

namespace lms {

class Tfrm_Main;

// The reader screens, created once at start-up and opened from the main window's menu.
class ReaderScreens {
public:
    ReaderScreens(const ScreenContext& ctx, Tfrm_Main& main);

    Tfrm_TJReader& registration() { return tjReader_; }
    Tfrm_GGReader& maintenance() { return ggReader_; }
    Tfrm_SZReader& deletion() { return szReader_; }

private:
    Tfrm_TJReader tjReader_;
    Tfrm_GGReader ggReader_;
    Tfrm_SZReader szReader_;
};

} // namespace lms
