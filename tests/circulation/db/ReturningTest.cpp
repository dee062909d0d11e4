// Taking a book back: the loan brings up its reader, the charges and their total, what a return
// stores in cash or from the deposit, and that it is stored whole or not at all.
#include "circulation/db/CirculationFixture.h"

namespace lms::test {
namespace {

class Returning : public CirculationTest {
protected:
    Returning() { shop.pub.ExpiryReminderDays = 0; }

    // A loan of `book` to `reader` made at `when` through the borrowing screen.
    void lendAt(const QString& reader, const QString& book, const QDateTime& when) {
        clock.set(when);
        lendThroughScreen(borrowing, reader, book);
        prompter.clear();
    }

    Tfrm_TZJBook borrowing{ctx};
    Tfrm_TZHBook screen{ctx, borrowing};
};

TEST_F(Returning, TheFineCountsCalendarDaysPastTheDueDate) {
    shop.pub.AllowAmountEdit = true;
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 15, 20));
    struct Case {
        QDateTime back;
        const char* days;
        const char* fine;
        const char* total;
    };
    for (const Case& c : {Case{at(2026, 4, 2, 9, 0), "2", "1", "1.00"},
                          Case{at(2026, 4, 1, 0, 5), "1", "0.5", "0.50"},
                          Case{at(2026, 3, 31, 23, 0), "0", "0", "0.00"},
                          Case{at(2026, 3, 10, 9, 0), "0", "0", "0.00"}}) {
        clock.set(c.back);
        bringBack(screen, QStringLiteral("B001"));
        EXPECT_EQ(screen.field(QStringLiteral("zwgwrq")).value().toDateTime(),
                  at(2026, 3, 31, 15, 20));
        EXPECT_EQ(value(screen, "cqts"), QString::fromLatin1(c.days));
        EXPECT_EQ(value(screen, "cqfh"), QString::fromLatin1(c.fine));
        EXPECT_EQ(value(screen, "zj"), QString::fromLatin1(c.total));
        // The parts may be edited by hand; their total is only ever worked out.
        EXPECT_TRUE(screen.field(QStringLiteral("cqfh")).isEnabled());
        EXPECT_FALSE(screen.field(QStringLiteral("zj")).isEnabled());
    }
}

TEST_F(Returning, APayPerDayReaderPaysAtLeastOneDay) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("读者类型"), QStringLiteral("按日租借")}});
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B002"));
    addBook(QStringLiteral("B003"));
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 23, 50));
    lendAt(QStringLiteral("R001"), QStringLiteral("B002"), at(2026, 3, 2, 0, 5));
    lendAt(QStringLiteral("R001"), QStringLiteral("B003"), at(2026, 2, 20, 12, 0));
    clock.set(at(2026, 3, 2, 0, 10));
    for (const auto& [book, rent] :
         {std::pair{"B001", "0.5"}, std::pair{"B002", "0.5"}, std::pair{"B003", "5"}}) {
        bringBack(screen, QString::fromLatin1(book));
        EXPECT_TRUE(screen.field(QStringLiteral("GroupBox12")).isVisible());
        EXPECT_FALSE(screen.field(QStringLiteral("GroupBox6")).isVisible());
        EXPECT_EQ(value(screen, "zjgj"), QString::fromLatin1(rent)) << book;
    }
}

TEST_F(Returning, AMonthlyReaderPaysNoRent) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    bringBack(screen, QStringLiteral("B001"));
    EXPECT_FALSE(screen.field(QStringLiteral("GroupBox12")).isVisible());
    EXPECT_EQ(value(screen, "zjgj"), QStringLiteral("0"));
}

TEST_F(Returning, ADamagedBookIsCompensatedAndWrittenOff) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    shop.pub.DamageRate = 0.8f;
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    bringBack(screen, QStringLiteral("B001"));
    EXPECT_EQ(value(screen, "pspz"), QStringLiteral("20.40"));
    EXPECT_EQ(value(screen, "zj"), QStringLiteral("0.00"));
    screen.field(QStringLiteral("psyx")).setValue(true);
    EXPECT_EQ(value(screen, "zj"), QStringLiteral("20.40"));
    screen.field(QStringLiteral("psyx")).setValue(false);
    EXPECT_EQ(value(screen, "zj"), QStringLiteral("0.00"));
    screen.field(QStringLiteral("psyx")).setValue(true);
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("图书归还成功!"));
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("破损遗失"));
    const QVariantMap history = lastRow(QStringLiteral("图书借阅历史记录"));
    EXPECT_EQ(history[QStringLiteral("借阅日期")].toString(),
              Dates::toStorage(at(2026, 3, 1, 10, 0)));
    EXPECT_EQ(history[QStringLiteral("归还日期")].toString(), Dates::toStorage(clock.now()));
    EXPECT_EQ(history[QStringLiteral("备注")].toString(), QStringLiteral("破损或遗失"));
    const QVariantMap ledger = lastRow(QStringLiteral("资金"));
    EXPECT_EQ(ledger[QStringLiteral("事件")].toString(), QStringLiteral("读者还书"));
    EXPECT_DOUBLE_EQ(ledger[QStringLiteral("金额总计")].toDouble(), double(20.4f));
    EXPECT_DOUBLE_EQ(ledger[QStringLiteral("破损遗失赔偿")].toDouble(), double(20.4f));
    EXPECT_EQ(lastLog(), QStringLiteral("读者编号：R001 图书编号：B001 图书已破损或遗失, "
                                        "缴纳费用总计：20.40元,"));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("未还数量")).toInt(), 0);
    EXPECT_EQ(screen.field(QStringLiteral("whsn")).number(), 0);
}

TEST_F(Returning, ATotalFromTheDepositMayTakeItBelowZero) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), 10.0}});
    addBook(QStringLiteral("B001"), {{QStringLiteral("价格"), QStringLiteral("12.5")}});
    shop.pub.DamageRate = 1.0f;
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    bringBack(screen, QStringLiteral("B001"));
    screen.field(QStringLiteral("psyx")).setValue(true);
    screen.field(QStringLiteral("cyjhz")).setValue(true);
    EXPECT_EQ(value(screen, "zj"), QStringLiteral("12.50"));
    screen.Button1Click();
    EXPECT_DOUBLE_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("押金")).toDouble(), -2.5);
    EXPECT_EQ(value(screen, "yj"), QStringLiteral("-2.5"));
    const QVariantMap ledger = lastRow(QStringLiteral("资金"));
    EXPECT_EQ(ledger[QStringLiteral("金额总计")].toDouble(), 0.0);
    EXPECT_EQ(ledger[QStringLiteral("押金")].toDouble(), -12.5);
    EXPECT_EQ(ledger[QStringLiteral("破损遗失赔偿")].toDouble(), 12.5);
    EXPECT_TRUE(lastLog().endsWith(QStringLiteral(" 已从押金中扣除。"))) << lastLog().toStdString();
}

TEST_F(Returning, APriceThatIsNoNumberProposesNoCompensation) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"), {{QStringLiteral("价格"), QStringLiteral("二十元")}});
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    bringBack(screen, QStringLiteral("B001"));
    EXPECT_TRUE(prompter.boxes().empty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(value(screen, "pspz"), QStringLiteral("0.00"));
    EXPECT_TRUE(screen.field(QStringLiteral("Button1")).isEnabled());
    screen.field(QStringLiteral("psyx")).setValue(true);
    screen.field(QStringLiteral("pspz")).type(QStringLiteral("18"));
    EXPECT_EQ(value(screen, "zj"), QStringLiteral("18.00"));
}

TEST_F(Returning, AnAmountThatIsNoNumberRefusesTheReturnAndWritesNothing) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    shop.pub.AllowAmountEdit = true;
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    bringBack(screen, QStringLiteral("B001"));
    screen.field(QStringLiteral("cqfh")).type(QStringLiteral("3"));
    EXPECT_EQ(value(screen, "zj"), QStringLiteral("3.00"));
    const qint64 logs = shop.count(QStringLiteral("日志"));
    for (const char* field : {"cqfh", "zjgj"}) {
        const QString total = value(screen, "zj");
        for (const QString& bad :
             {QStringLiteral("abc"), QStringLiteral("-"), QStringLiteral("1e400"), QString()}) {
            prompter.clear();
            screen.field(QString::fromLatin1(field)).type(bad);
            EXPECT_EQ(prompter.single(), QStringLiteral("输入错误！请输入正确有效的数字。"));
            EXPECT_EQ(value(screen, "zj"), total) << "the total stays";
            prompter.clear();
            screen.Button1Click();
            EXPECT_EQ(prompter.single(), QStringLiteral("输入错误！请输入正确有效的数字。"));
            EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 1);
            EXPECT_EQ(shop.count(QStringLiteral("日志")), logs);
            EXPECT_EQ(shop.count(QStringLiteral("图书借阅历史记录")), 0);
        }
        screen.field(QString::fromLatin1(field)).type(QStringLiteral("0"));
    }
}

TEST_F(Returning, ABookOfAnotherReaderSwitchesTheScreenToThatReader) {
    addReader(QStringLiteral("R00A"), {{QStringLiteral("读者姓名"), QStringLiteral("A")}});
    addReader(QStringLiteral("R00B"), {{QStringLiteral("读者姓名"), QStringLiteral("B")}});
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B002"));
    lendAt(QStringLiteral("R00A"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    lendAt(QStringLiteral("R00B"), QStringLiteral("B002"), at(2026, 3, 1, 10, 0));
    bringBack(screen, QStringLiteral("B001"));
    EXPECT_EQ(value(screen, "tzxm"), QStringLiteral("A"));
    screen.field(QStringLiteral("tsID")).type(QStringLiteral("B002"));
    EXPECT_EQ(value(screen, "tzID"), QStringLiteral("R00B"));
    EXPECT_EQ(value(screen, "tzxm"), QStringLiteral("B"));
    EXPECT_EQ(screen.currentReaderId(), QStringLiteral("R00B"));
    EXPECT_EQ(screen.loanList().bookIdAt(0), QStringLiteral("B002"));
    EXPECT_EQ(screen.focusedField(), QStringLiteral("Button1"));
    screen.Button1Click();
    EXPECT_EQ(loansOf(QStringLiteral("R00A")), 1);
    EXPECT_EQ(loansOf(QStringLiteral("R00B")), 0);
}

TEST_F(Returning, AReaderReportedLostCannotReturn) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    Query(shop.dm->db(), QStringLiteral("UPDATE 读者 SET 当前状态 = '挂失停用'")).exec();
    bringBack(screen, QStringLiteral("B001"));
    EXPECT_EQ(prompter.single(), QStringLiteral("此读者的当前状态为：挂失停用!不能租借、归还图书。"
                                                "\r\r请先修改读者的状态再归还图书。"));
    EXPECT_FALSE(screen.field(QStringLiteral("Button1")).isEnabled());
    EXPECT_FALSE(screen.field(QStringLiteral("Button3")).isEnabled());
    prompter.clear();
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("请先在读者编号输入框中输入读者编号！"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 1);
}

TEST_F(Returning, ABookThatIsNotLentCannotBeReturned) {
    addBook(QStringLiteral("B001"));
    bringBack(screen, QStringLiteral("B001"));
    EXPECT_EQ(prompter.single(), QStringLiteral("此图书没有借出，请查询确认。"));
    EXPECT_FALSE(screen.bookOk());
    // The next scan is a book again, not a reader.
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tsID"));
}

TEST_F(Returning, AnExpiredReaderReturnsWithANegativeReminder) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 5, 9, 0))}});
    addBook(QStringLiteral("B001"));
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    shop.pub.ExpiryReminderDays = 3;
    clock.set(at(2026, 3, 14, 10, 0));
    bringBack(screen, QStringLiteral("B001"));
    EXPECT_EQ(prompter.single(), QStringLiteral("此读者的有效租借期还有：-9天！请及时缴费充值。"));
    EXPECT_TRUE(screen.field(QStringLiteral("Button1")).isEnabled());
}

TEST_F(Returning, AFailedReturnStoresNothing) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    for (const QString& failing :
         {QStringLiteral("INSERT INTO 图书借阅历史记录"), QStringLiteral("INSERT INTO 资金"),
          QStringLiteral("INSERT INTO 日志"), QStringLiteral("UPDATE 读者")}) {
        SCOPED_TRACE(failing.toStdString());
        bringBack(screen, QStringLiteral("B001"));
        const qint64 logs = shop.count(QStringLiteral("日志"));
        prompter.clear();
        {
            FailingStatements fail(shop.dm->db(), failing);
            screen.Button1Click();
        }
        EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
        EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 1);
        EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("当前状态")).toString(),
                  QStringLiteral("已借出"));
        EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("未还数量")).toInt(), 1);
        EXPECT_EQ(shop.count(QStringLiteral("图书借阅历史记录")), 0);
        EXPECT_EQ(shop.count(QStringLiteral("资金")), 0);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), logs);
    }
}

TEST_F(Returning, TheListShowsTheReadersLoansAndADoubleClickLooksOneUp) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"), {{QStringLiteral("图书名称"), QStringLiteral("水浒传")}});
    addBook(QStringLiteral("B2"), {{QStringLiteral("图书名称"), QStringLiteral("红楼梦")}});
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    lendAt(QStringLiteral("R001"), QStringLiteral("B2"), at(2026, 3, 1, 10, 0));
    screen.FormShow();
    EXPECT_EQ(screen.loanList().rowCount(), 1) << "one empty row";
    screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
    ASSERT_EQ(screen.loanList().loans().size(), 2);
    EXPECT_EQ(screen.loanList().data(screen.loanList().index(1, 1)).toString(),
              QStringLiteral("红楼梦"));
    screen.field(QStringLiteral("StringGrid1")).setValue(1);
    screen.StringGrid1DblClick();
    EXPECT_EQ(screen.currentBookId(), QStringLiteral("B2")) << "a short id is looked up directly";
    EXPECT_TRUE(screen.bookOk());
    screen.Button1Click();
    ASSERT_EQ(screen.loanList().loans().size(), 1);
    EXPECT_EQ(screen.loanList().bookIdAt(0), QStringLiteral("B001"));
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tsID"));
}

TEST_F(Returning, TheEnterAfterAScannedIdPressesNoButtonButTheNextOneDoes) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B2"));
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    lendAt(QStringLiteral("R001"), QStringLiteral("B2"), at(2026, 3, 1, 10, 0));
    bringBack(screen, QStringLiteral("B001"));
    ASSERT_EQ(screen.focusedField(), QStringLiteral("Button1"));
    screen.keyDown(QStringLiteral("Button1"), 13);
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 2);
    screen.keyDown(QStringLiteral("Button1"), 13);
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 1);
    // A book chosen from the list owes no Enter: the next one returns it.
    screen.field(QStringLiteral("StringGrid1")).setValue(0);
    screen.keyDown(QStringLiteral("StringGrid1"), 13);
    ASSERT_EQ(screen.currentBookId(), QStringLiteral("B2"));
    screen.keyDown(QStringLiteral("Button1"), 13);
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
}

TEST_F(Returning, ContinueBorrowingHandsTheReaderToTheBorrowingScreen) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    lendAt(QStringLiteral("R001"), QStringLiteral("B001"), at(2026, 3, 1, 10, 0));
    screen.FormShow();
    screen.Button3Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("请先在读者编号输入框中输入读者编号！"));
    bringBack(screen, QStringLiteral("B001"));
    bool closed = false;
    QObject::connect(&screen, &FormModel::closeRequested, [&] { closed = true; });
    screen.Button3Click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(host.shown().last(), QStringLiteral("frm_TZJBook"));
    EXPECT_EQ(borrowing.currentReaderId(), QStringLiteral("R001"));
    EXPECT_TRUE(borrowing.readerOk());
}

} // namespace
} // namespace lms::test
