#include "core/DateRules.h"

#include <QTimeZone>
#include <optional>

namespace lms::Dates {

namespace {

// A local date and time of day. Where summer time starts the clock skips an hour, and Qt leaves
// a time in it invalid (stored as an empty text); it is the moment the clock shows after the
// jump instead, later that day.
QDateTime localMoment(const QDate& date, const QTime& time) {
    const QDateTime moment(date, time);
    if (moment.isValid() || !date.isValid() || !time.isValid())
        return moment;
    const QDateTime dayBefore(date.addDays(-1), time);
    if (!dayBefore.isValid())
        return moment;
    return QDateTime(date, time, QTimeZone(dayBefore.offsetFromUtc())).toLocalTime();
}

} // namespace

QString toStorage(const QDateTime& moment) {
    return moment.isValid() ? moment.toString(QString::fromLatin1(kStorageFormat)) : QString();
}

bool isStorable(const QDateTime& moment) {
    return moment.isValid() && moment.date().year() >= 1 && moment.date().year() <= 9999;
}

namespace {

// The digits of text[from, from + count), or -1 when one of them is not a digit.
int digitsAt(const QString& text, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The stored form read by position: listings and lookups read thousands of dates, and Qt's
// general format parser costs microseconds each. Nothing when the text is not exactly in form.
std::optional<QDateTime> readExactForm(const QString& text) {
    static const QString form = QString::fromLatin1(kStorageFormat);
    if (text.size() != form.size())
        return std::nullopt;
    for (int i = 0; i < form.size(); ++i) {
        const char16_t f = form[i].unicode();
        const bool digit =
            f == u'y' || f == u'M' || f == u'd' || f == u'H' || f == u'm' || f == u's' || f == u'z';
        if (!digit && text[i] != form[i])
            return std::nullopt;
    }
    const int fields[] = {digitsAt(text, 0, 4),  digitsAt(text, 5, 2),  digitsAt(text, 8, 2),
                          digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2),
                          digitsAt(text, 20, 3)};
    for (const int field : fields)
        if (field < 0)
            return std::nullopt;
    const QDate date(fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5], fields[6]);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    QDateTime moment(date, time);
    if (!moment.isValid())
        return std::nullopt;
    // Within an hour of a clock change a wall time may occur twice; Qt's parser settles which
    // one its own way, so such texts are left to it.
    const int offset = moment.offsetFromUtc();
    if (moment.addSecs(-3600).offsetFromUtc() != offset ||
        moment.addSecs(3600).offsetFromUtc() != offset)
        return std::nullopt;
    return moment;
}

} // namespace

QDateTime fromStorage(const QString& text) {
    if (std::optional<QDateTime> moment = readExactForm(text))
        return *moment;
    return QDateTime::fromString(text, QString::fromLatin1(kStorageFormat));
}

qint64 dayNumber(const QDateTime& moment) {
    return moment.date().toJulianDay();
}

qint64 daysBetween(const QDateTime& from, const QDateTime& to) {
    return dayNumber(to) - dayNumber(from);
}

QDateTime plusDays(const QDateTime& moment, qint64 days) {
    return localMoment(moment.date().addDays(days), moment.time());
}

QDateTime plusMonths(const QDateTime& moment, int months) {
    // QDate::addMonths already clamps to the last day of the month.
    return localMoment(moment.date().addMonths(months), moment.time());
}

} // namespace lms::Dates
