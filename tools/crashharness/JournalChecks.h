#pragma once

#include "ClerkJournal.h"

#include <QList>
#include <QStringList>

namespace lms {
class Database;
}

namespace lms::crash {

// One clerk process's journal and the desk (the millisecond of its moments) it worked at.
struct ClerkRecord {
    int process = 0;
    int desk = 0;
    QList<JournalEntry> entries;
};

// What the journals of a run add up to.
struct JournalTally {
    int done = 0;
    int connectionLost = 0;
    int reconnected = 0;
    int recoveredByItself = 0;
};

// Holds the shop to its clerks' journals: every operation a clerk saw committed is stored (its
// log record, at its moment); a clerk was shown "连接数据库出错!" only when its connection had
// failed, and that only while the server was restarted (`serverRestarted`); and the log records
// no clerk reported are at most the one each clerk process was killed after, plus those whose
// commit the lost connection left unanswered. Records at desk 0 (the shop's first rows) are no
// clerk's. Returns one line per failure.
QStringList checkJournals(Database& db, const QList<ClerkRecord>& clerks, bool serverRestarted,
                          JournalTally* tally);

} // namespace lms::crash
