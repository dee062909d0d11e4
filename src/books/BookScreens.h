#pragma once

#include "books/Tfrm_GGBook.h"
#include "books/Tfrm_SCBook.h"
#include "books/Tfrm_TJBook.h"

namespace lms {

class Tfrm_Main;

// The book screens, created once at start-up and opened from the main window's menu.
class BookScreens {
public:
    BookScreens(const ScreenContext& ctx, Tfrm_Main& main);

    Tfrm_TJBook& registration() { return tjBook_; }
    Tfrm_GGBook& maintenance() { return ggBook_; }
    Tfrm_SCBook& deletion() { return scBook_; }

private:
    Tfrm_TJBook tjBook_;
    Tfrm_GGBook ggBook_;
    Tfrm_SCBook scBook_;
};

} // namespace lms
