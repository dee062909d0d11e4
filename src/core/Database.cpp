#include "core/Database.h"

#include "core/DateRules.h"

#include "core/engines/PgEngine.h"
#include "core/engines/SqliteEngine.h"

#include <malloc.h>
#include <sqlite3.h>

namespace lms {

// ---- Query ----

Query::Query(Database& db, const QString& sql) {
    DbConnection& connection = db.connection();
    db.beforeStatement(sql);
    stmt_ = connection.prepare(sql);
}

Query::~Query() = default;

Query& Query::bind(int index, const QVariant& value) {
    stmt_->bind(index, value);
    return *this;
}

Query& Query::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
    return *this;
}

bool Query::next() {
    return stmt_->next();
}

void Query::exec() {
    while (next()) {
    }
}

int Query::execCounted() {
    exec();
    return stmt_->changes();
}

void Query::reset() {
    stmt_->reset();
}

QDateTime Query::storedDate(int column) const {
    const QDateTime moment = Dates::fromStorage(text(column));
    if (!moment.isValid())
        throw DbError(0, "unreadable date in column " + columnName(column).toStdString());
    return moment;
}

// ---- Database ----

Database::~Database() {
    close();
}

void Database::open(const QString& path, const QByteArray& key, OpenMode mode) {
    close();
    const auto engineMode = mode == OpenMode::CreateIfMissing
                                ? SqliteConnection::Mode::CreateIfMissing
                            : mode == OpenMode::ReadOnlyCopy ? SqliteConnection::Mode::ReadOnlyCopy
                                                             : SqliteConnection::Mode::ExistingOnly;
    connection_ = std::make_unique<SqliteConnection>(path, key, engineMode);
    path_ = path;
}

void Database::openServer(const QString& connectionString) {
    close();
    connection_ = std::make_unique<PgConnection>(connectionString);
    path_.clear();
}

bool Database::useWriteAheadLog() {
    if (!isFile())
        return false;
    return scalar(QStringLiteral("PRAGMA journal_mode=WAL")).toString() == QStringLiteral("wal");
}

void Database::checkpoint() {
    // A server keeps its own log.
    if (!isFile())
        return;
    Query query(*this, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    // The first column tells whether another connection kept the log from being emptied.
    if (query.next() && query.integer(0) != 0)
        throw DbError(SQLITE_BUSY, "the write-ahead log is in use by another connection");
}

void Database::close() {
    connection_.reset();
}

void Database::exec(const QString& sql) {
    Query query(*this, sql);
    query.exec();
}

QVariant Database::scalar(const QString& sql, const QVariantList& params) {
    Query query(*this, sql);
    query.bindAll(params);
    return query.next() ? query.value(0) : QVariant();
}

// The engine's own calls pass the hook too, so fault tests reach them like any statement.
int Database::userVersion() {
    beforeStatement(QStringLiteral("PRAGMA user_version"));
    return connection().userVersion();
}

void Database::setUserVersion(int version) {
    beforeStatement(QStringLiteral("PRAGMA user_version = %1").arg(version));
    connection().setUserVersion(version);
}

bool Database::hasTable(const QString& name) {
    beforeStatement(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'"));
    return connection().hasTable(name);
}

bool Database::inTransaction() const {
    return connection_ && connection_->inTransaction();
}

QString Database::beginStatement() const {
    return connection().beginStatement();
}

void Database::setRowTexts(const QString& table, const RowTexts& rows) {
    beforeStatement(QStringLiteral("UPDATE ") + table);
    connection().setRowTexts(table, rows);
}

qint64 Database::lastInsertedRow(const QString& table) {
    return connection().lastInsertedRow(table);
}

void Database::beginListing(const QString& table) {
    if (table == lastListed_)
        return;
    lastListed_ = table;
    if (sqlite3* file = handle()) {
        sqlite3_db_release_memory(file);
        // The allocator would keep the freed pages for itself.
        malloc_trim(0);
    }
}

sqlite3* Database::handle() const {
    const auto* file = dynamic_cast<const SqliteConnection*>(connection_.get());
    return file ? file->handle() : nullptr;
}

DbConnection& Database::connection() const {
    if (!connection_)
        throw DbError(SQLITE_MISUSE, "database is not open");
    return *connection_;
}

void Database::raise(int code, const QString& context) const {
    if (connection_)
        connection_->raise(code, context);
    throw DbError(code, sqlite3_errstr(code) + std::string(" [") + context.toStdString() + "]");
}

// ---- Transaction ----

Transaction::Transaction(Database& db) : db_(db) {
    if (db_.inTransaction()) {
        static int counter = 0;
        savepoint_ = QStringLiteral("nested_%1").arg(++counter);
        db_.exec(QStringLiteral("SAVEPOINT ") + savepoint_);
    } else {
        db_.exec(db_.beginStatement());
        const QString lock = db_.connection().writeLockStatement();
        if (!lock.isEmpty()) {
            try {
                db_.exec(lock);
            } catch (const DbError&) {
                // No destructor runs for a constructor that throws: end what BEGIN started.
                done_ = true;
                try {
                    db_.exec(QStringLiteral("ROLLBACK"));
                } catch (const DbError&) {
                    // A lost connection has ended the transaction already.
                }
                throw;
            }
        }
    }
}

Transaction::~Transaction() {
    if (done_ || !db_.isOpen())
        return;
    try {
        if (savepoint_.isEmpty()) {
            if (db_.inTransaction())
                db_.exec(QStringLiteral("ROLLBACK"));
        } else {
            db_.exec(QStringLiteral("ROLLBACK TO ") + savepoint_);
            db_.exec(QStringLiteral("RELEASE ") + savepoint_);
        }
    } catch (const DbError&) {
        // The engine has already rolled back when a statement failed that way.
    }
}

void Transaction::commit() {
    db_.exec(savepoint_.isEmpty() ? QStringLiteral("COMMIT")
                                  : QStringLiteral("RELEASE ") + savepoint_);
    done_ = true;
}

} // namespace lms
