#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace lms::Circulation {

// Whole calendar days a book is late: from its due date to now, never below 0.
qint64 overdueDays(const QDateTime& due, const QDateTime& now);

// The fine shown for that many late days: "0" when none, else the general form of
// days × the fine per day.
QString overdueFine(qint64 days, float finePerDay);

// The rent of a pay-per-day reader for one book lent at `lentAt`: the days to now, at least one.
QString dailyRent(const QDateTime& lentAt, const QDateTime& now, float rentPerDay);

// The compensation proposed for a damaged or lost book: price × rate in the two-decimal form;
// a stored price that is not a number proposes 0.
QString compensation(const QString& storedPrice, float damageRate);

// The amounts of a return as the clerk leaves them, parsed; nothing when one that counts is not
// a number or the sum no longer fits an amount.
struct ReturnAmounts {
    double fine = 0;
    double rent = 0;
    double compensation = 0; // 0 unless the book is marked damaged or lost
    double total = 0;        // the sum as shown, in two decimals
};
std::optional<ReturnAmounts> returnAmounts(const QString& fine, const QString& rent,
                                           const QString& compensation, bool damagedOrLost);

} // namespace lms::Circulation
