#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace lms {

// One run of a PostgreSQL client program (pg_dump, pg_restore) found on PATH, to its end. The
// program's messages come in English, so its progress reports can be recognised and its errors
// shown as its own words below a Chinese headline.
struct PgToolRun {
    bool ran = false;     // whether the program was found and started
    bool ok = false;      // whether it ran to a good end
    QByteArray output;    // what it wrote to standard output, unless a reader took it
    bool stopped = false; // the reader of its output ended it early
    QString failure;      // why it could not run or failed, in Chinese with the tool's own words
};

// Each line of the program's report that is not an error: its progress while it works.
using PgToolReport = std::function<void(const QByteArray& line)>;

// Takes the program's standard output as it comes, in pieces of any length, instead of keeping
// it; false ends the program.
using PgToolOutput = std::function<bool(const QByteArray& piece)>;

PgToolRun runPgTool(const QString& name, const QStringList& arguments,
                    const PgToolReport& onReport = {}, const PgToolOutput& onOutput = {});

} // namespace lms
