// Sums in whole cents: an amount counts as the listings show it, whatever its double.
#include "core/CentSum.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

TEST(CentSum, AnAmountCountsAsItsTwoDecimalFormShowsIt) {
    struct Case {
        double amount;
        qint64 shown;   // cents of the two-decimal form
        qint64 nearest; // cents of the nearest whole cent of the double
    };
    const Case cases[] = {
        {1.005, 101, 100}, // a hair below 1.005 as a double, shown as 1.01
        {-1.005, -101, -100},
        {0.125, 13, 13},
        {static_cast<double>(0.1f), 10, 10}, // 0.100000001490116
        {static_cast<double>(0.3f), 30, 30},
        {12345678.9, 1234567890, 1234567890},
        {-0.004, 0, 0},
    };
    for (const Case& c : cases) {
        CentSum shown;
        shown.addShown(c.amount);
        EXPECT_EQ(shown.cents(), c.shown) << c.amount;
        CentSum nearest;
        nearest.add(c.amount);
        EXPECT_EQ(nearest.cents(), c.nearest) << c.amount;
    }
}

TEST(CentSum, SumsAddUpAndPrintExactly) {
    CentSum a;
    a.addShown(0.1);
    a.addShown(0.2);
    CentSum b;
    b.add(-1000000000.25);
    b.add(a);
    EXPECT_EQ(a.text(), QStringLiteral("0.30"));
    EXPECT_EQ(b.cents(), -99999999995);
    EXPECT_EQ(b.text(), QStringLiteral("-999999999.95"));
}

} // namespace
} // namespace lms
