#pragma once

#include "imports/BookRows.h"
#include "imports/ImportScreen.h"

namespace lms {

// "导入图书": books from a CSV file, such as a listing exported from "所有图书查询".
class Tfrm_DRBook : public ImportScreen {
    Q_OBJECT
public:
    explicit Tfrm_DRBook(const ScreenContext& ctx, QObject* parent = nullptr)
        : ImportScreen(std::make_unique<Imports::BookRows>(), ctx, parent) {}
};

} // namespace lms
