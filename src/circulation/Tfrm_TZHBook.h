#pragma once

#include "circulation/LoanDesk.h"
#include "circulation/LoanList.h"
#include "circulation/ReceiptSlip.h"

namespace lms {

class Tfrm_TZJBook;

// Returning: a book's loan brings up its reader; the overdue fine, a pay-per-day rent and any
// compensation make the total, paid in cash or from the deposit, and the book comes back.
class Tfrm_TZHBook : public LoanDesk {
    Q_OBJECT
public:
    Tfrm_TZHBook(const ScreenContext& ctx, Tfrm_TZJBook& borrowing, QObject* parent = nullptr);

    void FormShow() override;
    void iniTs() override;
    void CheckisHaveReaderClick() override;
    void CheckisHavebookClick() override;
    // Lists the accepted reader's open loans; after a committed return a failure to list them
    // only clears the list (`afterCommit`), so it cannot read as a failed return.
    void showTZJS(bool afterCommit = false);
    void StringGrid1DblClick();
    void psyxClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();

    const Circulation::LoanList& loanList() const { return loans_; }

    ReceiptSlip& receipt() { return receipt_; }

private:
    void allowReturn(bool allowed);

    Tfrm_TZJBook& borrowing_;
    ReceiptSlip receipt_;
    Circulation::LoanList loans_;
    // Set while the screen fills the amounts itself: the total follows quietly.
    bool settling_ = false;
};

} // namespace lms
