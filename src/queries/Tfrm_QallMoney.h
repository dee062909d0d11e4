#pragma once

#include "queries/QueryScreen.h"

namespace lms {

// "资金查询统计": the listing of the money ledger, with the sum of each kind of money.
class Tfrm_QallMoney : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_QallMoney(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;
};

} // namespace lms
