#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace lms {
class Database;
}

namespace lms::crash {

// Checks a shop that the random clerks worked on (and that may have been killed at any moment),
// on either engine: the file's integrity (a server checks its own), the invariants between readers,
// books and loans, and that each logged operation stored all of its rows and nothing of an
// operation was stored without its log record. The operation log is replayed into the state it
// implies, which the tables must match. Returns one line per failure; none when the shop is whole.
QStringList checkShop(Database& db);

// How many log records of each event the shop holds.
QMap<QString, qint64> countLogEvents(Database& db);

} // namespace lms::crash
