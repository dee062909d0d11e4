// Two desks on one shop: what the second desk looked up may be changed by the first before the
// second presses its button. Each race ends with one stored operation and the other desk told
// why it was refused; nothing is lent, registered or deleted twice, nor a renewal taken back.
// On a server, a second writer waits for the first one's transaction.
#include "support/TwoDesks.h"
#include "books/BookMessages.h"
#include "books/Tfrm_SCBook.h"
#include "circulation/LoanStore.h"
#include "circulation/db/CirculationFixture.h"
#include "readers/ReaderMessages.h"
#include "readers/Tfrm_TJReader.h"
#include "support/ServerDatabase.h"

#include <QDeadlineTimer>
#include <QThread>
#include <functional>
#include <future>

namespace lms::test {
namespace {

class TwoDesks : public CirculationTest {
protected:
    TwoDesks() {
        addReader(QStringLiteral("R001"),
                  {{QStringLiteral("押金"), 80.0},
                   {QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 5, 15, 10, 0))}});
        addReader(QStringLiteral("R002"));
        addBook(QStringLiteral("B001"));
    }
    // A lending screen with the reader and the book looked up, not yet lent.
    static void lookUpLoan(Tfrm_TZJBook& screen, const QString& reader, const QString& book) {
        screen.FormShow();
        screen.tzID.type(reader);
        screen.tsID.type(book);
        ASSERT_TRUE(screen.Button1.isEnabled());
    }
    qint64 rowsWhere(const QString& table, const QString& column, const QString& value) {
        return shop.dm->db()
            .scalar(
                QStringLiteral("SELECT count(*) FROM \"%1\" WHERE \"%2\" = ?").arg(table, column),
                {value})
            .toLongLong();
    }

    OtherDesk other{shop};
    Meanwhile meanwhile{shop.dm->db()};
};

TEST_F(TwoDesks, ABookLentAtTheOtherDeskMeanwhileIsRefusedWithItsState) {
    Tfrm_TZJBook mine(ctx);
    lookUpLoan(mine, QStringLiteral("R001"), QStringLiteral("B001"));
    Tfrm_TZJBook theirs(other.ctx);
    meanwhile([&] { lendThroughScreen(theirs, QStringLiteral("R002"), QStringLiteral("B001")); });
    mine.Button1Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("图书编号为：B001的图书当前状态为：已借出 "
                                                      "不能再租借！\r\r请输入新的图书编号。"));
    EXPECT_EQ(
        rowsWhere(QStringLiteral("借出图书"), QStringLiteral("图书编号"), QStringLiteral("B001")),
        1);
    EXPECT_EQ(loansOf(QStringLiteral("R002")), 1);
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("未还数量")).toInt(), 0);
    EXPECT_EQ(rowsWhere(QStringLiteral("日志"), QStringLiteral("事件"), QStringLiteral("读者借书")),
              1);
}

TEST_F(TwoDesks, AReaderIdRegisteredAtTheOtherDeskMeanwhileIsRefused) {
    Tfrm_TJReader mine(ctx);
    Tfrm_TJReader theirs(other.ctx);
    for (Tfrm_TJReader* screen : {&mine, &theirs}) {
        screen->FormShow();
        screen->ID.type(QStringLiteral("R009"));
        screen->xm.type(QStringLiteral("王五"));
    }
    meanwhile([&] { theirs.Button1Click(); });
    mine.Button1Click();
    EXPECT_EQ(other.prompter.texts().last(), QStringLiteral("添加读者成功!"));
    EXPECT_EQ(prompter.texts().last(), Readers::alreadyExistsMessage(QStringLiteral("R009")));
    EXPECT_EQ(rowsWhere(QStringLiteral("读者"), QStringLiteral("读者编号"), QStringLiteral("R009")),
              1);
    EXPECT_EQ(rowsWhere(QStringLiteral("资金"), QStringLiteral("事件"), QStringLiteral("添加读者")),
              1);
}

// A return and a renewal of the same reader, in both orders: the deposit takes both, the
// renewal's validity stays, both ledger records are there.
TEST_F(TwoDesks, APaymentAndAReturnOfTheSameReaderBothCount) {
    for (const bool paymentFirst : {true, false}) {
        SCOPED_TRACE(paymentFirst ? "payment first" : "return first");
        Tfrm_TZJBook lending(ctx);
        lendThroughScreen(lending, QStringLiteral("R001"), QStringLiteral("B001"));
        Tfrm_JNZC payment(ctx);
        payment.FormShow();
        payment.ID.type(QStringLiteral("R001"));
        Tfrm_TZJBook theirLending(other.ctx);
        Tfrm_TZHBook giving(other.ctx, theirLending);
        bringBack(giving, QStringLiteral("B001"));
        if (paymentFirst) {
            payment.Button2Click();
            giving.Button1Click();
        } else {
            meanwhile([&] { giving.Button1Click(); });
            payment.Button2Click();
        }
        EXPECT_EQ(prompter.texts().last(), QStringLiteral("读者缴费充值成功!"));
        EXPECT_EQ(loansOf(QStringLiteral("R001")), 0);
        EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("未还数量")).toInt(), 0);
        EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("押金")).toDouble(), 100.0);
        EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("借阅有效期")),
                  at(2026, 6, 15, 10, 0));
        EXPECT_EQ(lastRow(QStringLiteral("资金"))[QStringLiteral("事件")].toString(),
                  paymentFirst ? QStringLiteral("读者还书") : QStringLiteral("缴费充值"));
        // The next round renews from the stored validity again.
        Query(shop.dm->db(), QStringLiteral("UPDATE 读者 SET 押金 = 80, 借阅有效期 = ?"))
            .bind(1, Dates::toStorage(at(2026, 5, 15, 10, 0)))
            .exec();
    }
    EXPECT_EQ(rowsWhere(QStringLiteral("资金"), QStringLiteral("事件"), QStringLiteral("缴费充值")),
              2);
}

// Two renewals reckoned from the same validity would pay twice for one period: the second desk
// is told to look the reader up again.
TEST_F(TwoDesks, ASecondRenewalFromTheSameLookupIsRefused) {
    Tfrm_JNZC mine(ctx);
    Tfrm_JNZC theirs(other.ctx);
    for (Tfrm_JNZC* screen : {&mine, &theirs}) {
        screen->FormShow();
        screen->ID.type(QStringLiteral("R001"));
    }
    meanwhile([&] { theirs.Button2Click(); });
    mine.Button2Click();
    EXPECT_EQ(prompter.texts().last(), Readers::changedElsewhereMessage(QStringLiteral("R001")));
    EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("借阅有效期")),
              at(2026, 6, 15, 10, 0));
    EXPECT_EQ(rowsWhere(QStringLiteral("资金"), QStringLiteral("事件"), QStringLiteral("缴费充值")),
              1);
}

TEST_F(TwoDesks, ABookLentMeanwhileIsNotDeletedAndADeletedOneNotLent) {
    Tfrm_SCBook deletion(ctx);
    deletion.FormShow();
    deletion.tsID.type(QStringLiteral("B001"));
    ASSERT_TRUE(deletion.Button1.isEnabled());
    Tfrm_TZJBook theirs(other.ctx);
    meanwhile([&] { lendThroughScreen(theirs, QStringLiteral("R002"), QStringLiteral("B001")); });
    deletion.Button1Click();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("图书编号为：B001的图书当前状态为：已借出 不能删除！\r\r"
                             "请先归还图书之后再删除！"));
    EXPECT_EQ(loansOf(QStringLiteral("R002")), 1);
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 1);

    addBook(QStringLiteral("B002"));
    Tfrm_TZJBook lending(other.ctx);
    lookUpLoan(lending, QStringLiteral("R001"), QStringLiteral("B002"));
    deletion.FormShow();
    deletion.tsID.type(QStringLiteral("B002"));
    deletion.Button1Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("删除图书成功!"));
    lending.Button1Click();
    EXPECT_EQ(other.prompter.texts().last(), Books::notFoundMessage(QStringLiteral("B002")));
    EXPECT_EQ(loansOf(QStringLiteral("R001")), 0);
}

// On a server the second writer waits while the first holds its transaction, then sees what
// the first committed.
TEST_F(TwoDesks, OnAServerTheSecondWriterWaitsForTheFirst) {
    if (!shop.server)
        GTEST_SKIP() << "the file engine's second writer waits for the file lock";
    Database& mine = shop.dm->db();
    Transaction transaction(mine);
    Query(mine, QStringLiteral("UPDATE 图书 SET 当前状态 = '已借出' WHERE 图书编号 = 'B001'"))
        .exec();
    std::future<Circulation::LendOutcome> theirs = std::async(std::launch::async, [this] {
        Circulation::Lending lending;
        lending.readerId = QStringLiteral("R002");
        lending.loanDays = 30;
        lending.bookId = QStringLiteral("B001");
        lending.user = QStringLiteral("clerk");
        lending.now = other.clock.now();
        return Circulation::lend(other.dm, lending);
    });
    const QDeadlineTimer deadline(10000);
    while (mine.scalar(QStringLiteral("SELECT count(*) FROM pg_locks WHERE locktype = "
                                      "'advisory' AND NOT granted"))
                   .toInt() == 0 &&
           !deadline.hasExpired())
        QThread::msleep(5);
    ASSERT_FALSE(deadline.hasExpired()) << "the second writer never waited";
    ASSERT_EQ(theirs.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    transaction.commit();
    EXPECT_EQ(theirs.get(), Circulation::LendOutcome::BookNotOnShelf);
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
}

} // namespace
} // namespace lms::test
