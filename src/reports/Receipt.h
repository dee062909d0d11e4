#pragma once

#include "core/RegionalFormats.h"
#include "core/form/Printout.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <stdexcept>
#include <vector>

namespace lms {

class Database;

// A receipt of a loan, a return or a payment, read back from the rows the operation stored, so
// that it always agrees with the ledger.
struct Receipt {
    struct Book {
        QString id;
        QString name;
        QDateTime lent;
        QDateTime due;      // loans
        QDateTime returned; // returns
        QString remark;
    };
    // A ledger column and the amount stored in it.
    struct Amount {
        QString column;
        double value = 0;
    };

    QString title;     // "借书凭条", "还书凭条", "缴费凭条"
    QString operation; // the stored event
    QString readerId;
    QString readerName;
    std::vector<Book> books;
    std::vector<Amount> amounts; // 金额总计, then each part that is not 0
    QDateTime validUntil;        // payments of time-based readers
    bool hasDepositLeft = false;
    double depositLeft = 0; // the reader's deposit after the operation
    QString operatorName;
    QDateTime time;
};

namespace Receipts {

// A row a receipt is made from is gone, or is not the record of that operation.
class Missing : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The rowid of the row the connection's last INSERT wrote: right after appending a loan, a
// history row, a log or a ledger record, the number to keep for the receipt.
qint64 lastRowid(Database& db, const QString& table);

// Throw DbError when the database cannot be read, Missing when a row is not there.
// A loan: its 借出图书 rows (one reader's) and the "读者借书" log record.
Receipt loan(Database& db, const QList<qint64>& loanRows, qint64 logRow);
// A return: the "读者还书" ledger record and the 图书借阅历史记录 row.
Receipt giveBack(Database& db, qint64 ledgerRow, qint64 historyRow);
// A payment: the "缴费充值" ledger record and the reader who paid.
Receipt payment(Database& db, qint64 ledgerRow, const QString& readerId);

// The receipt on a slip.
Printout printout(const Receipt& receipt, const RegionalFormats& formats);

} // namespace Receipts

} // namespace lms
