#pragma once

#include "queries/QueryScreen.h"

namespace lms {

// "读者查询统计": the listing of the readers, with the sum of their deposits and loans.
class Tfrm_QallReader : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_QallReader(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;
};

} // namespace lms
