#include "imports/ImportScreens.h"

#include "core/screens/Tfrm_Main.h"

namespace lms {

ImportScreens::ImportScreens(const ScreenContext& ctx, Tfrm_Main& main)
    : drBook_(ctx), drReader_(ctx) {
    main.registerCommand(QStringLiteral("DRBookMenu"), [this] { drBook_.ImportMenuClick(); });
    main.registerCommand(QStringLiteral("DRReaderMenu"), [this] { drReader_.ImportMenuClick(); });
}

} // namespace lms
