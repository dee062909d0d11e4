// What a loan, a return and a payment store beyond their money: the reader they act on, the
// texts they keep whole, the dates they refuse to store, and what the panel shows after a
// committed operation whose reader cannot be read back.
#include "circulation/db/CirculationFixture.h"
#include "core/Messages.h"
#include "support/DatabaseDump.h"

namespace lms::test {
namespace {

class CommittedState : public CirculationTest {
protected:
    CommittedState() { shop.pub.ExpiryReminderDays = 0; }

    Tfrm_TZJBook borrowing{ctx};
    Tfrm_TZHBook returning{ctx, borrowing};
    Tfrm_JNZC payment{ctx};
};

const QString kReaderRead = QStringLiteral("SELECT 读者编号, 读者类型");

TEST_F(CommittedState, ABookWithoutALendCountCountsItsFirstLoan) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"), {{QStringLiteral("借阅次数"), QVariant()}});
    lendThroughScreen(borrowing, QStringLiteral("R001"), QStringLiteral("B001"));
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("借阅次数")).toInt(), 1);
}

// The payment screen takes a remark of any length; lending and taking back keep it whole.
TEST_F(CommittedState, ALongStoredRemarkIsKeptWholeByLoansAndReturns) {
    const QString remark = QString(200, QChar(u'备'));
    addReader(QStringLiteral("R001"), {{QStringLiteral("备注"), remark}});
    addBook(QStringLiteral("B001"), {{QStringLiteral("备注"), remark}});
    lendThroughScreen(borrowing, QStringLiteral("R001"), QStringLiteral("B001"));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("备注")).toString(), remark);
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("备注")).toString(), remark);
    bringBack(returning, QStringLiteral("B001"));
    returning.Button1Click();
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("备注")).toString(), remark);
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("备注")).toString(), remark);
}

// The loan's reader cannot be read: no reader is accepted, so no earlier reader's name, remark
// or validity can reach the return.
TEST_F(CommittedState, AnUnreadableReaderOfALoanLeavesNoReaderAccepted) {
    addReader(QStringLiteral("R00A"), {{QStringLiteral("读者姓名"), QStringLiteral("A")}});
    addReader(QStringLiteral("R00B"), {{QStringLiteral("读者姓名"), QStringLiteral("B")}});
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B002"));
    lendThroughScreen(borrowing, QStringLiteral("R00A"), QStringLiteral("B001"));
    lendThroughScreen(borrowing, QStringLiteral("R00B"), QStringLiteral("B002"));
    bringBack(returning, QStringLiteral("B001"));
    ASSERT_TRUE(returning.readerOk());
    prompter.clear();
    {
        FailingStatements fail(shop.dm->db(), kReaderRead);
        returning.field(QStringLiteral("tsID")).type(QStringLiteral("B002"));
    }
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_FALSE(returning.readerOk());
    EXPECT_FALSE(returning.field(QStringLiteral("Button1")).isEnabled());
    EXPECT_NE(value(returning, "tzxm"), QStringLiteral("A"));
    prompter.clear();
    returning.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("请先在读者编号输入框中输入读者编号！"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 2);
    EXPECT_EQ(shop.count(QStringLiteral("图书借阅历史记录")), 0);
}

// A committed loan or return stays reported as done when the panel cannot read the reader back.
TEST_F(CommittedState, AFailedRefreshAfterACommitIsNoFailureOfTheOperation) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    borrowing.FormShow();
    borrowing.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    borrowing.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
    prompter.clear();
    {
        FailingStatements fail(shop.dm->db(), kReaderRead, QStringLiteral("COMMIT"));
        borrowing.Button1Click();
    }
    EXPECT_EQ(prompter.single(), QStringLiteral("图书借出成功!"));
    EXPECT_EQ(loansOf(QStringLiteral("R001")), 1);
    EXPECT_FALSE(borrowing.readerOk());
    EXPECT_EQ(value(borrowing, "tzxm"), QString());

    bringBack(returning, QStringLiteral("B001"));
    prompter.clear();
    {
        FailingStatements fail(shop.dm->db(), kReaderRead, QStringLiteral("COMMIT"));
        returning.Button1Click();
    }
    EXPECT_EQ(prompter.single(), QStringLiteral("图书归还成功!"));
    EXPECT_EQ(loansOf(QStringLiteral("R001")), 0);
    EXPECT_FALSE(returning.readerOk());
}

// No operation stores a date past the year 9999, which could never be read back: a loan period,
// a validity extended over idle time or renewed by a payment.
TEST_F(CommittedState, DatesPastTheLastStorableDayAreRefusedAndNothingIsStored) {
    const QString kRefused = Messages::dateOutOfRange();
    addReader(QStringLiteral("R001"), {{QStringLiteral("最长持有图书天数"), 3000000}});
    addReader(QStringLiteral("R002"),
              {{QStringLiteral("借阅有效期"), QStringLiteral("9999-12-20 10:00:00.000")},
               {QStringLiteral("当前状态"), QStringLiteral("自动延期")}});
    addBook(QStringLiteral("B001"));
    clock.set(at(2026, 3, 1, 10, 0));
    for (const char* reader : {"R001", "R002"}) {
        SCOPED_TRACE(reader);
        const DatabaseDump before = dumpDatabase(shop.dm->db());
        prompter.clear();
        lendThroughScreen(borrowing, QString::fromLatin1(reader), QStringLiteral("B001"));
        EXPECT_EQ(prompter.lastText(), kRefused);
        EXPECT_EQ(dumpDatabase(shop.dm->db()), before);
    }
    // A month more on a validity of December 9999.
    Query(shop.dm->db(), QStringLiteral("UPDATE 读者 SET 当前状态 = '正常使用'")).exec();
    payment.FormShow();
    payment.field(QStringLiteral("ID")).type(QStringLiteral("R002"));
    const DatabaseDump before = dumpDatabase(shop.dm->db());
    prompter.clear();
    payment.Button2Click();
    EXPECT_EQ(prompter.lastText(), kRefused);
    EXPECT_EQ(dumpDatabase(shop.dm->db()), before);
    // A loan period typed on the payment screen cannot reach past the storable range.
    EXPECT_EQ(payment.field(QStringLiteral("tssj")).maximum(), Dates::kLongestDaySpan);
}

} // namespace
} // namespace lms::test
