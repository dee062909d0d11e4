#include "core/Database.h"

#include "core/DateRules.h"

#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace lms {

namespace {

// Other programs may hold the file open; short overlaps wait instead of failing.
constexpr int kBusyTimeoutMs = 3000;
constexpr int kPageCacheKiB = 128 * 1024;

} // namespace

// ---- Query ----

Query::Query(Database& db, const QString& sql) : db_(&db) {
    if (!db.isOpen())
        throw DbError(SQLITE_MISUSE, "database is not open");
    db.beforeStatement(sql);
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db.handle(), utf8.constData(), static_cast<int>(utf8.size()),
                                      &stmt_, nullptr);
    if (rc != SQLITE_OK)
        db.raise(rc, sql);
}

Query::~Query() {
    if (stmt_)
        sqlite3_finalize(stmt_);
}

Query::Query(Query&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

Query& Query::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
            break;
        case QMetaType::Float:
        case QMetaType::Double:
            rc = sqlite3_bind_double(stmt_, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(stmt_, index, bytes.constData(), static_cast<int>(bytes.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        db_->raise(rc, QStringLiteral("bind"));
    return *this;
}

Query& Query::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
    return *this;
}

bool Query::next() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    db_->raise(rc, QString::fromUtf8(sqlite3_sql(stmt_)));
}

void Query::exec() {
    while (next()) {
    }
}

int Query::execCounted() {
    exec();
    return sqlite3_changes(db_->handle());
}

void Query::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Query::columnCount() const {
    return sqlite3_column_count(stmt_);
}

QString Query::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

QVariant Query::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant::fromValue<qint64>(sqlite3_column_int64(stmt_, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, column);
    case SQLITE_NULL:
        return {};
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                          sqlite3_column_bytes(stmt_, column));
    default:
        return text(column);
    }
}

QString Query::text(int column) const {
    const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return chars ? QString::fromUtf8(chars, sqlite3_column_bytes(stmt_, column)) : QString();
}

QByteArrayView Query::utf8(int column) const {
    const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return chars ? QByteArrayView(chars, sqlite3_column_bytes(stmt_, column)) : QByteArrayView();
}

double Query::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

qint64 Query::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

QDateTime Query::storedDate(int column) const {
    const QDateTime moment = Dates::fromStorage(text(column));
    if (!moment.isValid())
        throw DbError(0, "unreadable date in column " + columnName(column).toStdString());
    return moment;
}

bool Query::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

// ---- Database ----

Database::~Database() {
    close();
}

void Database::open(const QString& path, const QByteArray& key, OpenMode mode) {
    close();
    // One connection serves one thread (the program's), so the engine's per-call locking only
    // costs time: a listing reads millions of cells.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    QByteArray file = QFileInfo(path).absoluteFilePath().toUtf8();
    if (mode == OpenMode::ReadOnlyCopy) {
        // A file in write-ahead-log mode otherwise needs its shared-memory file beside it,
        // which a read-only folder cannot take.
        flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
        file = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
    }
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(file.constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = handle ? sqlite3_errmsg(handle) : "cannot open";
        sqlite3_close(handle);
        throw DbError(rc, message);
    }
    db_ = handle;
    path_ = path;
    try {
        const int keyRc = sqlite3_key(db_, key.constData(), static_cast<int>(key.size()));
        if (keyRc != SQLITE_OK)
            raise(keyRc, QStringLiteral("key"));
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        // Reading the schema is the first use of the key: a wrong key or a foreign file fails here.
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        // Every commit reaches the disk before the operation reports success.
        if (mode != OpenMode::ReadOnlyCopy)
            exec(QStringLiteral("PRAGMA synchronous=FULL"));
        // Each page read is decrypted; a cache that holds a listed table (the million-row ledger
        // and its time index) decrypts every page once instead of again and again.
        exec(QStringLiteral("PRAGMA cache_size=-%1").arg(kPageCacheKiB));
    } catch (...) {
        close();
        throw;
    }
}

bool Database::useWriteAheadLog() {
    return scalar(QStringLiteral("PRAGMA journal_mode=WAL")).toString() == QStringLiteral("wal");
}

void Database::checkpoint() {
    Query query(*this, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    // The first column tells whether another connection kept the log from being emptied.
    if (query.next() && query.integer(0) != 0)
        throw DbError(SQLITE_BUSY, "the write-ahead log is in use by another connection");
}

void Database::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
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

int Database::userVersion() {
    return static_cast<int>(scalar(QStringLiteral("PRAGMA user_version")).toLongLong());
}

void Database::setUserVersion(int version) {
    // PRAGMA takes no parameters; the version is a number the program chose.
    exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

bool Database::hasTable(const QString& name) {
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                 "name = ?"),
                  {name})
               .toLongLong() > 0;
}

bool Database::inTransaction() const {
    return db_ && sqlite3_get_autocommit(db_) == 0;
}

void Database::raise(int code, const QString& context) const {
    const char* message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    throw DbError(code, std::string(message) + " [" + context.toStdString() + "]");
}

// ---- Transaction ----

Transaction::Transaction(Database& db) : db_(db) {
    if (db_.inTransaction()) {
        static int counter = 0;
        savepoint_ = QStringLiteral("nested_%1").arg(++counter);
        db_.exec(QStringLiteral("SAVEPOINT ") + savepoint_);
    } else {
        db_.exec(QStringLiteral("BEGIN IMMEDIATE"));
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
