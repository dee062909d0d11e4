#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace lms {

// What one database engine provides below Database and Query: the encrypted file for one desk,
// a server for several. Stores and screens never see which engine they talk to.

// One prepared statement of an engine. Positions count from 1 for parameters and from 0 for
// columns; every call throws DbError on failure.
class DbStatement {
public:
    virtual ~DbStatement() = default;
    virtual void bind(int index, const QVariant& value) = 0;
    // Runs the statement on the first call, then steps; false when there is no further row.
    virtual bool next() = 0;
    // The rows the last run inserted, changed or deleted.
    virtual int changes() const = 0;
    // Ready to run again, with no values bound.
    virtual void reset() = 0;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    virtual QVariant value(int column) const = 0;
    virtual QString text(int column) const = 0;
    // The column's text as UTF-8, valid until the next step.
    virtual QByteArrayView utf8(int column) const = 0;
    virtual double real(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    virtual bool isNull(int column) const = 0;
};

// New texts for some rows of a table, by rowid: for each row, one UTF-8 text per column.
struct RowTexts {
    QStringList columns;
    std::vector<qint64> rowids; // ascending
    // rowids.size() × columns.size() texts, row by row; the bytes outlive the call.
    std::vector<QByteArrayView> texts;
};

// One open connection of an engine.
class DbConnection {
public:
    virtual ~DbConnection() = default;
    virtual std::unique_ptr<DbStatement> prepare(const QString& sql) = 0;
    virtual bool inTransaction() const = 0;
    // The statement that starts a writing transaction: it takes the write lock at once, so two
    // writers never both read first and then fail at the write.
    virtual QString beginStatement() const = 0;
    // Run right after it, when the engine needs one more statement for that lock (empty if not).
    virtual QString writeLockStatement() const { return {}; }
    virtual int userVersion() = 0;
    virtual void setUserVersion(int version) = 0;
    virtual bool hasTable(const QString& name) = 0;
    // The order number of the row this connection inserted last into the table.
    virtual qint64 lastInsertedRow(const QString& table) = 0;
    // Writes the texts into their rows in one statement; the other rows keep theirs. A
    // statement a row would cost the file a million steps and the server a million round
    // trips. Table and column names are the program's own.
    virtual void setRowTexts(const QString& table, const RowTexts& rows) = 0;
    [[noreturn]] virtual void raise(int code, const QString& context) const = 0;
};

} // namespace lms
