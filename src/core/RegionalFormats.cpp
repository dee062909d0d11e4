#include "core/RegionalFormats.h"

#include <QRegularExpression>

namespace lms {

namespace {

QLocale effectiveLocale(const QLocale& locale) {
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::Chinese, QLocale::China);
    return locale;
}

// Qt's long formats carry the weekday and the time zone; the shop's clock shows neither there.
// The part goes together with the brackets and separators around it.
QString withoutPattern(QString format, const QString& pattern) {
    static const QRegularExpression edges(QStringLiteral("^[\\s,،，]+|[\\s,،，]+$"));
    format.remove(QRegularExpression(pattern));
    return format.remove(edges);
}

} // namespace

RegionalFormats::RegionalFormats() : RegionalFormats(QLocale::system()) {}

RegionalFormats::RegionalFormats(const QLocale& locale) : locale_(effectiveLocale(locale)) {
    shortDateFormat_ = locale_.dateFormat(QLocale::ShortFormat);
    if (!shortDateFormat_.contains(QLatin1String("yyyy")))
        shortDateFormat_.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    longDateFormat_ = withoutPattern(locale_.dateFormat(QLocale::LongFormat),
                                     QStringLiteral("[,،，]?\\s*dddd\\s*[,،，]?"));
    longTimeFormat_ = withoutPattern(locale_.timeFormat(QLocale::LongFormat),
                                     QStringLiteral("\\s*[\\(\\[]?\\s*t+\\s*[\\)\\]]?\\s*"));
}

QString RegionalFormats::shortDate(const QDate& date) const {
    return locale_.toString(date, shortDateFormat_);
}

QString RegionalFormats::longDate(const QDate& date) const {
    return locale_.toString(date, longDateFormat_);
}

QString RegionalFormats::longTime(const QTime& time) const {
    return locale_.toString(time, longTimeFormat_);
}

QString RegionalFormats::shortDayName(const QDate& date) const {
    return locale_.dayName(date.dayOfWeek(), QLocale::ShortFormat);
}

QString RegionalFormats::dateSeparator() const {
    for (const QChar c : shortDateFormat_) {
        // Right-to-left formats mark their separators with invisible direction marks.
        if (!c.isLetter() && c.category() != QChar::Other_Format)
            return QString(c);
    }
    return QStringLiteral("/");
}

QString RegionalFormats::dateTimeText(const QDateTime& moment) const {
    const QTime time = moment.time();
    const bool midnight = time.hour() == 0 && time.minute() == 0 && time.second() == 0;
    return midnight ? shortDate(moment.date())
                    : shortDate(moment.date()) + QLatin1Char(' ') + longTime(time);
}

QString RegionalFormats::clockText(const QDateTime& moment) const {
    return longDate(moment.date()) + QStringLiteral("  ") + longTime(moment.time()) +
           QStringLiteral("   ") + shortDayName(moment.date());
}

} // namespace lms
