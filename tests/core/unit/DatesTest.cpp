#include "core/DateRules.h"

#include "QtPrinters.h"
#include "support/Moments.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace lms::Dates;

using lms::test::at;

TEST(DaysBetween, CountsWholeCalendarDays) {
    struct Case {
        QDateTime from;
        QDateTime to;
        qint64 expected;
    };
    const Case cases[] = {
        {at(2024, 1, 1, 23, 59), at(2024, 1, 2, 0, 1), 1},
        {at(2024, 1, 2, 0, 1), at(2024, 1, 1, 23, 59), -1},
        {at(2024, 1, 1, 0, 0), at(2024, 1, 1, 23, 59, 59, 999), 0},
        {at(2024, 1, 1, 23, 59, 59, 999), at(2024, 1, 1, 0, 0), 0},
        {at(2024, 1, 1, 8), at(2024, 1, 3, 7), 2},
        {at(2023, 12, 31, 12), at(2024, 1, 1, 12), 1},
        {at(2024, 2, 28), at(2024, 3, 1), 2},
        {at(2023, 2, 28), at(2023, 3, 1), 1},
        {at(2024, 1, 1), at(2025, 1, 1), 366},
        {at(2023, 1, 1), at(2024, 1, 1), 365},
        {at(2025, 1, 1), at(2024, 1, 1), -366},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((toStorage(c.from) + QStringLiteral(" -> ") + toStorage(c.to)).toStdString());
        EXPECT_EQ(daysBetween(c.from, c.to), c.expected);
    }
}

TEST(DayNumber, IgnoresTheTimeOfDayAndAdvancesByOnePerDay) {
    EXPECT_EQ(dayNumber(at(2024, 5, 6, 0, 0)), dayNumber(at(2024, 5, 6, 23, 59, 59, 999)));
    EXPECT_EQ(dayNumber(at(2024, 5, 7, 0, 0)), dayNumber(at(2024, 5, 6, 23, 59)) + 1);
}

TEST(PlusMonths, ClampsToTheMonthEndAndKeepsTheTime) {
    struct Case {
        QDateTime from;
        int months;
        QDateTime expected;
    };
    const Case cases[] = {
        {at(2024, 1, 31, 10, 30), 1, at(2024, 2, 29, 10, 30)},
        {at(2023, 1, 31), 1, at(2023, 2, 28)},
        {at(2024, 3, 31), 3, at(2024, 6, 30)},
        {at(2024, 12, 15), 1, at(2025, 1, 15)},
        {at(2024, 2, 29), 12, at(2025, 2, 28)},
        {at(2024, 2, 29), 48, at(2028, 2, 29)},
        {at(2024, 1, 30), 1, at(2024, 2, 29)},
        {at(2024, 8, 31), 1, at(2024, 9, 30)},
        {at(2024, 11, 30), 3, at(2025, 2, 28)},
        {at(2024, 3, 31), -1, at(2024, 2, 29)},
        {at(2024, 1, 15), -1, at(2023, 12, 15)},
        {at(2024, 5, 20, 23, 59, 59, 999), 0, at(2024, 5, 20, 23, 59, 59, 999)},
        {at(2024, 5, 31, 7, 8, 9, 123), 1, at(2024, 6, 30, 7, 8, 9, 123)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(
            (toStorage(c.from) + QStringLiteral(" + %1 months").arg(c.months)).toStdString());
        EXPECT_EQ(plusMonths(c.from, c.months), c.expected);
    }
}

TEST(PlusMonths, DoesNotCarryAClampedDayIntoLaterMonths) {
    // 31 January + 1 month is 29 February; adding another month from there gives 29 March,
    // while 31 January + 2 months gives 31 March.
    const QDateTime start = at(2024, 1, 31, 9, 0);
    EXPECT_EQ(plusMonths(plusMonths(start, 1), 1), at(2024, 3, 29, 9, 0));
    EXPECT_EQ(plusMonths(start, 2), at(2024, 3, 31, 9, 0));
}

TEST(PlusDays, MovesTheDateAndKeepsTheTime) {
    struct Case {
        QDateTime from;
        qint64 days;
        QDateTime expected;
    };
    const Case cases[] = {
        {at(2024, 2, 28, 23, 45), 1, at(2024, 2, 29, 23, 45)},
        {at(2024, 2, 28, 23, 45), 2, at(2024, 3, 1, 23, 45)},
        {at(2023, 2, 28, 8, 0), 1, at(2023, 3, 1, 8, 0)},
        {at(2024, 12, 31, 0, 0, 1), 1, at(2025, 1, 1, 0, 0, 1)},
        {at(2024, 3, 1, 12, 34, 56, 789), -1, at(2024, 2, 29, 12, 34, 56, 789)},
        {at(2024, 1, 1, 6), 366, at(2025, 1, 1, 6)},
        {at(2024, 1, 1, 6), 0, at(2024, 1, 1, 6)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((toStorage(c.from) + QStringLiteral(" + %1 days").arg(c.days)).toStdString());
        const QDateTime result = plusDays(c.from, c.days);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(daysBetween(c.from, result), c.days);
    }
}

TEST(Storage, WritesLocalTimeWithMilliseconds) {
    EXPECT_EQ(toStorage(at(2024, 3, 5, 7, 8, 9, 12)), QStringLiteral("2024-03-05 07:08:09.012"));
    EXPECT_EQ(toStorage(at(2024, 12, 31, 23, 59, 59, 999)),
              QStringLiteral("2024-12-31 23:59:59.999"));
    EXPECT_EQ(toStorage(at(2024, 1, 1)), QStringLiteral("2024-01-01 00:00:00.000"));
}

TEST(Storage, RoundTripsToTheMillisecond) {
    const QDateTime moments[] = {
        at(2024, 3, 5, 7, 8, 9, 12),   at(2024, 2, 29, 23, 59, 59, 999), at(2024, 1, 1),
        at(1999, 12, 31, 12, 0, 0, 1), at(2038, 1, 19, 3, 14, 8, 500),
    };
    for (const QDateTime& moment : moments) {
        const QString text = toStorage(moment);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(fromStorage(text), moment);
    }
}

TEST(Storage, UnreadableTextGivesAnInvalidMoment) {
    for (const char* text :
         {"", " ", "garbage", "2024-02-30 10:00:00.000", "2024-13-01 10:00:00.000",
          "2024-01-01 10:61:00.000", "2024-01-01 10:00:00.000 junk"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(fromStorage(QString::fromLatin1(text)).isValid());
    }
    EXPECT_TRUE(toStorage(QDateTime()).isEmpty());
}

TEST(Storage, ReadsEveryTextAsQtsFormatParserDoes) {
    // The exact form is read by position; anything else takes the general parser. Both must
    // agree on every text, near-misses of the form included.
    for (const char* text :
         {"2024-03-05 07:08:09.012", "0001-01-01 00:00:00.000", "9999-12-31 23:59:59.999",
          "2024-02-29 12:00:00.000", "2023-02-29 12:00:00.000", "2024-00-10 10:00:00.000",
          "2024-01-00 10:00:00.000", "2024-01-01 24:00:00.000", "2024-01-01 23:59:60.000",
          "2024-1-5 10:00:00.000", "2024-01-05 10:00:00", "2024/01/05 10:00:00.000",
          "2024-01-05T10:00:00.000", "2024-01-05 10:00:00.0001", "+024-01-05 10:00:00.000",
          "2024-01-05 1a:00:00.000", "２０２４-01-05 10:00:00.000", "2024-01-05 10:00:00,000"}) {
        SCOPED_TRACE(text);
        const QString value = QString::fromUtf8(text);
        const QDateTime general =
            QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        EXPECT_EQ(fromStorage(value), general);
        EXPECT_EQ(fromStorage(value).isValid(), general.isValid());
    }
}

TEST(Storage, TextsSortInTimeOrder) {
    // Listed in time order; single-digit fields would sort wrongly without zero padding.
    const std::vector<QDateTime> moments = {
        at(1999, 12, 31, 23, 59),
        at(2024, 1, 1, 9, 0),
        at(2024, 1, 1, 10, 0),
        at(2024, 1, 1, 10, 0, 0, 9),
        at(2024, 1, 1, 10, 0, 0, 10),
        at(2024, 1, 1, 10, 0, 0, 100),
        at(2024, 1, 1, 10, 0, 1),
        at(2024, 1, 1, 10, 9, 0),
        at(2024, 1, 1, 10, 10, 0),
        at(2024, 1, 2),
        at(2024, 1, 10),
        at(2024, 2, 1),
        at(2024, 9, 30, 23, 59, 59, 999),
        at(2024, 10, 1),
        at(2025, 1, 1),
    };
    QStringList texts;
    for (const QDateTime& moment : moments)
        texts << toStorage(moment);
    QStringList sorted = texts;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, texts);
}

} // namespace
