#pragma once

#include <QDateTime>

namespace lms::test {

// A local moment, to the millisecond; the parts a test leaves out are zero.
inline QDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                    int ms = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms));
}

} // namespace lms::test
