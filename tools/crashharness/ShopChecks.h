#pragma once

#include "ChangeChecks.h"

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
// implies, which the tables must match; the changes of readers and books are replayed with what
// the clerks' journals say they were about to write (`intents`, see ChangeReplay). Returns one
// line per failure; none when the shop is whole.
QStringList checkShop(Database& db, const Intents& intents = {});

// How many log records of each event the shop holds.
QMap<QString, qint64> countLogEvents(Database& db);

} // namespace lms::crash
