#include "readers/ReaderScreens.h"

#include "core/screens/Tfrm_Main.h"

namespace lms {

ReaderScreens::ReaderScreens(const ScreenContext& ctx, Tfrm_Main& main)
    : tjReader_(ctx), ggReader_(ctx), szReader_(ctx) {
    main.registerScreen(QStringLiteral("TJReaderMenu"), tjReader_);
    main.registerScreen(QStringLiteral("GGReaderMenu"), ggReader_);
    main.registerScreen(QStringLiteral("SZReaderMenu"), szReader_);
}

} // namespace lms
