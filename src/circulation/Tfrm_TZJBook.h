#pragma once

#include "circulation/LoanDesk.h"
#include "circulation/ReceiptSlip.h"

namespace lms {

// Borrowing: looks up a reader who may borrow and a book on the shelf, and lends the book.
class Tfrm_TZJBook : public LoanDesk {
    Q_OBJECT
public:
    explicit Tfrm_TZJBook(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void CheckisHaveReaderClick() override;
    void CheckisHavebookClick() override;
    void Button1Click();
    void Button2Click();

    ReceiptSlip& receipt() { return receipt_; }

private:
    void allowLending();
    ReceiptSlip receipt_;
};

} // namespace lms
