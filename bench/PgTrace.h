#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantList>
#include <cstdio>
#include <optional>

struct pg_conn;

namespace lms::bench {

// One statement as the server received it: a prepared statement's name with the values bound
// to it, or a statement sent whole as text.
struct SentStatement {
    QByteArray prepared; // the prepared statement's name; empty for a text statement
    QByteArray text;     // the text of a statement sent whole
    QList<std::optional<QByteArray>> values; // in the server's text form; null stays empty
    QList<int> binary;                       // per value: 1 where it was sent as bytes

    bool operator==(const SentStatement&) const = default;
};

// Records what a server connection sends, with libpq's own protocol trace, so the same work
// can be sent again through libpq as the floor.
class PgTrace {
public:
    explicit PgTrace(pg_conn* connection);
    ~PgTrace();
    PgTrace(const PgTrace&) = delete;
    PgTrace& operator=(const PgTrace&) = delete;

    // Ends the trace and reads the statements out of it, in the order they were sent.
    QList<SentStatement> finish();

private:
    void stop();
    pg_conn* connection_;
    std::FILE* file_ = nullptr;
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
};

// The statements in libpq's trace text: each "Bind" (a prepared statement run with its values)
// and each "Query" (a statement sent whole). Throws DbError on a line it cannot read. The trace
// writes a byte that is not printable as \xNN and a backslash as it is, so a value holding a
// backslash, "x" and the two digits of a byte that is not printable reads as that byte.
QList<SentStatement> parseTrace(const QByteArray& trace);

// Sends each statement again on the connection, with its values, and reads its whole result.
void replay(pg_conn* connection, const QList<SentStatement>& statements);

// The statements with their values, one a line, for checks of what was sent.
QString describe(const QList<SentStatement>& statements);

// Runs one statement of the server's dialect with its values in libpq's single-row mode and
// steps through every row; returns the row count. With `readValues`, also takes every value out
// of each row in the form a screen keeps it (numbers as doubles, the rest as UTF-8 text).
qint64 stepAll(pg_conn* connection, const QString& serverSql, const QVariantList& params,
               bool readValues = false);

} // namespace lms::bench
