#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"

#include <optional>

namespace lms {

// Reader registration: proposes the loan limits, fees and validity of the chosen reader type
// and stores the new reader with its ledger and log records.
class Tfrm_TJReader : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_TJReader(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void IDChange();
    void CheckisHaveReaderClick();
    void rxChange();
    void yjChange();
    void Button1Click();
    void Button2Click();

private:
    // The three amounts and their sum, when all three are numbers an amount can hold.
    struct Amounts {
        double deposit = 0;
        double rent = 0;
        double openingFee = 0;
        double total = 0;
    };
    std::optional<Amounts> amounts() const;
    // Sets deposit, rent and fee as one proposal; the total follows from them once.
    void propose(int typeIndex);

    ScreenContext ctx_;
    // Set while the screen fills the amounts itself, so the running total stays quiet.
    bool proposing_ = false;
};

} // namespace lms
