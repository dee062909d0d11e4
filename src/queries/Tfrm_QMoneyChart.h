#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "queries/CashTotals.h"

namespace lms {

// "资金统计图": the ledger's money taken in and paid out per day of a chosen month or per month
// of a chosen year, drawn as bars, with the totals beside them.
class Tfrm_QMoneyChart : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_QMoneyChart(ScreenContext& context, QObject* parent = nullptr);

    // Opens on the current month.
    void FormShow() override;
    // "统计": sums the ledger for the chosen month or year.
    void Button2Click();
    void Button1Click() { close(Result::Accepted); }

    // The sums drawn now.
    CashSeries series() const {
        return field(QStringLiteral("Chart1")).value().value<CashSeries>();
    }

private:
    ScreenContext& ctx_;
    bool showing_ = false; // FormShow sets the fields and sums once at the end
};

} // namespace lms
