#pragma once

#include "circulation/ReturnCharges.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace lms {
class Database;
class Tdm_Dbase;
} // namespace lms

namespace lms::Circulation {

// The rowids an operation wrote, from which its receipt is read back.
struct StoredRows {
    qint64 loanRow = 0;    // lends: the 借出图书 row
    qint64 logRow = 0;     // lends: the "读者借书" log record
    qint64 historyRow = 0; // returns: the 图书借阅历史记录 row
    qint64 ledgerRow = 0;  // returns: the "读者还书" ledger record
};

} // namespace lms::Circulation

namespace lms::Circulation {

// One row of 借出图书 as the return screen reads it.
struct LoanRow {
    QString bookId;
    QString readerId;
    QDateTime lentAt;
    QDateTime due;
    QString bookTitle; // the title the loan kept
};

// The (first) loan of a book; nothing when it is not lent. Throws DbError, also for a date that
// cannot be read.
std::optional<LoanRow> loanOfBook(Database& db, const QString& bookId);

// A reader's open loans with the titles of the books, in the order they were made. Throws.
struct OpenLoan {
    QString bookId;
    QString title;
};
QList<OpenLoan> openLoans(Database& db, const QString& readerId);

// A loan as the lending screen makes it.
struct Lending {
    QString readerId;
    QString readerName;
    QString readerRemark;
    QDateTime validity; // the validity shown, idle-time extension included
    int loanDays = 0;
    QString bookId;
    QString bookTitle;
    QString bookRemark;
    QString user;
    QDateTime now;
};

enum class LendOutcome { Lent, BookNotOnShelf, ReaderGone };

// Lends the book in one transaction: the loan row, the book lent and counted, the reader's
// counters, validity and state date, and the log record. A book no longer on the shelf, or a
// reader deleted at another desk since the lookup, gets no loan. Throws DbError, having written
// nothing.
LendOutcome lend(Tdm_Dbase& dm, const Lending& lending, StoredRows* stored = nullptr);

// A return as the return screen settles it.
struct Returning {
    QString readerId;
    QString readerName;
    QString readerRemark;
    QDateTime validity;
    QString bookId;
    QString bookTitle;
    QString bookRemark;
    QDateTime lentAt;
    bool damagedOrLost = false;
    bool fromDeposit = false;
    ReturnAmounts amounts;
    QString user;
    QDateTime now;
};

enum class ReturnOutcome { Returned, NoSuchLoan };

// Takes the book back in one transaction: the loan rows of this book and reader go, the book is
// back on the shelf (or damaged or lost), the reader's count and deposit follow, and the history
// row, the log and the ledger records are written. Throws DbError, having written nothing.
ReturnOutcome giveBack(Tdm_Dbase& dm, const Returning& returning, StoredRows* stored = nullptr);

} // namespace lms::Circulation
