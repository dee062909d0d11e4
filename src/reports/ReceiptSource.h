#pragma once

#include <QList>
#include <QString>

namespace lms {

// Which stored rows the receipt of a circulation screen's last operation is made from; a screen
// keeps one after each successful loan, return or payment.
struct ReceiptSource {
    enum class Kind { None, Loan, Return, Payment };

    Kind kind = Kind::None;
    QList<qint64> loanRows; // loans: the 借出图书 rows
    qint64 logRow = 0;      // loans: the "读者借书" log record
    qint64 ledgerRow = 0;   // returns and payments: the ledger record
    qint64 historyRow = 0;  // returns: the 图书借阅历史记录 row
    QString readerId;       // payments

    static ReceiptSource loan(QList<qint64> loanRows, qint64 logRow) {
        ReceiptSource s;
        s.kind = Kind::Loan;
        s.loanRows = std::move(loanRows);
        s.logRow = logRow;
        return s;
    }
    static ReceiptSource giveBack(qint64 ledgerRow, qint64 historyRow) {
        ReceiptSource s;
        s.kind = Kind::Return;
        s.ledgerRow = ledgerRow;
        s.historyRow = historyRow;
        return s;
    }
    static ReceiptSource payment(qint64 ledgerRow, QString readerId) {
        ReceiptSource s;
        s.kind = Kind::Payment;
        s.ledgerRow = ledgerRow;
        s.readerId = std::move(readerId);
        return s;
    }
    bool isEmpty() const { return kind == Kind::None; }
};

} // namespace lms
