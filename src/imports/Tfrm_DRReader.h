#pragma once

#include "imports/ImportScreen.h"
#include "imports/ReaderRows.h"

namespace lms {

// "导入读者": readers from a CSV file, such as a listing exported from "读者查询统计".
class Tfrm_DRReader : public ImportScreen {
    Q_OBJECT
public:
    explicit Tfrm_DRReader(const ScreenContext& ctx, QObject* parent = nullptr)
        : ImportScreen(std::make_unique<Imports::ReaderRows>(), ctx, parent) {}
};

} // namespace lms
