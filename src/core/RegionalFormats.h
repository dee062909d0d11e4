#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace lms {

// The date and time formats of the system's regional settings; Chinese ones where the
// system names none (the C or POSIX locale).
class RegionalFormats {
public:
    RegionalFormats();
    explicit RegionalFormats(const QLocale& locale);

    const QLocale& locale() const { return locale_; }
    QString shortDate(const QDate& date) const;
    QString longDate(const QDate& date) const;
    QString longTime(const QTime& time) const;
    QString shortDayName(const QDate& date) const;
    QString dateSeparator() const;
    // Short date, then a blank and the long time unless the time of day is midnight.
    QString dateTimeText(const QDateTime& moment) const;
    // The status-bar clock: long date, two blanks, long time, three blanks, short day name.
    QString clockText(const QDateTime& moment) const;

private:
    QLocale locale_;
    QString shortDateFormat_;
    QString longDateFormat_;
    QString longTimeFormat_;
};

} // namespace lms
