#include "core/engines/SqliteEngine.h"

#include "core/DbError.h"
#include "core/engines/PageKeys.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <array>
#include <openssl/crypto.h>
#include <optional>
#include <sqlite3.h>

namespace lms {

namespace {

// Other programs may hold the file open; short overlaps wait instead of failing.
constexpr int kBusyTimeoutMs = 3000;
constexpr int kPageCacheKiB = 128 * 1024;

using Salt = PageKeys::Salt;

// The salt an existing encrypted file begins with; nothing for a missing or empty file.
std::optional<Salt> fileSalt(const QString& path) {
    QFile file(path);
    Salt salt{};
    if (!file.open(QIODevice::ReadOnly) ||
        file.read(reinterpret_cast<char*>(salt.data()), salt.size()) != qint64(salt.size()))
        return std::nullopt;
    return salt;
}

// The engine's text for a raw key, "x'" and its 64 hex digits and "'", wiped when dropped.
class RawKeyText {
public:
    explicit RawKeyText(const PageKey& key) {
        static constexpr char kDigits[] = "0123456789abcdef";
        text_.front() = 'x';
        text_[1] = '\'';
        for (int i = 0; i < PageKey::kBytes; ++i) {
            text_[2 + 2 * i] = kDigits[key.data()[i] >> 4];
            text_[3 + 2 * i] = kDigits[key.data()[i] & 0x0f];
        }
        text_.back() = '\'';
    }
    ~RawKeyText() { OPENSSL_cleanse(text_.data(), text_.size()); }
    RawKeyText(const RawKeyText&) = delete;
    RawKeyText& operator=(const RawKeyText&) = delete;

    QByteArrayView view() const { return QByteArrayView(text_.data(), qsizetype(text_.size())); }

private:
    std::array<char, 3 + 2 * PageKey::kBytes> text_{};
};

class SqliteStatement : public DbStatement {
public:
    SqliteStatement(const SqliteConnection& connection, const QString& sql)
        : connection_(connection) {
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(connection.handle(), utf8.constData(),
                                          static_cast<int>(utf8.size()), &stmt_, nullptr);
        if (rc != SQLITE_OK)
            connection.fail(rc, sql);
    }
    ~SqliteStatement() override { sqlite3_finalize(stmt_); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bind(int index, const QVariant& value) override {
        const int rc = bindValue(index, value);
        if (rc != SQLITE_OK)
            connection_.fail(rc, QStringLiteral("bind"));
    }

    bool next() override {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        connection_.fail(rc, QString::fromUtf8(sqlite3_sql(stmt_)));
    }

    int changes() const override { return sqlite3_changes(connection_.handle()); }

    void reset() override {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

    int columnCount() const override { return sqlite3_column_count(stmt_); }

    QString columnName(int column) const override {
        return QString::fromUtf8(sqlite3_column_name(stmt_, column));
    }

    QVariant value(int column) const override {
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

    QString text(int column) const override {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return chars ? QString::fromUtf8(chars, sqlite3_column_bytes(stmt_, column)) : QString();
    }

    QByteArrayView utf8(int column) const override {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return chars ? QByteArrayView(chars, sqlite3_column_bytes(stmt_, column))
                     : QByteArrayView();
    }

    double real(int column) const override { return sqlite3_column_double(stmt_, column); }
    qint64 integer(int column) const override { return sqlite3_column_int64(stmt_, column); }
    bool isNull(int column) const override {
        return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
    }

private:
    int bindValue(int index, const QVariant& value) {
        if (value.isNull())
            return sqlite3_bind_null(stmt_, index);
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return sqlite3_bind_int64(stmt_, index, value.toLongLong());
        case QMetaType::Float:
        case QMetaType::Double:
            return sqlite3_bind_double(stmt_, index, value.toDouble());
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return sqlite3_bind_blob(stmt_, index, bytes.constData(),
                                     static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        }
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            return sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                                     SQLITE_TRANSIENT);
        }
        }
    }

    const SqliteConnection& connection_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace

SqliteConnection::SqliteConnection(const QString& path, const QByteArray& key, Mode mode) {
    // One connection serves one thread (the program's), so the engine's per-call locking only
    // costs time: a listing reads millions of cells.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == Mode::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    QByteArray file = QFileInfo(path).absoluteFilePath().toUtf8();
    if (mode == Mode::ReadOnlyCopy) {
        // A file in write-ahead-log mode otherwise needs its shared-memory file beside it,
        // which a read-only folder cannot take.
        flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
        file = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
    }
    // The password costs a slow derivation at every open; an existing file is keyed with its page
    // key instead, derived once per salt in the process.
    if (const std::optional<Salt> salt = key.isEmpty() ? std::nullopt : fileSalt(path)) {
        PageKey pageKey;
        if (PageKeys::keyFor(key, salt->data(), pageKey)) {
            RawKeyText text(pageKey);
            try {
                open(file, flags, text.view(), mode);
                return;
            } catch (const DbError& error) {
                // A file of other cipher settings than the program's: its password still opens
                // it, as the engine derives its key by the file's own settings.
                if (error.code() != SQLITE_NOTADB)
                    throw;
            }
        }
    }
    open(file, flags, key, mode);
}

void SqliteConnection::open(const QByteArray& file, int flags, QByteArrayView key, Mode mode) {
    const int rc = sqlite3_open_v2(file.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "cannot open";
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(rc, message);
    }
    try {
        const int keyRc = sqlite3_key(db_, key.data(), static_cast<int>(key.size()));
        if (keyRc != SQLITE_OK)
            raise(keyRc, QStringLiteral("key"));
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        // Reading the schema is the first use of the key: a wrong key or a foreign file fails here.
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        // Every commit reaches the disk before the operation reports success.
        if (mode != Mode::ReadOnlyCopy)
            scalar(QStringLiteral("PRAGMA synchronous=FULL"));
        // Each page read is decrypted; a cache that holds a listed table (the million-row ledger
        // and its time index) decrypts every page once instead of again and again.
        scalar(QStringLiteral("PRAGMA cache_size=-%1").arg(kPageCacheKiB));
    } catch (...) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw;
    }
}

SqliteConnection::~SqliteConnection() {
    sqlite3_close_v2(db_);
}

std::unique_ptr<DbStatement> SqliteConnection::prepare(const QString& sql) {
    return std::make_unique<SqliteStatement>(*this, sql);
}

QVariant SqliteConnection::scalar(const QString& sql) {
    SqliteStatement statement(*this, sql);
    return statement.next() ? statement.value(0) : QVariant();
}

bool SqliteConnection::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

QString SqliteConnection::beginStatement() const {
    return QStringLiteral("BEGIN IMMEDIATE");
}

int SqliteConnection::userVersion() {
    return static_cast<int>(scalar(QStringLiteral("PRAGMA user_version")).toLongLong());
}

void SqliteConnection::setUserVersion(int version) {
    // PRAGMA takes no parameters; the version is a number the program chose.
    scalar(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

bool SqliteConnection::hasTable(const QString& name) {
    SqliteStatement statement(
        *this,
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"));
    statement.bind(1, name);
    return statement.next() && statement.integer(0) > 0;
}

qint64 SqliteConnection::lastInsertedRow(const QString&) {
    return sqlite3_last_insert_rowid(db_);
}

void SqliteConnection::raise(int code, const QString& context) const {
    fail(code, context);
}

void SqliteConnection::fail(int code, const QString& context) const {
    const char* message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    throw DbError(code, std::string(message) + " [" + context.toStdString() + "]");
}

} // namespace lms
