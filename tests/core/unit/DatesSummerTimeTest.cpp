// Day and month arithmetic where the local clock has summer time: a result whose time of day the
// clock skips is the time it shows after the jump, never an invalid date-time (which would be
// stored as an empty text).
#include "core/DateRules.h"

#include "QtPrinters.h"
#include "support/Moments.h"
#include "support/ZoneSwitch.h"

#include <gtest/gtest.h>

namespace {

using namespace lms::Dates;

using lms::test::at;

// Runs each case in Berlin time: on 28 March 2021 the clock went from 02:00 to 03:00, and on
// 31 October 2021 from 03:00 back to 02:00.
class BerlinClock : public ::testing::Test {
protected:
    void SetUp() override {
        if (at(2021, 3, 28, 2, 30).isValid())
            GTEST_SKIP() << "no time zone data for Europe/Berlin on this machine";
    }

private:
    lms::test::ZoneSwitch zone_{"Europe/Berlin"};
};

struct Case {
    const char* what;
    QDateTime result;
    const char* stored;
};

TEST_F(BerlinClock, ATimeTheClockSkipsBecomesTheTimeItShowsAfterTheJump) {
    const Case cases[] = {
        {"a day later into the gap", plusDays(at(2021, 3, 27, 2, 30), 1),
         "2021-03-28 03:30:00.000"},
        {"a day earlier into the gap", plusDays(at(2021, 3, 29, 2, 15, 10, 5), -1),
         "2021-03-28 03:15:10.005"},
        {"a loan's fortnight into the gap", plusDays(at(2021, 3, 14, 2, 0), 14),
         "2021-03-28 03:00:00.000"},
        {"a month later into the gap", plusMonths(at(2021, 2, 28, 2, 0), 1),
         "2021-03-28 03:00:00.000"},
        {"a year later into the gap", plusMonths(at(2020, 3, 28, 2, 59, 59, 999), 12),
         "2021-03-28 03:59:59.999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.result.isValid());
        EXPECT_EQ(toStorage(c.result), QString::fromLatin1(c.stored));
    }
    const QDateTime before = at(2021, 3, 27, 2, 30);
    EXPECT_EQ(daysBetween(before, plusDays(before, 1)), 1);
}

TEST_F(BerlinClock, TimesTheClockShowsKeepTheirTimeOfDay) {
    const Case cases[] = {
        {"just before the gap", plusDays(at(2021, 3, 27, 1, 59, 59, 999), 1),
         "2021-03-28 01:59:59.999"},
        {"just after the gap", plusDays(at(2021, 3, 27, 3, 0), 1), "2021-03-28 03:00:00.000"},
        {"the hour shown twice", plusDays(at(2021, 10, 30, 2, 30), 1), "2021-10-31 02:30:00.000"},
        {"a month clamped beside the gap", plusMonths(at(2021, 1, 31, 2, 30), 2),
         "2021-03-31 02:30:00.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(toStorage(c.result), QString::fromLatin1(c.stored));
    }
}

TEST_F(BerlinClock, StoredTextsAroundTheClockChangesReadAsQtsParserReadsThem) {
    // 02:30 on 31 October 2021 happened twice; the hours around both changes.
    for (const char* text :
         {"2021-10-31 02:30:00.000", "2021-10-31 01:59:59.999", "2021-10-31 03:00:00.000",
          "2021-03-28 01:30:00.000", "2021-03-28 03:30:00.000", "2021-07-01 12:00:00.000"}) {
        SCOPED_TRACE(text);
        const QString value = QString::fromLatin1(text);
        const QDateTime general =
            QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        ASSERT_TRUE(general.isValid());
        EXPECT_EQ(fromStorage(value), general);
        EXPECT_EQ(fromStorage(value).offsetFromUtc(), general.offsetFromUtc());
    }
}

} // namespace
