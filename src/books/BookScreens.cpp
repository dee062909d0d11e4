#include "books/BookScreens.h"

#include "core/screens/Tfrm_Main.h"

namespace lms {

BookScreens::BookScreens(const ScreenContext& ctx, Tfrm_Main& main)
    : tjBook_(ctx), ggBook_(ctx), scBook_(ctx) {
    main.registerScreen(QStringLiteral("TJBookMenu"), tjBook_);
    main.registerScreen(QStringLiteral("GGBookMenu"), ggBook_);
    main.registerScreen(QStringLiteral("SCBookMenu"), scBook_);
}

} // namespace lms
