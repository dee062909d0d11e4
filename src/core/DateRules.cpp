#include "core/DateRules.h"

namespace lms::Dates {

QString toStorage(const QDateTime& moment) {
    return moment.isValid() ? moment.toString(QString::fromLatin1(kStorageFormat)) : QString();
}

QDateTime fromStorage(const QString& text) {
    return QDateTime::fromString(text, QString::fromLatin1(kStorageFormat));
}

qint64 dayNumber(const QDateTime& moment) {
    return moment.date().toJulianDay();
}

qint64 daysBetween(const QDateTime& from, const QDateTime& to) {
    return dayNumber(to) - dayNumber(from);
}

QDateTime plusDays(const QDateTime& moment, qint64 days) {
    return QDateTime(moment.date().addDays(days), moment.time());
}

QDateTime plusMonths(const QDateTime& moment, int months) {
    // QDate::addMonths already clamps to the last day of the month.
    return QDateTime(moment.date().addMonths(months), moment.time());
}

} // namespace lms::Dates
