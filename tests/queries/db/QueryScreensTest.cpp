// The six query screens over real tables: what each lists, in which order, with which filters and
// totals, and how odd input is searched for rather than breaking the statement.
#include "admin/DataClearing.h"
#include "core/DateRules.h"
#include "core/Schema.h"
#include "core/ScreenContext.h"
#include "queries/Tfrm_CHRZ.h"
#include "queries/Tfrm_QAllRec.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/Tfrm_QallReader.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::FixedClock;
using test::ScriptedHost;
using test::ScriptedPrompter;
using test::ShopDatabase;

const QDateTime kNow = at(2026, 3, 14, 10, 30, 0);

QString storedAt(const QDate& day, int hour, int minute = 0) {
    return Dates::toStorage(QDateTime(day, QTime(hour, minute)));
}

class Queries : public ::testing::Test {
protected:
    Queries() : context{*shop.dm, shop.pub, prompter, clock, host} {}

    Database& db() { return shop.dm->db(); }
    // Books and readers with only the columns these tests look at filled in.
    void book(const QString& id, const QString& name, const QString& type, const QString& state,
              int lent) {
        test::insertRow(db(), QStringLiteral("图书"),
                        {{QStringLiteral("图书编号"), id},
                         {QStringLiteral("图书名称"), name},
                         {QStringLiteral("图书类型"), type},
                         {QStringLiteral("当前状态"), state},
                         {QStringLiteral("借阅次数"), lent},
                         {QStringLiteral("备注"), QString()}});
    }
    void loan(const QString& book, const QString& reader, const QString& lent, const QString& due) {
        test::addLoan(db(), book, reader,
                      {{QStringLiteral("图书名称"), QStringLiteral("书") + book},
                       {QStringLiteral("读者姓名"), QStringLiteral("王") + reader},
                       {QStringLiteral("借出日期"), lent},
                       {QStringLiteral("最晚归还日期"), due}});
    }
    void reader(const QString& id, const QVariant& deposit, const QVariant& loans,
                const QString& validity) {
        test::insertRow(db(), QStringLiteral("读者"),
                        {{QStringLiteral("读者编号"), id},
                         {QStringLiteral("读者姓名"), QStringLiteral("读者") + id},
                         {QStringLiteral("读者类型"), QStringLiteral("包月")},
                         {QStringLiteral("押金"), deposit},
                         {QStringLiteral("借阅总计"), loans},
                         {QStringLiteral("借阅有效期"), validity},
                         {QStringLiteral("当前状态"), QStringLiteral("正常使用")}});
    }
    void ledger(const QString& user, const QString& when, double total) {
        test::addLedger(db(), QStringLiteral("缴费充值"),
                        {{QStringLiteral("操作者"), user},
                         {QStringLiteral("时间"), when},
                         {QStringLiteral("金额总计"), total},
                         {QStringLiteral("押金"), total}});
    }
    // A history row of a book and the day it was lent, nothing else.
    void lentOn(const QString& book, const QString& when) {
        test::insertRow(db(), QStringLiteral("图书借阅历史记录"),
                        {{QStringLiteral("图书编号"), book}, {QStringLiteral("借阅日期"), when}});
    }

    // The listed values of one result column, top to bottom.
    static QStringList column(QueryScreen& screen, int c) {
        QStringList values;
        for (int row = 0; row < screen.results().rowCount(); ++row)
            values << screen.results().cellText(row, c);
        return values;
    }
    static void tick(QueryScreen& screen, const QString& box, const QString& field = {},
                     const QString& value = {}) {
        screen.field(box).setValue(true);
        if (!field.isEmpty())
            screen.field(field).setValue(value);
    }
    static void containsMode(QueryScreen& screen) {
        screen.field(QStringLiteral("RadioGroup1")).setValue(1);
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{kNow};
    ScriptedHost host;
    ScreenContext context;
};

TEST_F(Queries, EachScreenOpensListingItsWholeTable) {
    book(QStringLiteral("B1"), QStringLiteral("红楼梦"), QStringLiteral("小说"),
         QStringLiteral("未借出"), 0);
    book(QStringLiteral("B2"), QStringLiteral("史记"), QStringLiteral("历史"),
         QStringLiteral("已借出"), 3);
    loan(QStringLiteral("B2"), QStringLiteral("R1"), storedAt(kNow.date().addDays(-3), 9),
         storedAt(kNow.date().addDays(27), 9));
    reader(QStringLiteral("R1"), 100.0, 1, storedAt(kNow.date().addMonths(1), 9));
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 9), 10);
    shop.dm->WriteRZ(QStringLiteral("读者借书"), QStringLiteral("admin"), kNow.addSecs(-60),
                     QStringLiteral("x"));
    lentOn(QStringLiteral("B1"), storedAt(kNow.date().addDays(-9), 9));

    Tfrm_QallBook books(context);
    Tfrm_QJCBook loans(context);
    Tfrm_QallReader readers(context);
    Tfrm_QallMoney money(context);
    Tfrm_QAllRec history(context);
    Tfrm_CHRZ log(context);
    for (QueryScreen* screen :
         std::initializer_list<QueryScreen*>{&books, &loans, &readers, &money, &history, &log}) {
        QAbstractItemModelTester tester(&screen->results(),
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        screen->FormShow();
        EXPECT_GT(screen->results().rowCount(), 0) << screen->objectName().toStdString();
        EXPECT_EQ(screen->results().columnCount(),
                  static_cast<int>(screen->definition().columns.size()));
        EXPECT_EQ(screen->field(QStringLiteral("StringGrid1")).number(),
                  screen->results().rowCount() - 1)
            << "the last row is selected";
    }
    EXPECT_TRUE(prompter.boxes().empty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(books.results().rowCount(), 2);
    EXPECT_EQ(column(books, 0), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(column(books, 1), (QStringList{QStringLiteral("B1"), QStringLiteral("B2")}));
    EXPECT_EQ(books.results().headerData(2, Qt::Horizontal).toString(), QStringLiteral("图书名称"));
    EXPECT_EQ(column(log, 0), QStringList{QStringLiteral("读者借书")});
    EXPECT_EQ(column(loans, 5), QStringList{QStringLiteral("2026年3月11日")});
    EXPECT_EQ(column(loans, 7), QStringList{QStringLiteral("0")});
    EXPECT_EQ(books.field(QStringLiteral("ComboBox1")).items(), Schema::defaultBookTypes());
    EXPECT_EQ(money.field(QStringLiteral("ComboBox1")).items(),
              QStringList{ShopDatabase::kSuperUser});
}

TEST_F(Queries, AClosedScreenLetsGoOfItsRowsAndListsAfreshWhenShownAgain) {
    for (int i = 0; i < 3; ++i)
        book(QStringLiteral("B%1").arg(i), QStringLiteral("书"), QStringLiteral("小说"),
             QStringLiteral("未借出"), 0);
    Tfrm_QallBook books(context);
    books.FormShow();
    ASSERT_EQ(books.results().rowCount(), 3);
    books.run(QStringLiteral("Button1Click"));
    EXPECT_EQ(books.results().rowCount(), 0);
    EXPECT_EQ(books.results().columnCount(), 0);
    book(QStringLiteral("B9"), QStringLiteral("书"), QStringLiteral("小说"),
         QStringLiteral("未借出"), 0);
    books.FormShow();
    EXPECT_EQ(books.results().rowCount(), 4);
}

TEST_F(Queries, ALongListingArrivesInSlicesAndEndsWhenTheWindowClosesOrIsListedAgain) {
    for (int i = 0; i < 3 * QueryScreen::kFirstRows; ++i)
        ledger(i % 3 == 0 ? QStringLiteral("clerk") : QStringLiteral("admin"),
               Dates::toStorage(kNow.addSecs(-i)), 1.25);
    Tfrm_QallMoney money(context);
    // While rows arrive, the first screenful is already listed and only the output rests.
    const auto midway = [&money](FormModel&) {
        EXPECT_EQ(money.results().rowCount(), QueryScreen::kFirstRows);
        EXPECT_FALSE(money.field(QStringLiteral("Button3")).isEnabled());
        EXPECT_FALSE(money.field(QStringLiteral("Button4")).isEnabled());
        EXPECT_TRUE(money.field(QStringLiteral("Button2")).isEnabled());
    };
    // Closed through "关闭" or through the window's own close box: the rows are dropped.
    for (const bool closeBox : {false, true}) {
        int breaths = 0;
        host.whileWorking = [&](FormModel& screen) {
            ++breaths;
            midway(screen);
            if (!closeBox)
                money.run(QStringLiteral("Button1Click"));
            return !closeBox;
        };
        money.FormShow();
        EXPECT_EQ(breaths, 1) << closeBox;
        EXPECT_EQ(money.results().rowCount(), 0) << closeBox;
        EXPECT_TRUE(money.field(QStringLiteral("Button3")).isEnabled()) << closeBox;
    }
    // "查询" pressed meanwhile lists again with the criteria as they are then.
    bool pressed = false;
    host.whileWorking = [&](FormModel& screen) {
        if (pressed)
            return true;
        pressed = true;
        midway(screen);
        money.field(QStringLiteral("CheckBox1")).setValue(true);
        money.field(QStringLiteral("ComboBox1")).setValue(QStringLiteral("clerk"));
        money.Button2Click();
        return true;
    };
    money.FormShow();
    EXPECT_EQ(money.results().rowCount(), QueryScreen::kFirstRows);
    EXPECT_EQ(column(money, 2), QStringList(QueryScreen::kFirstRows, QStringLiteral("clerk")));
    EXPECT_EQ(money.field(QStringLiteral("Edit1")).text(), QStringLiteral("125.00"));
    EXPECT_EQ(money.field(QStringLiteral("StringGrid1")).number(), QueryScreen::kFirstRows - 1);
}

TEST_F(Queries, NothingFoundEmptiesTheGridSaysSoAndKeepsTheTotals) {
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 9), 1.5);
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 10), 2.25);
    Tfrm_QallMoney money(context);
    money.FormShow();
    EXPECT_EQ(column(money, 4), (QStringList{QStringLiteral("1.50"), QStringLiteral("2.25")}));
    EXPECT_EQ(money.field(QStringLiteral("Edit1")).text(), QStringLiteral("3.75"));
    EXPECT_EQ(money.field(QStringLiteral("Edit3")).text(), QStringLiteral("3.75"));
    EXPECT_EQ(money.field(QStringLiteral("Edit2")).text(), QStringLiteral("0.00"));

    tick(money, QStringLiteral("CheckBox1"), QStringLiteral("ComboBox1"), QStringLiteral("nobody"));
    money.Button2Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("资金中没符合条件的记录!"));
    EXPECT_EQ(money.results().rowCount(), 0);
    EXPECT_EQ(money.results().columnCount(), 0) << "no header either";
    EXPECT_EQ(money.field(QStringLiteral("Edit1")).text(), QStringLiteral("3.75"));
}

TEST_F(Queries, LedgerTotalsAddTheShownTwoDecimalAmounts) {
    // 2.004 shows as 2.00 and 2.006 as 2.01; the total is of what is shown.
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 9), 2.004);
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 10), 2.006);
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 11), -0.125);
    Tfrm_QallMoney money(context);
    money.FormShow();
    EXPECT_EQ(column(money, 4), (QStringList{QStringLiteral("2.00"), QStringLiteral("2.01"),
                                             QStringLiteral("-0.13")}));
    EXPECT_EQ(money.field(QStringLiteral("Edit1")).text(), QStringLiteral("3.88"));
}

TEST_F(Queries, TotalsOfAmountsSingleFloatsCannotHoldAreExactToTheCent) {
    // Around 2^24 a single-precision sum has no cents left; the totals are the shown cells'.
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 9), 16777216.25);
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 10), 1.10);
    ledger(QStringLiteral("admin"), storedAt(kNow.date(), 11), 9999999.99);
    Tfrm_QallMoney money(context);
    money.FormShow();
    EXPECT_EQ(money.field(QStringLiteral("Edit1")).text(), QStringLiteral("26777217.34"));
    EXPECT_EQ(money.field(QStringLiteral("Edit3")).text(), QStringLiteral("26777217.34"));
    // The summary record of the cleared ledger is summed the same way.
    ASSERT_TRUE(DataClearing::clearLedger(*shop.dm, true, QStringLiteral("admin"), kNow));
    money.Button2Click();
    EXPECT_EQ(money.results().rowCount(), 1);
    EXPECT_EQ(money.field(QStringLiteral("Edit1")).text(), QStringLiteral("26777217.34"));
    EXPECT_EQ(money.field(QStringLiteral("Edit3")).text(), QStringLiteral("26777217.34"));
}

TEST_F(Queries, ReaderTotalsAddTheShownValuesAndCountMissingValuesAsZero) {
    reader(QStringLiteral("R1"), 100.0, 2, storedAt(kNow.date().addDays(5), 9));
    reader(QStringLiteral("R2"), 50.5, 3, storedAt(kNow.date().addDays(5), 9));
    Tfrm_QallReader readers(context);
    readers.FormShow();
    EXPECT_EQ(readers.field(QStringLiteral("Edit5")).text(), QStringLiteral("150.5"));
    EXPECT_EQ(readers.field(QStringLiteral("Edit6")).text(), QStringLiteral("5"));

    shop.dm->db().exec(QStringLiteral("DELETE FROM 读者"));
    reader(QStringLiteral("R3"), 0.1, 0, storedAt(kNow.date(), 9));
    reader(QStringLiteral("R4"), 0.0, QVariant(), storedAt(kNow.date(), 9));
    reader(QStringLiteral("R5"), QVariant(), 1, storedAt(kNow.date(), 9));
    readers.Button2Click();
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(readers.results().rowCount(), 3);
    EXPECT_EQ(readers.field(QStringLiteral("Edit5")).text(), QStringLiteral("0.1"));
    EXPECT_EQ(readers.field(QStringLiteral("Edit6")).text(), QStringLiteral("1"));
    EXPECT_EQ(column(readers, 5),
              (QStringList{QStringLiteral("0.1"), QStringLiteral("0"), QString()}));
    EXPECT_EQ(column(readers, 9),
              (QStringList{QStringLiteral("0"), QString(), QStringLiteral("1")}));
}

TEST_F(Queries, ExpiredValidityListsOnlyValidityBeforeTodaysMidnight) {
    reader(QStringLiteral("past"), 1.0, 0, storedAt(kNow.date().addDays(-1), 23, 59));
    reader(QStringLiteral("today"), 1.0, 0, storedAt(kNow.date(), 0, 0));
    reader(QStringLiteral("later"), 1.0, 0, storedAt(kNow.date(), 9));
    Tfrm_QallReader readers(context);
    readers.FormShow();
    tick(readers, QStringLiteral("CheckBox7"));
    readers.Button2Click();
    EXPECT_EQ(column(readers, 1), QStringList{QStringLiteral("past")});
}

TEST_F(Queries, LoansAreNewestFirstExactlyAndOldestFirstInContainsMode) {
    loan(QStringLiteral("B1"), QStringLiteral("R1"), storedAt(kNow.date().addDays(-5), 9),
         storedAt(kNow.date().addDays(25), 9));
    loan(QStringLiteral("B2"), QStringLiteral("R1"), storedAt(kNow.date().addDays(-1), 9),
         storedAt(kNow.date().addDays(29), 9));
    loan(QStringLiteral("B3"), QStringLiteral("R2"), storedAt(kNow.date().addDays(-3), 9),
         storedAt(kNow.date().addDays(27), 9));
    Tfrm_QJCBook loans(context);
    loans.FormShow();
    EXPECT_EQ(column(loans, 1),
              (QStringList{QStringLiteral("B2"), QStringLiteral("B3"), QStringLiteral("B1")}));
    tick(loans, QStringLiteral("CheckBox3"), QStringLiteral("Edit3"), QStringLiteral("R"));
    containsMode(loans);
    loans.Button2Click();
    EXPECT_EQ(column(loans, 1),
              (QStringList{QStringLiteral("B1"), QStringLiteral("B3"), QStringLiteral("B2")}));
    loans.field(QStringLiteral("RadioGroup1")).setValue(0);
    loans.field(QStringLiteral("Edit3")).setValue(QStringLiteral("  R1\t"));
    loans.field(QStringLiteral("Edit3")).setValue(QStringLiteral(" R1 "));
    loans.Button2Click();
    EXPECT_EQ(column(loans, 1), (QStringList{QStringLiteral("B2"), QStringLiteral("B1")}))
        << "blanks around a typed value do not count";
}

TEST_F(Queries, OverdueDaysRoundAtNoonAndTheOverdueCriterionTestsBeforeToday) {
    const QDate yesterday = kNow.date().addDays(-1);
    loan(QStringLiteral("A"), QStringLiteral("R"), storedAt(yesterday.addDays(-30), 10),
         storedAt(yesterday, 10));
    loan(QStringLiteral("B"), QStringLiteral("R"), storedAt(yesterday.addDays(-29), 15),
         storedAt(yesterday, 15));
    loan(QStringLiteral("C"), QStringLiteral("R"), storedAt(kNow.date().addDays(-30), 10),
         storedAt(kNow.date(), 10));
    loan(QStringLiteral("D"), QStringLiteral("R"), storedAt(kNow.date().addDays(-2), 10),
         storedAt(kNow.date().addDays(28), 10));
    Tfrm_QJCBook loans(context);
    const auto overdue = [&] {
        QMap<QString, QString> days;
        for (int row = 0; row < loans.results().rowCount(); ++row)
            days[loans.results().cellText(row, 1)] = loans.results().cellText(row, 7);
        return days;
    };
    clock.set(QDateTime(kNow.date(), QTime(11, 0)));
    loans.FormShow();
    EXPECT_EQ(overdue()[QStringLiteral("A")], QStringLiteral("1"));
    EXPECT_EQ(overdue()[QStringLiteral("B")], QStringLiteral("0"));
    EXPECT_EQ(overdue()[QStringLiteral("C")], QStringLiteral("0"));
    EXPECT_EQ(overdue()[QStringLiteral("D")], QStringLiteral("0"));
    clock.set(QDateTime(kNow.date(), QTime(13, 0)));
    loans.Button2Click();
    EXPECT_EQ(overdue()[QStringLiteral("A")], QStringLiteral("2"));
    EXPECT_EQ(overdue()[QStringLiteral("B")], QStringLiteral("1"));
    EXPECT_EQ(overdue()[QStringLiteral("C")], QStringLiteral("1"));
    EXPECT_EQ(overdue()[QStringLiteral("D")], QStringLiteral("0"));

    clock.set(QDateTime(kNow.date(), QTime(11, 0)));
    tick(loans, QStringLiteral("CheckBox6"));
    loans.Button2Click();
    QStringList listed = column(loans, 1);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("A"), QStringLiteral("B")}))
        << "due yesterday at 15:00 is listed though it shows 0 days before noon";
}

TEST_F(Queries, AReversedRangeIsExchangedAndWidenedToWholeDaysOnScreenAndInTheFilter) {
    const QDate day1 = kNow.date().addDays(-10);
    const QDate day2 = kNow.date().addDays(-8);
    lentOn(QStringLiteral("first"), storedAt(day1, 0, 0));
    lentOn(QStringLiteral("last"), Dates::toStorage(QDateTime(day2, QTime(23, 59, 59, 500))));
    lentOn(QStringLiteral("after"), storedAt(day2.addDays(1), 0, 0));
    Tfrm_QAllRec history(context);
    history.FormShow();
    history.field(QStringLiteral("DateTimePicker1")).setValue(QDateTime(day2, QTime(15, 0)));
    history.field(QStringLiteral("DateTimePicker2")).setValue(QDateTime(day1, QTime(9, 0)));
    tick(history, QStringLiteral("CheckBox5"));
    history.Button2Click();
    EXPECT_EQ(history.field(QStringLiteral("DateTimePicker1")).value().toDateTime(),
              QDateTime(day1, QTime(0, 0)));
    EXPECT_EQ(history.field(QStringLiteral("DateTimePicker2")).value().toDateTime(),
              QDateTime(day2, QTime(23, 59, 59)));
    EXPECT_EQ(column(history, 1), (QStringList{QStringLiteral("last"), QStringLiteral("first")}));
}

TEST_F(Queries, TheLogAndLedgerStartWithTheWholeOfToday) {
    shop.dm->WriteRZ(QStringLiteral("a"), QStringLiteral("admin"),
                     QDateTime(kNow.date(), QTime(0, 0)), {});
    shop.dm->WriteRZ(QStringLiteral("b"), QStringLiteral("admin"),
                     QDateTime(kNow.date().addDays(-1), QTime(23, 59, 59)), {});
    shop.dm->WriteRZ(QStringLiteral("c"), QStringLiteral("clerk"),
                     QDateTime(kNow.date(), QTime(23, 59, 59)), {});
    Tfrm_CHRZ log(context);
    log.FormShow();
    EXPECT_EQ(log.field(QStringLiteral("DateTimePicker1")).value().toDateTime(),
              QDateTime(kNow.date(), QTime(0, 0)));
    EXPECT_EQ(log.field(QStringLiteral("DateTimePicker2")).value().toDateTime(),
              QDateTime(kNow.date(), QTime(23, 59, 59)));
    EXPECT_EQ(column(log, 0),
              (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}));
    tick(log, QStringLiteral("CheckBox2"));
    log.Button2Click();
    EXPECT_EQ(column(log, 0), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    tick(log, QStringLiteral("CheckBox1"), QStringLiteral("ComboBox1"), QStringLiteral("clerk"));
    log.Button2Click();
    EXPECT_EQ(column(log, 0), QStringList{QStringLiteral("c")});
    EXPECT_EQ(column(log, 2).first(), QStringLiteral("2026/3/14 23:59:59"));
}

TEST_F(Queries, BooksByTypeStateAndMostLent) {
    book(QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("外国小说"),
         QStringLiteral("未借出"), 2);
    book(QStringLiteral("2"), QStringLiteral("b"), QStringLiteral("小说"), QStringLiteral("已借出"),
         9);
    book(QStringLiteral("3"), QStringLiteral("c"), QStringLiteral("历史"),
         QStringLiteral("破损遗失"), 5);
    Tfrm_QallBook books(context);
    books.FormShow();
    tick(books, QStringLiteral("CheckBox6"));
    books.Button2Click();
    EXPECT_EQ(column(books, 1),
              (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1")}));

    books.field(QStringLiteral("CheckBox6")).setValue(false);
    tick(books, QStringLiteral("CheckBox1"), QStringLiteral("ComboBox1"), QStringLiteral("小说"));
    books.Button2Click();
    EXPECT_EQ(column(books, 1), QStringList{QStringLiteral("2")});
    containsMode(books);
    books.Button2Click();
    EXPECT_EQ(column(books, 1), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));

    books.field(QStringLiteral("CheckBox1")).setValue(false);
    books.field(QStringLiteral("ComboBox2")).setValue(QStringLiteral("已借出"));
    tick(books, QStringLiteral("CheckBox3"));
    books.Button2Click();
    EXPECT_EQ(column(books, 1), QStringList{QStringLiteral("2")});
}

TEST_F(Queries, TypedTextIsSearchedForAndNeverBreaksTheStatement) {
    book(QStringLiteral("O'1"), QStringLiteral("it's 100% _fun_"), QStringLiteral("小说"),
         QStringLiteral("未借出"), 0);
    book(QStringLiteral("2"), QStringLiteral("plain"), QStringLiteral("小说"),
         QStringLiteral("未借出"), 0);
    Tfrm_QallBook books(context);
    books.FormShow();
    const QStringList hostile = {
        QStringLiteral("' OR '1'='1"), QStringLiteral("x'); DROP TABLE 图书; --"),
        QString(10000, QLatin1Char('z')), QStringLiteral("📚"), QStringLiteral("a\x01\x02b")};
    tick(books, QStringLiteral("CheckBox2"));
    for (int mode : {0, 1}) {
        books.field(QStringLiteral("RadioGroup1")).setValue(mode);
        for (const QString& text : hostile) {
            prompter.clear();
            books.field(QStringLiteral("Edit1")).setValue(text);
            books.Button2Click();
            EXPECT_EQ(prompter.single(), QStringLiteral("系统所有图书中没符合条件的记录!"))
                << text.left(30).toStdString();
        }
    }
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 2);
    prompter.clear();
    books.field(QStringLiteral("RadioGroup1")).setValue(0);
    books.field(QStringLiteral("Edit1")).setValue(QStringLiteral("it's 100% _fun_"));
    books.Button2Click();
    EXPECT_EQ(column(books, 1), QStringList{QStringLiteral("O'1")});
    // In contains mode "%" and "_" still act as wildcards.
    containsMode(books);
    books.field(QStringLiteral("Edit1")).setValue(QStringLiteral("p_a%n"));
    books.Button2Click();
    EXPECT_EQ(column(books, 1), QStringList{QStringLiteral("2")});
    // An empty value: exact matches the empty text, contains every row with a value.
    books.field(QStringLiteral("Edit1")).setValue(QString());
    books.Button2Click();
    EXPECT_EQ(books.results().rowCount(), 2);
    books.field(QStringLiteral("RadioGroup1")).setValue(0);
    prompter.clear();
    books.Button2Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("系统所有图书中没符合条件的记录!"));
}

TEST_F(Queries, ADatabaseFailureSaysSoAndTheScreenStaysUsable) {
    book(QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("小说"), QStringLiteral("未借出"),
         0);
    Tfrm_QallBook books(context);
    books.FormShow();
    shop.dm->disconnect();
    prompter.clear();
    books.Button2Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_EQ(books.results().rowCount(), 1) << "what was listed stays";
    shop.dm->connect();
    prompter.clear();
    books.Button2Click();
    EXPECT_TRUE(prompter.boxes().empty());
}

} // namespace
} // namespace lms
