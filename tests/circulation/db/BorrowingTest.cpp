// Lending a book: the reader's and the book's checks, the questions, what one loan stores, and
// that a loan is stored whole or not at all.
#include "circulation/db/CirculationFixture.h"

namespace lms::test {
namespace {

using Icon = Prompter::Icon;

class Borrowing : public CirculationTest {
protected:
    Tfrm_TZJBook screen{ctx};
};

TEST_F(Borrowing, AnIdleReaderIsShownAndStoredWithTheIdleDays) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("当前状态"), QStringLiteral("自动延期")},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 10, 9, 0))},
               {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 3, 1, 18, 0))}});
    addBook(QStringLiteral("B001"));
    clock.set(at(2026, 3, 20, 15, 20));
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    EXPECT_EQ(screen.field(QStringLiteral("yxq")).value().toDateTime(), at(2026, 3, 29, 9, 0));
    EXPECT_TRUE(screen.readerOk());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tsID"));
    screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
    EXPECT_TRUE(screen.field(QStringLiteral("Button1")).isEnabled());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("Button1"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("图书借出成功!"));
    EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("借阅有效期")),
              at(2026, 3, 29, 9, 0));
    EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("状态设置期")), clock.now());
}

TEST_F(Borrowing, ANormalReaderIsExtendedOnlyWithTheSwitchOn) {
    for (bool autoExtend : {false, true}) {
        SCOPED_TRACE(autoExtend);
        const QString id = autoExtend ? QStringLiteral("R002") : QStringLiteral("R001");
        addReader(id, {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 10, 9, 0))},
                       {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 3, 1, 9, 0))}});
        shop.pub.AutoExtendValidity = autoExtend;
        clock.set(at(2026, 3, 20, 15, 20));
        prompter.clear();
        screen.FormShow();
        screen.field(QStringLiteral("tzID")).type(id);
        EXPECT_EQ(screen.readerOk(), autoExtend);
        if (!autoExtend) {
            EXPECT_EQ(prompter.single(),
                      QStringLiteral("此读者的租借有效阅期已超期!不能租借图书。"));
            EXPECT_EQ(screen.field(QStringLiteral("yxq")).value().toDateTime(),
                      at(2026, 3, 10, 9, 0));
        }
    }
}

TEST_F(Borrowing, AReaderWithABookOutIsNeverExtended) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("当前状态"), QStringLiteral("自动延期")},
               {QStringLiteral("未还数量"), 1},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 25, 9, 0))},
               {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 3, 1, 9, 0))}});
    clock.set(at(2026, 3, 20, 15, 20));
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    EXPECT_EQ(screen.field(QStringLiteral("yxq")).value().toDateTime(), at(2026, 3, 25, 9, 0));
}

TEST_F(Borrowing, AValidityEndingTodayAllowsBorrowingWithAReminderOfZeroDays) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 14, 8, 0))}});
    shop.pub.ExpiryReminderDays = 3;
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.box(0).icon, Icon::Warning);
    EXPECT_EQ(prompter.box(0).text,
              QStringLiteral("此读者的有效租借期还有：0天！请及时缴费充值。"));
    EXPECT_TRUE(screen.readerOk());
    shop.pub.ExpiryReminderDays = 0;
    prompter.clear();
    screen.CheckisHaveReaderClick();
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Borrowing, ANegativeDepositWarnsAndAsksBeforeLending) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), -2.5}});
    addBook(QStringLiteral("B001"));
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    EXPECT_EQ(prompter.single(), QStringLiteral("此读者缴纳的押金金额已为负数！请及时缴费充值。"));
    screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
    prompter.clear();
    prompter.answer(false);
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("此读者所缴纳押金已剩余为负数，请及时缴费充值。 "
                                                "\r\r您确定还让此读者继续租借图书吗？"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
}

TEST_F(Borrowing, TheLimitQuestionComesAtExactlyTheLimit) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("未还数量"), 5}});
    addBook(QStringLiteral("B001"));
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
    prompter.answer(false);
    screen.Button1Click();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("读者还持有 5 本图书未还，已超出此读者最多持有图书数量！"
                             "\r\r您确定还让此读者继续租借图书吗？"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
    prompter.clear();
    prompter.answer(true);
    screen.Button1Click();
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("未还数量")).toInt(), 6);
    EXPECT_EQ(screen.field(QStringLiteral("whsn")).number(), 6);
}

TEST_F(Borrowing, ALoanIsDueAfterTheReadersDaysAtTheSameTimeOfDay) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("借阅总计"), 7}});
    addBook(QStringLiteral("B001"), {{QStringLiteral("借阅次数"), 3}});
    clock.set(at(2026, 3, 1, 15, 20));
    const qint64 ledger = shop.count(QStringLiteral("资金"));
    lendThroughScreen(screen, QStringLiteral("R001"), QStringLiteral("B001"));
    EXPECT_EQ(loanDate(QStringLiteral("B001"), QStringLiteral("借出日期")), clock.now());
    EXPECT_EQ(loanDate(QStringLiteral("B001"), QStringLiteral("最晚归还日期")),
              at(2026, 3, 31, 15, 20));
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("已借出"));
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("借阅次数")).toInt(), 4);
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("借阅总计")).toInt(), 8);
    EXPECT_EQ(
        lastRow(QStringLiteral("日志")),
        (QVariantMap{{QStringLiteral("事件"), QStringLiteral("读者借书")},
                     {QStringLiteral("时间"), Dates::toStorage(clock.now())},
                     {QStringLiteral("操作者"), QStringLiteral("clerk")},
                     {QStringLiteral("说明"), QStringLiteral("读者编号：R001 图书编号：B001")}}));
    EXPECT_EQ(shop.count(QStringLiteral("资金")), ledger) << "no money moves on lending";
    // The reader stays; the next book needs only its id.
    EXPECT_TRUE(screen.readerOk());
    EXPECT_FALSE(screen.bookOk());
    EXPECT_EQ(value(screen, "tsID"), QString());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tsID"));
    EXPECT_FALSE(screen.field(QStringLiteral("Button1")).isEnabled());
}

TEST_F(Borrowing, ABookNotOnTheShelfIsRefusedWithItsState) {
    addReader(QStringLiteral("R001"));
    for (const QString& state : {QStringLiteral("已借出"), QStringLiteral("破损遗失")}) {
        const QString id =
            state == QStringLiteral("已借出") ? QStringLiteral("B001") : QStringLiteral("B002");
        addBook(id, {{QStringLiteral("当前状态"), state}});
        prompter.clear();
        screen.FormShow();
        screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
        screen.field(QStringLiteral("tsID")).type(id);
        EXPECT_EQ(prompter.single(), QStringLiteral("图书编号为：") + id +
                                         QStringLiteral("的图书当前状态为：") + state +
                                         QStringLiteral(" 不能再租借！\r\r请输入新的图书编号。"));
        EXPECT_FALSE(screen.field(QStringLiteral("Button1")).isEnabled());
        EXPECT_EQ(value(screen, "tsmz"), QStringLiteral("三国演义")) << "the data stay";
    }
}

TEST_F(Borrowing, AMissingReaderAfterAGoodOneUnselectsTheReader) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R999"));
    EXPECT_EQ(prompter.lastText(),
              QStringLiteral("读者编号为：R999的读者在系统中不存在！\r\r请输入新的读者编号。"));
    EXPECT_FALSE(screen.readerOk());
    EXPECT_EQ(screen.currentReaderId(), QString());
    prompter.clear();
    screen.Button1Click();
    EXPECT_EQ(
        prompter.single(),
        QStringLiteral("请先在读者编号输入框中输入读者编号查询后，当充许借阅图书时才能借出！"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
}

TEST_F(Borrowing, ForbiddenStatesCannotBorrow) {
    for (const QString& state : {QStringLiteral("暂停使用"), QStringLiteral("挂失停用")}) {
        const QString id =
            state == QStringLiteral("暂停使用") ? QStringLiteral("R001") : QStringLiteral("R002");
        addReader(id, {{QStringLiteral("当前状态"), state}});
        prompter.clear();
        screen.FormShow();
        screen.field(QStringLiteral("tzID")).type(id);
        EXPECT_EQ(prompter.single(), QStringLiteral("此读者的当前状态为：") + state +
                                         QStringLiteral("!不能租借图书。"));
        EXPECT_FALSE(screen.readerOk());
    }
}

TEST_F(Borrowing, APayPerDayReaderHasNoValidityAndStoresNow) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("读者类型"), QStringLiteral("按日租借")},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2020, 1, 1, 9, 0))}});
    addBook(QStringLiteral("B001"));
    shop.pub.ExpiryReminderDays = 3;
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_FALSE(screen.field(QStringLiteral("GroupBox6")).isVisible());
    screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
    screen.Button1Click();
    EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("借阅有效期")), clock.now());
}

TEST_F(Borrowing, RemarksAreStoredAsOneLine) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
    screen.field(QStringLiteral("tzbz")).type(QStringLiteral("第一行\n第二行\t😀"));
    screen.field(QStringLiteral("tsbz")).type(QStringLiteral("a'b\n; DROP TABLE 图书;--"));
    screen.Button1Click();
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("备注")).toString(),
              QStringLiteral("第一行第二行\t😀"));
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("备注")).toString(),
              QStringLiteral("a'b; DROP TABLE 图书;--"));
}

TEST_F(Borrowing, IdsWithQuotesAndSqlAreLookedUpAsText) {
    shop.pub.ReaderIdMaxLen = 20;
    addReader(QStringLiteral("R'1"));
    screen.FormShow();
    for (const QString& typed : {QStringLiteral("' OR '1'='1"), QStringLiteral("   "),
                                 QStringLiteral("x'; DELETE FROM 读者;--")}) {
        prompter.clear();
        screen.field(QStringLiteral("tzID")).type(typed);
        screen.CheckisHaveReaderClick();
        EXPECT_FALSE(screen.readerOk()) << typed.toStdString();
    }
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 1);
    screen.field(QStringLiteral("tzID")).type(QStringLiteral(" R'1 "));
    screen.CheckisHaveReaderClick();
    EXPECT_TRUE(screen.readerOk());
    EXPECT_EQ(screen.currentReaderId(), QStringLiteral("R'1"));
}

TEST_F(Borrowing, AFailedLoanStoresNothingAndSaysNothingElse) {
    for (const QString& failing :
         {QStringLiteral("UPDATE 读者"), QStringLiteral("INSERT INTO 日志"),
          QStringLiteral("INSERT INTO 借出图书")}) {
        SCOPED_TRACE(failing.toStdString());
        const QString n = QString::number(shop.count(QStringLiteral("读者")));
        const QString reader = QStringLiteral("R00") + n;
        const QString book = QStringLiteral("B00") + n;
        addReader(reader);
        addBook(book);
        screen.FormShow();
        screen.field(QStringLiteral("tzID")).type(reader);
        screen.field(QStringLiteral("tsID")).type(book);
        prompter.clear();
        {
            FailingStatements fail(shop.dm->db(), failing);
            screen.Button1Click();
        }
        EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
        EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
        EXPECT_EQ(bookColumn(book, QStringLiteral("当前状态")).toString(),
                  QStringLiteral("未借出"));
        EXPECT_EQ(readerColumn(reader, QStringLiteral("未还数量")).toInt(), 0);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    }
}

TEST_F(Borrowing, ABookLentElsewhereSinceItsLookupIsNotLentTwice) {
    addReader(QStringLiteral("R001"));
    addReader(QStringLiteral("R002"));
    addBook(QStringLiteral("B001"));
    Tfrm_TZJBook other(ctx);
    screen.FormShow();
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
    lendThroughScreen(other, QStringLiteral("R002"), QStringLiteral("B001"));
    prompter.clear();
    screen.Button1Click();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("图书编号为：B001的图书当前状态为：已借出 不能再租借！"
                             "\r\r请输入新的图书编号。"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 1);
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("未还数量")).toInt(), 0);
}

} // namespace
} // namespace lms::test
