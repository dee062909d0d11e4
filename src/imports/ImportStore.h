#pragma once

#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <QVariantList>
#include <vector>

namespace lms {
class Database;
class Tdm_Dbase;
} // namespace lms

namespace lms::Imports {

// Every statement of the imports: which ids a table already holds, and storing the good rows of a
// file with their log record.

// Which of `ids` the table holds in its id column, looked up a few hundred at a time. Throws
// DbError.
QSet<QString> existingIds(Database& db, const QString& table, const QString& idColumn,
                          const QStringList& ids);

// The good rows of one file, as they go into the table.
struct ImportBatch {
    QString table;
    QStringList columns;                   // the table's columns, the id first
    std::vector<const QVariantList*> rows; // each row's values in the order of `columns`
    QString logEvent;
    QString logExplanation;
};

// Stores every row and one log record in one transaction, many rows to a statement. When another
// desk has registered some of the ids since they were checked, stores nothing and returns those
// ids. Throws DbError, having stored nothing.
QStringList storeImport(Tdm_Dbase& dm, const ImportBatch& batch, const QString& user,
                        const QDateTime& now);

} // namespace lms::Imports
