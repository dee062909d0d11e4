// The charges of a return worked out from dates, settings and the amounts the clerk leaves.
#include "circulation/ReturnCharges.h"
#include "support/Moments.h"

#include <gtest/gtest.h>

namespace lms::Circulation {
namespace {

using lms::test::at;

TEST(OverdueFine, CountsCalendarDaysAndNeverBelowZero) {
    const QDateTime due = at(2026, 3, 31, 15, 20);
    EXPECT_EQ(overdueDays(due, at(2026, 4, 2, 9, 0)), 2);
    EXPECT_EQ(overdueDays(due, at(2026, 3, 31, 23, 0)), 0);
    EXPECT_EQ(overdueDays(due, at(2026, 3, 1)), 0);
    EXPECT_EQ(overdueFine(0, 0.5f), QStringLiteral("0"));
    EXPECT_EQ(overdueFine(2, 0.5f), QStringLiteral("1"));
    EXPECT_EQ(overdueFine(3, 1.5f), QStringLiteral("4.5"));
    EXPECT_EQ(overdueFine(2, 0.3f), QStringLiteral("0.600000023841858"));
}

TEST(DailyRent, ChargesAtLeastOneDay) {
    EXPECT_EQ(dailyRent(at(2026, 3, 1, 23, 50), at(2026, 3, 2, 0, 10), 0.5f),
              QStringLiteral("0.5"));
    EXPECT_EQ(dailyRent(at(2026, 3, 1, 8, 0), at(2026, 3, 1, 20, 0), 0.5f), QStringLiteral("0.5"));
    EXPECT_EQ(dailyRent(at(2026, 3, 1, 8, 0), at(2026, 3, 11, 7, 0), 0.5f), QStringLiteral("5"));
    EXPECT_EQ(dailyRent(at(2026, 3, 5), at(2026, 3, 1), 2.0f), QStringLiteral("2"))
        << "a loan date in the future still costs one day";
}

TEST(Compensation, IsAShareOfThePriceInTwoDecimals) {
    EXPECT_EQ(compensation(QStringLiteral("25.5"), 0.8f), QStringLiteral("20.40"));
    EXPECT_EQ(compensation(QStringLiteral(" 10 "), 1.0f), QStringLiteral("10.00"));
    for (const char* price : {"二十", "", "1e400", "12,5"})
        EXPECT_EQ(compensation(QString::fromUtf8(price), 0.8f), QStringLiteral("0.00")) << price;
}

TEST(ReturnAmounts, AddThePartsThatCountOrRefuseTextThatIsNoNumber) {
    auto total = [](const char* fine, const char* rent, const char* comp, bool damaged) {
        const auto amounts = returnAmounts(QString::fromUtf8(fine), QString::fromUtf8(rent),
                                           QString::fromUtf8(comp), damaged);
        return amounts ? amounts->total : -1.0;
    };
    EXPECT_DOUBLE_EQ(total("1", "0.5", "20.40", true), 21.9);
    EXPECT_DOUBLE_EQ(total("1", "0.5", "20.40", false), 1.5);
    EXPECT_DOUBLE_EQ(total("3", "0", "abc", false), 3.0) << "compensation ignored unless ticked";
    EXPECT_DOUBLE_EQ(total("0.125", "0", "0", false), 0.13) << "the total as shown";
    for (const char* bad : {"abc", "-", "", "1e400", "3e38x"})
        EXPECT_EQ(total(bad, "0", "0", false), -1.0) << bad;
    EXPECT_EQ(total("3e38", "3e38", "0", false), -1.0) << "a sum past what an amount holds";
    EXPECT_EQ(total("0", "0", "-", true), -1.0);
}

} // namespace
} // namespace lms::Circulation
