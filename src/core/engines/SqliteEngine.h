#pragma once

#include "core/DbEngine.h"

struct sqlite3;

namespace lms {

// The one-desk engine: the SQLCipher file beside the program, opened with its key.
class SqliteConnection : public DbConnection {
public:
    enum class Mode { ExistingOnly, CreateIfMissing, ReadOnlyCopy };

    // Opens the file with the key (a password) and checks that it fits; throws DbError otherwise.
    SqliteConnection(const QString& path, const QByteArray& key, Mode mode);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    std::unique_ptr<DbStatement> prepare(const QString& sql) override;
    bool inTransaction() const override;
    QString beginStatement() const override;
    int userVersion() override;
    void setUserVersion(int version) override;
    bool hasTable(const QString& name) override;
    qint64 lastInsertedRow(const QString& table) override;
    void setRowTexts(const QString& table, const RowTexts& rows) override;
    [[noreturn]] void raise(int code, const QString& context) const override;

    sqlite3* handle() const { return db_; }
    // Throws the engine's message for a failed call.
    [[noreturn]] void fail(int code, const QString& context) const;

private:
    // Opens the file and keys it, with the password or a raw key's text.
    void open(const QByteArray& file, int flags, QByteArrayView key, Mode mode);
    QVariant scalar(const QString& sql);

    sqlite3* db_ = nullptr;
};

} // namespace lms
