#pragma once

#include <QString>

namespace lms::test {

// The PostgreSQL server a test run keeps the shops on (LMS_TEST_SERVER, a libpq connection
// string without a database name); empty when the run uses the file beside the program.
QString testServer();

// The database a connection string names (its "dbname=").
QString serverDatabaseName(const QString& connectionString);
// Makes `to` a copy of `from` (no connection may be open to either), replacing any `to`.
void copyServerDatabase(const QString& from, const QString& to);
void dropServerDatabase(const QString& name);

// An empty database of its own on the test server for one shop, dropped at the end.
class ServerDatabase {
public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    // The connection string the shop's program uses.
    QString connectionString() const;

private:
    QString name_;
};

} // namespace lms::test

// Skips a test of the encrypted file's own behaviour (its bytes, its locks, copying it) in a run
// with the shop on a server.
#define LMS_FILE_ENGINE_ONLY()                                                                     \
    if (!::lms::test::testServer().isEmpty())                                                      \
    GTEST_SKIP() << "the encrypted file's own behaviour"
