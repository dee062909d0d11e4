#pragma once

#include "queries/FilterBuilder.h"

#include <QDateTime>

namespace lms {

class Database;
struct PubData;

// Whom the shop calls today: the loans past their due date, and the readers whose rental
// validity runs out within the reminder days (or has run out while they still hold books).
namespace CallList {

// Loans due before today's midnight: late by the return screen's count of days.
Statement overdueLoans(const QDateTime& now);
// Time-based readers whose validity ends before the midnight `ExpiryReminderDays` days from
// today (fewer days left than the setting, as the borrowing screen warns), and those already
// past it who still hold books. A reader holding nothing whose validity grows while idle is not
// running out, and is not named.
Statement expiringReaders(const QDateTime& now, const PubData& pub);

// How many rows each list holds today.
struct Counts {
    qint64 overdueLoans = 0;
    qint64 expiringReaders = 0;
};
Counts count(Database& db, const QDateTime& now, const PubData& pub);
// The status bar's line for them: "今日：超期未还 N 本，即将到期读者 M 人".
QString notice(const Counts& counts);

// Midnight at the start of the day `days` after `now`'s, as stored dates compare with it.
QString midnightAfter(const QDateTime& now, qint64 days);

} // namespace CallList

} // namespace lms
