#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace lms::Imports {

// A date-time as a file brings it: year first, then month and day, separated by "/", "-", "."
// or written "2026年3月14日", optionally followed by a blank and the time "H:mm", "H:mm:ss" or
// "H:mm:ss.zzz". This covers what the listings export (the short date and long time of a
// Chinese system), the stored form and what spreadsheet programs on Chinese systems write.
// Nothing for any other text, a date that does not exist, or one that cannot be stored.
std::optional<QDateTime> readDateText(const QString& text);

} // namespace lms::Imports
