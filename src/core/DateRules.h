#pragma once

#include <QDateTime>
#include <QString>

namespace lms::Dates {

// Date-times are stored as local-time text that sorts and reads naturally.
inline constexpr auto kStorageFormat = "yyyy-MM-dd HH:mm:ss.zzz";
QString toStorage(const QDateTime& moment);
// An empty or unreadable text gives an invalid date-time.
QDateTime fromStorage(const QString& text);
// Whether a moment can be stored and read back: a valid date of the years 1 to 9999 (the
// stored text has four digits for the year).
bool isStorable(const QDateTime& moment);
// The longest span a day-count setting may hold (about a hundred years either way), so that a
// due date computed from it stays storable.
inline constexpr int kLongestDaySpan = 36500;

// The calendar day of a moment as a running day number (the time of day dropped).
qint64 dayNumber(const QDateTime& moment);
// Whole calendar days from `from` to `to`; negative when `to` lies before `from`.
qint64 daysBetween(const QDateTime& from, const QDateTime& to);
QDateTime plusDays(const QDateTime& moment, qint64 days);
// Plus n months; a day past the end of the resulting month becomes its last day
// (31 January + 1 month = 28 or 29 February). The time of day is kept.
QDateTime plusMonths(const QDateTime& moment, int months);

} // namespace lms::Dates
