// The date rules over any storage text and any moment, in local time zones with and without
// summer time: storage text reads back as written, day counts invert day arithmetic, month
// arithmetic clamps into the right month, and a result is never an invalid date-time.
#include "Check.h"
#include "FuzzText.h"
#include "core/DateRules.h"

#include <QTimeZone>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using lms::fuzz::check;
namespace Dates = lms::Dates;

// Zones with summer time (Shanghai 1986-91, Berlin at 02:00, São Paulo at midnight until 2019)
// and one without; the local zone is the one the program runs in.
void useZone(unsigned char choice) {
    static const char* const zones[] = {"Asia/Shanghai", "Europe/Berlin", "America/Sao_Paulo",
                                        "UTC"};
    static std::string current;
    const std::string zone = zones[choice % 4];
    if (zone == current)
        return;
    setenv("TZ", zone.c_str(), 1);
    tzset();
    current = zone;
}

QString shown(const QDateTime& moment) {
    return moment.isValid()
               ? Dates::toStorage(moment) + QStringLiteral(" (UTC%1 s)").arg(moment.offsetFromUtc())
               : QStringLiteral("invalid");
}

bool storable(const QDate& date) {
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

// The local clock shows this time of day on that date (it is not skipped by summer time).
bool clockShows(const QDate& date, const QTime& time) {
    return QDateTime(date, time).isValid();
}

// A result of day or month arithmetic: on the expected date at the same time of day, unless
// the clock skipped that time; then the time the clock shows after the jump (at most three
// hours later, the next day where the jump crossed midnight).
void checkLandsOn(const QDateTime& result, const QDate& date, const QTime& time,
                  const char* property, const QString& context) {
    if (!storable(date))
        return;
    const QString shownResult = context + QStringLiteral(" -> ") + shown(result);
    check(result.isValid(), property, shownResult);
    if (clockShows(date, time)) {
        check(result.date() == date && result.time() == time, property, shownResult);
    } else {
        const QDateTime wanted(date, time, QTimeZone::utc());
        const QDateTime shownByClock(result.date(), result.time(), QTimeZone::utc());
        const qint64 later = wanted.secsTo(shownByClock);
        check(later > 0 && later <= 3 * 3600, property, shownResult);
    }
}

// Plus n months by hand: the month carried into the year, the day clamped to the month's end.
QDate monthsLater(const QDate& date, int months) {
    const qint64 index = qint64(date.year()) * 12 + (date.month() - 1) + months;
    const int year = static_cast<int>(index / 12);
    const int month = static_cast<int>(index % 12) + 1;
    if (date.year() < 1 || index < 12)
        return {}; // the calendar has no year 0: before year 1 lies outside what is stored
    const int lastDay = QDate(year, month, 1).daysInMonth();
    return QDate(year, month, std::min(date.day(), lastDay));
}

void checkStorageText(const QDateTime& moment) {
    if (!moment.isValid() || !storable(moment.date()))
        return;
    const QString text = Dates::toStorage(moment);
    const QDateTime back = Dates::fromStorage(text);
    const QString context = shown(moment) + QStringLiteral(" -> ") + text;
    check(text.size() == 23, "the storage text has the fixed width", context);
    check(back.isValid(), "the storage text is read back", context);
    check(back.date() == moment.date() && back.time() == moment.time(),
          "the storage text reads back as the same date and time", context);
    check(Dates::toStorage(back) == text, "the storage text is written again the same", context);
}

void checkArithmetic(const QDateTime& a, qint64 days, int months, qint64 moreDays) {
    if (!a.isValid())
        return;
    const QString context =
        shown(a) + QStringLiteral(" days %1 months %2 more %3").arg(days).arg(months).arg(moreDays);
    check(Dates::daysBetween(a, a) == 0, "a day is no days from itself", context);
    check(Dates::dayNumber(a) == Dates::dayNumber(QDateTime(a.date(), QTime(12, 0))),
          "the day number ignores the time of day", context);

    const QDate target = a.date().addDays(days);
    const QDateTime b = Dates::plusDays(a, days);
    checkLandsOn(b, target, a.time(), "plus days lands on that day at the same time", context);
    if (b.isValid() && clockShows(target, a.time())) {
        check(Dates::daysBetween(a, b) == days, "daysBetween counts what plusDays added", context);
        check(Dates::daysBetween(b, a) == -days, "daysBetween backwards is negative", context);
        const QDateTime c = Dates::plusDays(b, moreDays);
        if (c.isValid())
            check(c.date() == Dates::plusDays(a, days + moreDays).date(),
                  "plus days twice is plus their sum", context);
    }
    checkStorageText(b);

    const QDate monthTarget = monthsLater(a.date(), months);
    const QDateTime m = Dates::plusMonths(a, months);
    checkLandsOn(m, monthTarget, a.time(), "plus months clamps into the resulting month", context);
    if (m.isValid() && monthTarget.isValid() && clockShows(monthTarget, a.time()) && months >= 0 &&
        months <= 1200) {
        const qint64 span = Dates::daysBetween(a, m);
        check(span >= 28 * qint64(months) && span <= 31 * qint64(months),
              "plus months moves 28 to 31 days a month", context);
    }
    checkStorageText(m);
}

QDateTime structuredMoment(FuzzedDataProvider& data) {
    // Mostly the years a shop sees; sometimes the whole stored range.
    const qint64 first =
        data.ConsumeBool() ? QDate(1980, 1, 1).toJulianDay() : QDate(1, 1, 1).toJulianDay();
    const qint64 last = QDate(9999, 12, 31).toJulianDay();
    const QDate date = QDate::fromJulianDay(data.ConsumeIntegralInRange<qint64>(first, last));
    const int ms = data.ConsumeIntegralInRange<int>(0, 24 * 3600 * 1000 - 1);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(ms));
}

// A moment that day or month arithmetic takes to within three hours of one of the local clock's
// changes (where a time of day may be skipped or shown twice).
QDateTime nearClockChange(FuzzedDataProvider& data, qint64 days, int months) {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDate from = QDate::fromJulianDay(data.ConsumeIntegralInRange<qint64>(
        QDate(1900, 1, 1).toJulianDay(), QDate(2040, 1, 1).toJulianDay()));
    const QTimeZone::OffsetData change =
        zone.nextTransition(QDateTime(from, QTime(0, 0), QTimeZone::utc()));
    if (!change.atUtc.isValid())
        return structuredMoment(data);
    const int before = zone.offsetFromUtc(change.atUtc.addSecs(-1));
    const qint64 shift = before + data.ConsumeIntegralInRange<int>(-3 * 3600, 3 * 3600);
    const QDateTime wall = change.atUtc.addSecs(shift); // the local clock, written as UTC
    const QDate date =
        data.ConsumeBool() ? wall.date().addDays(-days) : wall.date().addMonths(-months);
    return QDateTime(date, wall.time());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    useZone(data.ConsumeIntegral<unsigned char>());
    const qint64 days = data.ConsumeBool() ? data.ConsumeIntegralInRange<qint64>(-400, 400)
                                           : data.ConsumeIntegralInRange<qint64>(-4000000, 4000000);
    const int months = data.ConsumeBool() ? data.ConsumeIntegralInRange<int>(-24, 24)
                                          : data.ConsumeIntegralInRange<int>(-130000, 130000);
    const qint64 moreDays = data.ConsumeIntegralInRange<qint64>(-1000, 1000);

    const int how = data.ConsumeIntegralInRange<int>(0, 2);
    if (how < 2) {
        const QDateTime a = how == 0 ? structuredMoment(data) : nearClockChange(data, days, months);
        checkStorageText(a);
        checkArithmetic(a, days, months, moreDays);
    } else {
        // Any text read as storage text: unreadable gives invalid, readable behaves.
        const QString text = lms::fuzz::remainingText(data);
        const QDateTime a = Dates::fromStorage(text);
        const QDateTime general =
            QDateTime::fromString(text, QString::fromLatin1(Dates::kStorageFormat));
        check(a.isValid() == general.isValid() && (!a.isValid() || a == general),
              "fromStorage reads every text as Qt's format parser does", lms::fuzz::units(text));
        check(a.isValid() || Dates::toStorage(a).isEmpty(), "an invalid moment is stored empty",
              lms::fuzz::units(text));
        if (a.isValid() && clockShows(a.date(), a.time()))
            checkStorageText(a);
        checkArithmetic(a, days, months, moreDays);
    }
    return 0;
}
