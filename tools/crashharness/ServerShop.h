#pragma once

#include <QString>

namespace lms::crash {

// The database a run keeps its shop in on a PostgreSQL server. A connection string that names a
// database is used as given (the database must hold no shop yet, and stays); one that names only
// the server gets a database of the run's own, dropped at the end unless kept.
class ServerShop {
public:
    // Throws DbError when the server cannot be reached or the database not made.
    explicit ServerShop(const QString& connectionString);
    ~ServerShop();
    ServerShop(const ServerShop&) = delete;
    ServerShop& operator=(const ServerShop&) = delete;

    // The connection string of the shop's database.
    const QString& connectionString() const { return shop_; }
    const QString& databaseName() const { return name_; }
    // Leaves the run's own database on the server, to be looked at.
    void keep() { keep_ = true; }

    // Makes every commit on the shop's database wait until the server has written it to its
    // log, so a server stopped abruptly keeps every commit it answered (a throwaway cluster runs
    // without that, for speed). Returns the setting a new connection gets; a connection string
    // may still override it. Throws DbError.
    QString makeCommitsDurable();

private:
    QString server_;
    QString shop_;
    QString name_;
    bool own_ = false;
    bool keep_ = false;
};

// Waits until no session but the caller's own is connected to the database the connection
// string names (a killed clerk's session ends when the server notices); false after
// `timeoutMs`. Throws DbError.
bool waitUntilNoOtherSession(const QString& connectionString, int timeoutMs);

// `connectionString` with its database replaced by `database`, in key=value form; throws DbError
// for a connection string libpq cannot read.
QString withDatabase(const QString& connectionString, const QString& database);

} // namespace lms::crash
