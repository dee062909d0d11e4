#pragma once

#include "core/ScreenContext.h"
#include "reports/ReceiptSource.h"

namespace lms {

class Field;

// "打印凭条" on a circulation screen: usable once an operation has been stored, it prints the
// receipt of the screen's last loan(s), return or payment from the stored rows, until another
// reader is looked up (whose receipt it is not).
class ReceiptSlip {
public:
    static const QString kButton; // "ReceiptButton"
    static const QString kCaption;

    explicit ReceiptSlip(const ScreenContext& context) : context_(context) {}
    // The screen's "打印凭条" button, which this keeps usable only while there is a receipt.
    void attach(Field& button);

    // A new showing of the screen starts with nothing to print.
    void clear();
    // A loan of the same reader joins the loans kept; another reader's starts anew.
    void addLoan(const QString& readerId, qint64 loanRow, qint64 logRow);
    // The receipt of an operation for the reader `readerId`.
    void keep(const ReceiptSource& source, const QString& readerId);
    // A lookup of the reader `readerId` begins: another reader's receipt is no longer the one
    // of what is on screen.
    void lookingUp(const QString& readerId);
    void print();

    const ReceiptSource& source() const { return source_; }

private:
    Field* button_ = nullptr;
    ScreenContext context_;
    ReceiptSource source_;
    QString reader_;
};

} // namespace lms
