#pragma once

#include "core/Database.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lms::test {

// The whole content of a database: every table with every row in rowid order, each cell's
// storage class and bytes, and the schema version. Two dumps are equal exactly when the
// tables hold the same values.
struct DatabaseDump {
    struct Cell {
        int type = 0;     // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL
        QByteArray bytes; // the text's UTF-8 bytes, the blob, or the number as the engine prints it
        bool operator==(const Cell&) const = default;
    };
    using Row = QList<Cell>;
    struct Table {
        QString name;
        QStringList columns;
        QList<Row> rows;
        bool operator==(const Table&) const = default;
    };

    qint64 userVersion = 0;
    QList<Table> tables; // in name order

    bool operator==(const DatabaseDump&) const = default;

    // The table of that name, or nullptr.
    const Table* table(const QString& name) const;
    // The same dump without the named tables (for a log record a refusal may leave).
    DatabaseDump without(const QStringList& names) const;
};

// Reads every table of the open database.
DatabaseDump dumpDatabase(Database& db);

// A readable account of how `after` differs from `before` (empty when they are equal): tables
// added or gone, rows changed, added or gone, with the cells shown as text.
QString describeDifference(const DatabaseDump& before, const DatabaseDump& after);

// One cell as a failure message shows it: text quoted with escapes, numbers as printed.
QString describeCell(const DatabaseDump::Cell& cell);

} // namespace lms::test
