// The idle-time extension every reader screen applies, the validity a screen shows, and the terms
// of each reader type.
#include "readers/IdleExtension.h"
#include "core/pubdata.h"
#include "core/unit/QtPrinters.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderRecord.h"
#include "readers/ReaderTerms.h"
#include "support/Moments.h"

#include <gtest/gtest.h>

namespace lms::Readers {
namespace {

using lms::test::at;

TEST(IdleExtension, AppliesOnlyWithNothingOutAndInTheRestingStates) {
    struct Case {
        int state, booksOut;
        bool autoExtend, extends;
    };
    const Case cases[] = {
        {NormalUse, 0, false, false},
        {NormalUse, 0, true, true},
        {AutoExtended, 0, false, true},
        {AutoExtended, 0, true, true},
        {Suspended, 0, false, true},
        {Suspended, 0, true, true},
        {LostStopped, 0, false, false},
        {LostStopped, 0, true, true},
        {AutoExtended, 1, true, false},
        {Suspended, 2, false, false},
        {NormalUse, -1, true, false},
        {-1, 0, true, false},
        {4, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "state " << c.state << " out " << c.booksOut << " auto " << c.autoExtend);
        EXPECT_EQ(extendsWhileIdle(c.state, c.booksOut, c.autoExtend), c.extends);
    }
}

TEST(IdleExtension, AdvancesByWholeCalendarDaysKeepingTheTimeOfDay) {
    struct Case {
        QDateTime validity, since, now, shown;
        qint64 days;
    };
    const Case cases[] = {
        // Set at 18:00, looked up at 09:00 ten calendar days later: ten days, not nine.
        {at(2026, 3, 31, 14, 0), at(2026, 3, 1, 18, 0), at(2026, 3, 11, 9, 0),
         at(2026, 4, 10, 14, 0), 10},
        {at(2026, 3, 10), at(2026, 3, 1), at(2026, 3, 20, 12, 0), at(2026, 3, 29), 19},
        {at(2026, 3, 10, 8, 0), at(2026, 3, 14, 1, 0), at(2026, 3, 14, 23, 0),
         at(2026, 3, 10, 8, 0), 0},
        {at(2024, 2, 1), at(2024, 2, 1), at(2024, 3, 1), at(2024, 3, 1), 29},
    };
    for (const Case& c : cases) {
        const ShownValidity shown =
            withIdleExtension(c.validity, Suspended, 0, c.since, false, c.now);
        EXPECT_EQ(shown.validity, c.shown);
        EXPECT_EQ(shown.idleDays, c.days);
        EXPECT_EQ(shown.holdsExtension(), c.days != 0);
    }
}

TEST(IdleExtension, OutsideTheRuleTheStoredValidityIsShownAsItIs) {
    const ShownValidity shown =
        withIdleExtension(at(2026, 3, 10), NormalUse, 0, at(2026, 1, 1), false, at(2026, 3, 20));
    EXPECT_EQ(shown.validity, at(2026, 3, 10));
    EXPECT_FALSE(shown.holdsExtension());
}

TEST(IdleExtension, APayPerDayReaderIsShownNowWithoutIdleDays) {
    ReaderRecord reader;
    reader.type = types().at(Daily);
    reader.validity = at(2026, 3, 31, 14, 0);
    reader.state = states().at(Suspended);
    reader.stateSince = at(2026, 3, 1, 18, 0);
    const QDateTime now = at(2026, 3, 11, 9, 0);
    const ShownValidity daily = reader.validityOnScreen(false, now);
    EXPECT_EQ(daily.validity, now);
    EXPECT_FALSE(daily.holdsExtension());
    reader.type = types().at(Monthly);
    const ShownValidity monthly = reader.validityOnScreen(false, now);
    EXPECT_EQ(monthly.validity, at(2026, 4, 10, 14, 0));
    EXPECT_EQ(monthly.idleDays, 10);
}

TEST(ReaderTerms, EachTypeTakesItsOwnSettingsAndPeriod) {
    PubData pub = PubData::defaultSettings();
    pub.QuarterlyRent = 81, pub.YearlyDeposit = 152, pub.DailyOpeningFee = 3;
    pub.DailyRent = 0.5f;
    const TypeTerms monthly = termsOf(Monthly, pub);
    EXPECT_EQ(monthly.months, 1);
    EXPECT_EQ(monthly.rent, 30.0f);
    EXPECT_EQ(termsOf(Quarterly, pub).rent, 81.0f);
    EXPECT_EQ(termsOf(Quarterly, pub).months, 3);
    EXPECT_EQ(termsOf(Yearly, pub).deposit, 152.0f);
    EXPECT_EQ(termsOf(Yearly, pub).maxBooks, 8);
    EXPECT_EQ(termsOf(Yearly, pub).months, 12);
    const TypeTerms daily = termsOf(Daily, pub);
    EXPECT_EQ(daily.rent, 0.0f) << "the per-day rent is charged on return";
    EXPECT_EQ(daily.openingFee, 3.0f);
    EXPECT_EQ(daily.maxDays, 15);
    EXPECT_EQ(daily.months, 0);
    EXPECT_EQ(termsOf(7, pub).maxBooks, 0);
}

TEST(ReaderTerms, APeriodEndsMonthsLaterOnTheLastDayWhereTheDayIsMissing) {
    const PubData pub = PubData::defaultSettings();
    EXPECT_EQ(periodEnd(termsOf(Monthly, pub), at(2026, 1, 31, 15, 20)), at(2026, 2, 28, 15, 20));
    EXPECT_EQ(periodEnd(termsOf(Monthly, pub), at(2028, 1, 31, 15, 20)), at(2028, 2, 29, 15, 20));
    EXPECT_EQ(periodEnd(termsOf(Quarterly, pub), at(2026, 11, 30)), at(2027, 2, 28));
    EXPECT_EQ(periodEnd(termsOf(Yearly, pub), at(2028, 2, 29)), at(2029, 2, 28));
    EXPECT_EQ(periodEnd(termsOf(Daily, pub), at(2026, 5, 5, 5, 5)), at(2026, 5, 5, 5, 5));
}

} // namespace
} // namespace lms::Readers
