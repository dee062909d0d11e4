// The payment proposed for each reader type.
#include "circulation/PaymentProposal.h"

#include "core/pubdata.h"
#include "support/Moments.h"

#include <gtest/gtest.h>

namespace lms::Circulation {
namespace {

using lms::test::at;

class Proposal : public ::testing::Test {
protected:
    PubData pub = PubData::defaultSettings();
    PaymentBasis basis{QStringLiteral("包月"), 80.0f, 2, 20, at(2026, 5, 31, 10, 0)};
    QDateTime now = at(2026, 3, 14, 10, 30);
};

TEST_F(Proposal, EachTimeBasedTypeRenewsFromTheOldValidity) {
    struct Case {
        int type;
        const char* text;
        const char* rent;
        const char* total;
        QDateTime validity;
        int books;
    };
    for (const Case& c : {Case{0, "包月", "30", "50", at(2026, 6, 30, 10, 0), 2},
                          Case{1, "包季度", "80", "100", at(2026, 8, 31, 10, 0), 5},
                          Case{2, "包年", "300", "320", at(2027, 5, 31, 10, 0), 8}}) {
        const PaymentProposal p =
            proposePayment(c.type, QString::fromUtf8(c.text), basis, pub, now);
        EXPECT_TRUE(p.periodic);
        EXPECT_EQ(p.depositChange, QStringLiteral("20"));
        EXPECT_EQ(p.rent, QString::fromLatin1(c.rent));
        EXPECT_EQ(p.total, QString::fromLatin1(c.total));
        EXPECT_EQ(p.newValidity, c.validity) << c.text;
        EXPECT_EQ(p.maxBooks, c.books) << "own limits in the own type, the type's otherwise";
    }
}

TEST_F(Proposal, PayPerDayHasNoRentAndNoValidity) {
    const PaymentProposal p = proposePayment(3, QStringLiteral("按日租借"), basis, pub, now);
    EXPECT_FALSE(p.periodic);
    EXPECT_EQ(p.rent, QStringLiteral("0"));
    EXPECT_EQ(p.total, QStringLiteral("20"));
    EXPECT_EQ(p.newValidity, now);
    EXPECT_EQ(p.maxBooks, 3);
    EXPECT_EQ(p.maxDays, 15);
}

TEST_F(Proposal, AFormerPayPerDayReaderStartsFromNow) {
    basis.oldType = QStringLiteral("按日租借");
    const PaymentProposal p = proposePayment(0, QStringLiteral("包月"), basis, pub, now);
    EXPECT_EQ(p.newValidity, at(2026, 4, 14, 10, 30));
}

TEST_F(Proposal, SingleAmountsShowWidened) {
    basis.oldDeposit = 0.3f;
    pub.MonthlyDeposit = 0.0f;
    pub.MonthlyRent = 0.0f;
    const PaymentProposal p = proposePayment(0, QStringLiteral("包月"), basis, pub, now);
    EXPECT_EQ(p.depositChange, QStringLiteral("-0.300000011920929"));
}

} // namespace
} // namespace lms::Circulation
