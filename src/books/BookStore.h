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
void changeBook(Tdm_Dbase& dm, const BookChange& change, const QString& user, const QDateTime& now);

// Deletes the book with its log record unless it is lent (another desk may have lent it since it
// was looked up) or already deleted at another desk, having written nothing then.
enum class BookDeletion { Deleted, Lent, Gone };
BookDeletion deleteBook(Tdm_Dbase& dm, const QString& id, const QString& user,
                        const QDateTime& now);

} // namespace lms::Books
