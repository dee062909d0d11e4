#pragma once

#include "readers/ReaderRecord.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace lms {
class Database;
class Tdm_Dbase;
} // namespace lms

namespace lms::Readers {

// Every statement on table 读者 of the reader screens and the payment screen. Each writing
// operation is one transaction with its log and ledger records, and throws DbError when anything
// fails (nothing is then stored).

// Reads the reader with exactly this id; nothing when there is none. Throws DbError on a
// database failure and on a stored date that cannot be read.
std::optional<ReaderRecord> loadReader(Database& db, const QString& id);

// A reader as registration stores it: opened now, in "正常使用" since now, nothing out yet, with
// the ledger record of the three amounts taken in and the log record.
struct NewReader {
    QString id;
    QString type;
    QString name;
    QString sex;
    QString idNumber;
    QString phone;
    QDateTime validity;
    int maxBooks = 0;
    int maxDays = 0;
    QString remark;
    double deposit = 0;
    double rent = 0;
    double openingFee = 0;
    QString depositText; // the deposit as the clerk typed it, which the log record quotes
};
// Registers the reader with its ledger and log records in one transaction; false, having written
// nothing, when another desk registered the id first.
bool addReader(Tdm_Dbase& dm, const NewReader& reader, const QString& user, const QDateTime& now);

// The clerk's change of a looked-up reader. Texts are stored as given.
struct ReaderChange {
    QString id;
    QString name;
    QString type;
    QString sex;
    QString phone;
    QString idNumber;
    QString remark;
    int maxBooks = 0;
    int maxDays = 0;
    QDateTime validity;
    std::optional<QString> newState;
    // The validity shown (and stored now) already holds idle days: the idle time starts afresh,
    // or the next lookup would add the same days again.
    bool validityHoldsIdleDays = false;
};
// What a write checked under the lock against the screen's lookup did.
enum class ReaderWrite {
    Written,
    ChangedElsewhere, // another desk changed the reader since the lookup: nothing written
    Gone,             // another desk deleted the reader: nothing written
};
// A new state or a validity holding idle days also renews the state date. `loaded` is the
// reader as the screen looked it up: under the write lock the stored reader must still agree
// with it on every hand-set column (and, with a new state, on the books out the screen judged
// it by), or nothing is written, so a renewal, a hand change or a loan of another desk since
// the lookup is never taken back. Counters and the deposit are never written here.
ReaderWrite changeReader(Tdm_Dbase& dm, const ReaderRecord& loaded, const ReaderChange& change,
                         const QString& user, const QDateTime& now);

// Deletes the reader and pays the deposit left back (a negative ledger record). What the store
// holds under the write lock decides, since another desk may have lent a book to the reader or
// changed the deposit since the lookup: a reader with books out stays.
struct ReaderDeletion {
    bool deleted = false;
    bool gone = false;   // deleted at another desk already
    int booksOut = 0;    // when not deleted: the books the reader has out now
    double refunded = 0; // when deleted: the deposit paid back
};
ReaderDeletion deleteReader(Tdm_Dbase& dm, const QString& id, const QString& user,
                            const QDateTime& now);

// A payment of the payment screen: the rent of a renewal and a change of the deposit, with the
// reader's new type, limits, remark and validity.
struct Payment {
    ReaderRecord loaded; // the reader as the lookup read it; the renewal starts at its validity
    QString type;
    int maxBooks = 0;
    int maxDays = 0;
    QString remark;
    QDateTime validity;
    double rent = 0;
    double depositChange = 0;
    QString depositChangeText; // the change as the clerk typed it, which the log record quotes
};
// Stores the payment; the stored validity may hold idle days, so the state date is renewed to
// keep the next lookup from adding them again. Returns the rowid of its ledger record, for the
// receipt, or nothing, having written nothing, when another desk changed the reader since the
// lookup (the renewal would take that renewal or hand change back) or deleted the reader.
std::optional<qint64> pay(Tdm_Dbase& dm, const Payment& payment, const QString& user,
                          const QDateTime& now);

} // namespace lms::Readers
