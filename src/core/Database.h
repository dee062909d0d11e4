#pragma once

#include "core/DbEngine.h"
#include "core/DbError.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

struct sqlite3;

namespace lms {

class Database;

// One prepared statement; every value reaches it as a bound parameter.
class Query {
public:
    Query(Database& db, const QString& sql);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    Query(Query&& other) noexcept = default;
    Query& operator=(Query&&) = delete;

    // Binds by position, counting from 1.
    Query& bind(int index, const QVariant& value);
    Query& bindAll(const QVariantList& values);

    // Steps to the next row; false when there is none. Throws DbError on failure.
    bool next();
    // Runs a statement that returns no rows.
    void exec();
    // The same, returning how many rows the statement inserted, changed or deleted.
    int execCounted();
    void reset();

    int columnCount() const { return stmt_->columnCount(); }
    QString columnName(int column) const { return stmt_->columnName(column); }
    // The column's stored date-time; throws DbError when the text is not a readable date.
    QDateTime storedDate(int column) const;
    QVariant value(int column) const { return stmt_->value(column); }
    QString text(int column) const { return stmt_->text(column); }
    // The column's text as the engine holds it (UTF-8), valid until the next step.
    QByteArrayView utf8(int column) const { return stmt_->utf8(column); }
    double real(int column) const { return stmt_->real(column); }
    qint64 integer(int column) const { return stmt_->integer(column); }
    bool isNull(int column) const { return stmt_->isNull(column); }

private:
    std::unique_ptr<DbStatement> stmt_;
};

// The one connection to an encrypted database file.
class Database {
public:
    enum class OpenMode {
        ExistingOnly,
        CreateIfMissing,
        // Only read, and changed by no program meanwhile (a backup about to be restored):
        // opened without locks, log or files beside it, so it may lie on read-only media.
        ReadOnlyCopy,
    };

    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file with the key and checks that the key fits (throws DbError otherwise).
    void open(const QString& path, const QByteArray& key, OpenMode mode);
    // Connects to the shop's database on a PostgreSQL server (a libpq connection string or
    // service name); throws DbError with the server's words when it cannot.
    void openServer(const QString& connectionString);
    // Whether the database is the encrypted file (not a server).
    bool isFile() const { return handle() != nullptr; }
    void close();
    bool isOpen() const { return connection_ != nullptr; }

    // Keeps changes in a write-ahead log beside the file (one sync per commit instead of the
    // rollback journal's several); the setting stays with the file. False where the file
    // system cannot hold the log: the rollback journal stays.
    bool useWriteAheadLog();
    // Moves every committed change from the log into the file and empties the log, so the file
    // alone is a complete copy; throws when another connection keeps it from finishing.
    void checkpoint();
    const QString& path() const { return path_; }

    void exec(const QString& sql);
    // Runs a one-row, one-column query and returns its value (null when no row).
    QVariant scalar(const QString& sql, const QVariantList& params = {});

    int userVersion();
    void setUserVersion(int version);
    bool hasTable(const QString& name);
    bool inTransaction() const;
    // The statement that starts a writing transaction on this engine.
    QString beginStatement() const;
    // Writes new texts into some rows of a table in one statement (see DbConnection).
    void setRowTexts(const QString& table, const RowTexts& rows);
    // The order number (rowid) of the row this connection inserted last into the table.
    qint64 lastInsertedRow(const QString& table);
    // A listing of the table is about to read it. The file's page cache keeps the decrypted
    // pages of the table listed last, so listing it again is quick; a listing of another table
    // starts from an empty cache, so the pages of two million-row tables are never held at once.
    void beginListing(const QString& table);

    // The file engine's own handle, for developer tools; null on any other engine.
    sqlite3* handle() const;
    // The engine below; throws DbError when the database is not open.
    DbConnection& connection() const;
    [[noreturn]] void raise(int code, const QString& context) const;

    // Hook for fault-injection tests: called before every statement runs.
    using StatementHook = void (*)(void* context, const QString& sql);
    void setStatementHook(StatementHook hook, void* context) {
        hook_ = hook;
        hookContext_ = context;
    }
    void beforeStatement(const QString& sql) const {
        if (hook_)
            hook_(hookContext_, sql);
    }

private:
    std::unique_ptr<DbConnection> connection_;
    QString path_;
    QString lastListed_;
    StatementHook hook_ = nullptr;
    void* hookContext_ = nullptr;
};

// Commits on commit(); rolls back whatever was written when it goes out of scope uncommitted.
// Inside another transaction it becomes a savepoint, so operations compose.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    QString savepoint_;
    bool done_ = false;
};

} // namespace lms
