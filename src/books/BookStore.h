#pragma once

#include "books/BookRecord.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace lms {
class Database;
class Tdm_Dbase;
} // namespace lms

namespace lms::Books {

// Every statement on table 图书 of the book screens. Each writing operation is one transaction
// with its log record, and throws DbError when anything fails (nothing is then stored).

// Reads the book with exactly this id; nothing when there is none. Throws DbError on a database
// failure and on a stored date that cannot be read.
std::optional<BookRecord> loadBook(Database& db, const QString& id);

// A book as registration stores it: on the shelf, entered now.
struct NewBook {
    QString id;
    QString type;
    QString title;
    QString author;
    QString attachments;
    QString price; // the text typed, already checked to be a number
    QString remark;
};
// Registers the book with its log record in one transaction; false, having written nothing, when
// another desk registered the id first.
bool addBook(Tdm_Dbase& dm, const NewBook& book, const QString& user, const QDateTime& now);

// What a change checked under the lock against the screen's lookup did; all but Written
// wrote nothing.
enum class BookWrite {
    Written,
    ChangedElsewhere, // another desk changed the book since the lookup
    Gone,             // another desk deleted it
    LentOnlyByLoan,   // the change would set "已借出", which only a loan sets
    LoanOpen,         // the change would leave "已借出" while the book's loan is open
};

// The clerk's change of a looked-up book; a new state also renews its date.
struct BookChange {
    QString id;
    QString title;
    QString type;
    QString author;
    QString price;
    QString attachments;
    QString remark;
    std::optional<QString> newState;
};
// `loaded` is the book as the screen looked it up: under the write lock the stored book must
// still agree with it on every hand-set column, so a loan, a return or a change of another desk
// since the lookup is never taken back. A book and its loan never part: "已借出" is set by a loan
// and left by a return only.
BookWrite changeBook(Tdm_Dbase& dm, const BookRecord& loaded, const BookChange& change,
                     const QString& user, const QDateTime& now);

// Deletes the book with its log record unless it is lent or has a loan (another desk may have
// lent it since it was looked up) or is already deleted at another desk, having written nothing
// then.
enum class BookDeletion { Deleted, Lent, Gone };
BookDeletion deleteBook(Tdm_Dbase& dm, const QString& id, const QString& user,
                        const QDateTime& now);

} // namespace lms::Books
