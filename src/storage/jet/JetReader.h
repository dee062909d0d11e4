#pragma once

#include "storage/jet/JetValues.h"

#include <QIODevice>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>

namespace lms::Jet {

// The file cannot be read as a Jet 4.0 database; the words are for the shop owner.
class ReadError : public std::runtime_error {
public:
    explicit ReadError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Reads the tables of a Jet 4.0 file through mdbtools' libmdb as the engine itself lists them:
// every live row once, in the table's own order. libmdb's page access and row decoding are used
// as they are; which rows are live, and where a row the engine moved to another page now lies,
// is read from the row offsets here (libmdb 1.0 takes the deleted mark for the moved one and the
// other way round). Runs in a child process of the program: a damaged file may bring libmdb down.
class Reader {
public:
    // Opens the file; throws ReadError.
    explicit Reader(const QString& path);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // The user tables in the catalogue's order, each with the rows it says it keeps.
    QList<TableInfo> catalog();
    // Calls `begin` with the table's columns, then `row` for each live row in the table's order.
    // Throws ReadError when the rows read do not add up to the rows the table keeps, or a row
    // cannot be read.
    void readTable(const QString& name, const std::function<void(const QList<Column>&)>& begin,
                   const std::function<void(const Row&)>& row);

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// Writes the stream the parent reads (JetValues.h): the catalogue, then the rows of each table of
// `tables` present in the file, in that order (none when `catalogOnly`). Returns the exit code:
// 0 all was sent, 3 the file could not be read (a FailTag record says why).
int writeStream(const QString& path, const QStringList& tables, bool catalogOnly, QIODevice& out);

} // namespace lms::Jet
