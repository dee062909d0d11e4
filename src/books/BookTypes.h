#pragma once

#include <QDateTime>
#include <QStringList>

namespace lms {
class Database;
class Tdm_Dbase;
} // namespace lms

namespace lms::Books {

// Every statement on table 图书类型. Each writing operation is one transaction with its log
// record, and throws DbError when anything fails (nothing is then stored).

// The names of table 图书类型 in the order they were added. Throws DbError.
QStringList loadBookTypes(Database& db);

// Whether a book type has exactly this name. Throws DbError.
bool bookTypeExists(Database& db, const QString& name);

// Adds a book type under the name exactly as typed. False, with nothing written, when the type
// exists by the time the write lock is held (another desk added it meanwhile).
bool addBookType(Tdm_Dbase& dm, const QString& name, const QString& user, const QDateTime& now);

// Deletes the book type of this name; books of that type keep its name. False, with nothing
// written, when there is no such type any more (another desk deleted it meanwhile).
bool deleteBookType(Tdm_Dbase& dm, const QString& name, const QString& user, const QDateTime& now);

} // namespace lms::Books
