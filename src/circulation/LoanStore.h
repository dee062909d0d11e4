#pragma once

#include "circulation/ReturnCharges.h"
#include "readers/ReaderRecord.h"

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

// What a loan or a return knows of its reader and book from the screen's lookups. The remarks
// are the clerk's to edit; the rest is checked and taken from the stored rows under the lock.
struct DeskCopy {
    Readers::ReaderRecord reader; // the reader as looked up
    QString readerRemark;         // the remark field now, and as the lookup filled it
    QString shownReaderRemark;
    QString bookRemark; // likewise for the book
    QString shownBookRemark;
    bool autoExtendValidity = false; // the shop's setting the validity is extended by
};

// A loan as the lending screen makes it.
struct Lending {
    DeskCopy desk;
    QString readerName; // as the panel shows it, for the loan row
    int loanDays = 0;
    QString bookId;
    QString bookTitle;
    QString user;
    QDateTime now;
};

enum class LendOutcome {
    Lent,
    BookNotOnShelf,
    ReaderGone,
    // Since the lookup the reader's state came to forbid loans, the validity ran out or the
    // limit was reached: a new lookup says which.
    ReaderRefused,
};

// Lends the book in one transaction: the loan row, the book lent and counted, the reader's
// counters, validity (extended for idle time as stored now) and state date, the remarks the
// clerk changed, and the log record. A book no longer on the shelf, or a reader deleted or no
// longer allowed to borrow since the lookup, gets no loan. Throws DbError, having written
// nothing.
LendOutcome lend(Tdm_Dbase& dm, const Lending& lending, StoredRows* stored = nullptr);

// A return as the return screen settles it.
struct Returning {
    DeskCopy desk;
    QString readerName; // as the panel shows it, for the history row
    QString bookId;
    QString bookTitle;
    QDateTime lentAt;
    bool damagedOrLost = false;
    bool fromDeposit = false;
    ReturnAmounts amounts;
    QString user;
    QDateTime now;
};

enum class ReturnOutcome {
    Returned,
    NoSuchLoan,
    ReaderRefused, // the reader's state came to forbid returns since the lookup
};

// Takes the book back in one transaction: the loan rows of this book and reader go, the book is
// back on the shelf (or damaged or lost), the reader's count and deposit follow from what is
// stored, the remarks the clerk changed are written, and the history row, the log and the
// ledger records. Throws DbError, having written nothing.
ReturnOutcome giveBack(Tdm_Dbase& dm, const Returning& returning, StoredRows* stored = nullptr);

} // namespace lms::Circulation
