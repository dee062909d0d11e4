#pragma once

#include "core/DbEngine.h"

#include <QHash>

struct pg_conn;
struct pg_result;

namespace lms {

// A statement whose rows the server is still sending; another statement on the connection first
// has it buffer the rest, since a connection runs one statement at a time.
class PgStream {
public:
    virtual void bufferRest() = 0;

protected:
    ~PgStream() = default;
};

// The several-desk engine: the shop's database on a PostgreSQL server, reached through libpq
// with a connection string or service name in libpq's own terms.
//
// The program's statements are written once, in the common dialect of both engines; this
// connection turns them into the server's: "?" placeholders become "$1", "$2" …, "like" matches
// without regard to ASCII letter case as on the file engine, IFNULL is COALESCE, and each table
// gains a "rowid" identity column so the order of insertion reads as on the file engine.
//
// Writing transactions take one lock of the shop's database right after BEGIN, so writers
// follow one another as on the file engine while readers never wait: every operation's checks
// and conditional updates see what the one before it committed (read committed takes a new
// snapshot for each statement).
class PgConnection : public DbConnection {
public:
    // Connects; throws DbError with the server's message when it cannot be reached or refuses.
    explicit PgConnection(const QString& connectionString);
    ~PgConnection() override;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    std::unique_ptr<DbStatement> prepare(const QString& sql) override;
    bool inTransaction() const override;
    QString beginStatement() const override;
    QString writeLockStatement() const override;
    int userVersion() override;
    void setUserVersion(int version) override;
    bool hasTable(const QString& name) override;
    qint64 lastInsertedRow(const QString& table) override;
    void setRowTexts(const QString& table, const RowTexts& rows) override;
    [[noreturn]] void raise(int code, const QString& context) const override;

    pg_conn* handle() const { return conn_; }
    // Throws the server's message for a failed result (and frees it).
    [[noreturn]] void fail(pg_result* result, const QString& context) const;
    // Runs a statement without parameters and returns its result; throws DbError on failure.
    pg_result* run(const QString& sql);
    // Rows in COPY's text format for the table a "COPY … FROM stdin" statement names: begun,
    // given in pieces of whole lines, ended (or abandoned after a failure elsewhere).
    void beginCopy(const QString& sql);
    void putCopy(const QByteArray& lines);
    void endCopy();
    void abandonCopy();
    // The name of the server-side statement for this text, prepared on first use.
    QByteArray preparedName(const QString& serverSql, int parameters);
    // Prepares the statement under its name once more (after the tables it reads were replaced).
    void prepareAgain(const QByteArray& name, const QString& serverSql, int parameters);

    // The statement now receiving rows, which is asked to buffer them before anything else runs.
    void startStream(PgStream* stream);
    void endStream(PgStream* stream);
    void settleStream();

    // Connects anew when the connection was lost outside a transaction (a server restart, say);
    // true when it did, so the statement is prepared again. Inside a transaction the failure
    // stays, so no operation ever runs half on one connection and half on another.
    bool ensureConnected();
    // Keeps track of the transaction the program opened: `done` after a statement succeeded,
    // else before it is sent.
    void noteTransaction(const QString& sql, bool done);

    // The program's statement in the server's dialect.
    static QString toServerDialect(const QString& sql, int* parameters);

private:
    void setUpSession();
    void prepare(const QByteArray& name, const QString& serverSql, int parameters);

    pg_conn* conn_ = nullptr;
    PgStream* stream_ = nullptr;
    bool transactionOpen_ = false;
    // A COMMIT of a transaction went out on this session; the next operation's first statement
    // clears it.
    bool commitSent_ = false;
    QHash<QString, QByteArray> prepared_;
};

} // namespace lms
