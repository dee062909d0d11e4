// The day close: its totals are the money listing's for the same day and clerk to the cent, the
// day ends at 23:59:59.999, cash is told apart from deposits as the desk's operations write the
// ledger, the day's operations are counted from their log records, and the money permission
// opens it with the money listing.
#include "books/Tfrm_TJBook.h"
#include "circulation/Tfrm_JNZC.h"
#include "circulation/Tfrm_TZHBook.h"
#include "circulation/Tfrm_TZJBook.h"
#include "core/Tdm_Dbase.h"
#include "core/pubdata.h"
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "queries/QueryScreens.h"
#include "queries/Tfrm_DayClose.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/db/QueryFixture.h"
#include "readers/Tfrm_SZReader.h"
#include "readers/Tfrm_TJReader.h"
#include "support/LoginScript.h"

#include <QRandomGenerator>
#include <algorithm>

namespace lms {
namespace {

using test::at;

const QString kZhang = QStringLiteral("张三");
const QString kLi = QStringLiteral("李四");
const QString kAdmin = QStringLiteral("admin");

// The six totals as one line: 资金总计 开户费 押金 租金 逾期罚款 破损遗失赔偿.
std::string totalsOf(const FormModel& screen) {
    QStringList texts;
    for (int i = 1; i <= 6; ++i)
        texts << screen.field(QStringLiteral("Edit%1").arg(i)).text();
    return texts.join(QLatin1Char(' ')).toStdString();
}

class DayCloseTest : public test::QueryTest {
protected:
    void write(const QString& event, const QString& clerk, const QDateTime& when,
               const LedgerAmounts& amounts) {
        shop.dm->appendLedger(event, clerk, when, amounts, {});
    }
    void log(const QString& event, const QString& clerk, const QDateTime& when) {
        shop.dm->appendLog(event, clerk, when, QString());
    }

    // The money listing's totals for the whole of `day`, of one clerk or of all.
    std::string listingTotals(const QDate& day, const std::optional<QString>& clerk) {
        Tfrm_QallMoney money(context);
        money.FormShow();
        money.field(QStringLiteral("CheckBox2")).setValue(true);
        money.field(QStringLiteral("DateTimePicker1")).setValue(QDateTime(day, QTime(0, 0)));
        money.field(QStringLiteral("DateTimePicker2")).setValue(QDateTime(day, QTime(23, 59, 59)));
        money.field(QStringLiteral("CheckBox1")).setValue(clerk.has_value());
        money.field(QStringLiteral("ComboBox1")).setValue(clerk.value_or(QString()));
        money.Button2Click();
        return totalsOf(money);
    }

    // The day close's screen on `day` for one clerk or all.
    void choose(Tfrm_DayClose& close, const QDate& day, const std::optional<QString>& clerk) {
        close.DateTimePicker1.setValue(QDateTime(day, QTime(0, 0)));
        close.ComboBox1.setValue(clerk.value_or(Tfrm_DayClose::everyClerk()));
    }
};

TEST_F(DayCloseTest, ItsTotalsAreTheMoneyListingsForEachDayAndClerk) {
    // Amounts of three decimals round both ways in the two-decimal form; 0.125 and a widened
    // 0.1 are the awkward ones, a missing fine counts as 0.
    QRandomGenerator random(20261209);
    const QString clerks[] = {kZhang, kLi, kAdmin};
    const QString events[] = {QStringLiteral("添加读者"), QStringLiteral("缴费充值"),
                              QStringLiteral("读者还书"), QStringLiteral("删除读者退回押金")};
    const auto amount = [&random] { return (random.bounded(200001) - 50000) / 1000.0; };
    Transaction batch(db());
    for (int i = 0; i < 600; ++i) {
        const QDateTime when(QDate(2026, 3, 12).addDays(random.bounded(3)),
                             QTime(random.bounded(24), random.bounded(60), random.bounded(60),
                                   random.bounded(1000)));
        write(events[random.bounded(4)], clerks[random.bounded(3)], when,
              {.total = amount(),
               .openingFee = amount(),
               .deposit = amount(),
               .rent = amount(),
               .fine = amount(),
               .compensation = amount()});
    }
    write(QStringLiteral("缴费充值"), kLi, at(2026, 3, 13, 9, 0),
          {.total = 0.125, .deposit = static_cast<double>(0.1f), .rent = 0.125});
    test::addLedger(db(), QStringLiteral("读者还书"),
                    {{QStringLiteral("操作者"), kZhang},
                     {QStringLiteral("时间"), stored(at(2026, 3, 13, 9, 5))},
                     {QStringLiteral("金额总计"), 2.675},
                     {QStringLiteral("逾期罚款"), QVariant()}});
    // A cleared ledger's summary counts in the listing, so in the totals too.
    write(QStringLiteral("资金汇总"), kAdmin, at(2026, 3, 14, 8, 0),
          {.total = 123456.78, .openingFee = 1000.5, .deposit = -70, .rent = 0.01});
    batch.commit();

    struct Case {
        QDate day;
        std::optional<QString> clerk;
    };
    const Case cases[] = {
        {QDate(2026, 3, 12), std::nullopt}, {QDate(2026, 3, 12), kZhang},
        {QDate(2026, 3, 12), kLi},          {QDate(2026, 3, 13), std::nullopt},
        {QDate(2026, 3, 13), kZhang},       {QDate(2026, 3, 13), kLi},
        {QDate(2026, 3, 13), kAdmin},       {QDate(2026, 3, 14), std::nullopt},
        {QDate(2026, 3, 14), kAdmin},       {QDate(2026, 3, 14), kLi},
    };
    Tfrm_DayClose close(context);
    close.FormShow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.day.toString(Qt::ISODate).toStdString() + " " +
                     c.clerk.value_or(QStringLiteral("全部")).toStdString());
        choose(close, c.day, c.clerk);
        const std::string expected = listingTotals(c.day, c.clerk);
        EXPECT_EQ(totalsOf(close), expected);
        EXPECT_NE(expected.substr(0, 5), "0.00 ") << "the case has records";
    }
    EXPECT_TRUE(prompter.boxes().empty());
    // Every clerk's figures add up to the day's.
    choose(close, QDate(2026, 3, 13), std::nullopt);
    CentSum clerksTotal;
    for (const ClerkDay& clerk : close.shown()->clerks)
        clerksTotal.add(clerk.money.columns[0]);
    EXPECT_EQ(clerksTotal.text(), close.Edit1.text());
    EXPECT_EQ(close.shown()->clerks.size(), 3u);
}

TEST_F(DayCloseTest, TheDayRunsFromMidnightTo235959999) {
    write(QStringLiteral("缴费充值"), kZhang, at(2026, 3, 12, 23, 59, 59, 999), {.total = 30});
    write(QStringLiteral("缴费充值"), kZhang, at(2026, 3, 13, 0, 0, 0, 0), {.total = 80});
    write(QStringLiteral("缴费充值"), kZhang, at(2026, 3, 13, 23, 59, 59, 999), {.total = 300});
    write(QStringLiteral("缴费充值"), kZhang, at(2026, 3, 14, 0, 0, 0, 0), {.total = 5});
    log(QStringLiteral("读者借书"), kZhang, at(2026, 3, 12, 23, 59, 59, 999));
    log(QStringLiteral("读者借书"), kZhang, at(2026, 3, 13, 0, 0, 0, 0));
    log(QStringLiteral("读者借书"), kZhang, at(2026, 3, 14, 0, 0, 0, 0));

    struct Case {
        QDate day;
        const char* total;
        int loans;
    };
    const Case cases[] = {{QDate(2026, 3, 12), "30.00", 1},
                          {QDate(2026, 3, 13), "380.00", 1},
                          {QDate(2026, 3, 14), "5.00", 1},
                          {QDate(2026, 3, 11), "0.00", 0}};
    for (const Case& c : cases) {
        const DayClose figures = DayCloseStore::read(db(), c.day, std::nullopt);
        EXPECT_EQ(figures.total.money.columns[0].text(), QString::fromUtf8(c.total)) << c.total;
        EXPECT_EQ(figures.total.counts.loans, c.loans) << c.total;
    }
    EXPECT_EQ(DayCloseStore::dayStart(QDate(2026, 3, 13)),
              QStringLiteral("2026-03-13 00:00:00.000"));
    EXPECT_EQ(DayCloseStore::dayEnd(QDate(2026, 3, 13)), QStringLiteral("2026-03-13 23:59:59.999"));
}

TEST_F(DayCloseTest, TheDaysOperationsAreCountedFromTheirLogRecordsPerClerk) {
    const QDateTime day = at(2026, 3, 14, 9, 0);
    const std::pair<const char*, int> logged[] = {
        {"添加读者", 3},
        {"读者借书", 5},
        {"读者归书", 4},
        {"缴费充值", 2},
        {"删除读者", 1},
        // Not counted: other operations, and the ledger's own word for a return.
        {"更改读者信息", 6},
        {"读者还书", 7},
        {"添加图书", 2}};
    int minute = 0;
    for (const auto& [event, times] : logged) {
        for (int i = 0; i < times; ++i)
            log(QString::fromUtf8(event), i % 2 == 0 ? kZhang : kLi, day.addSecs(60 * ++minute));
    }
    log(QStringLiteral("读者借书"), kZhang, at(2026, 3, 13, 12, 0)); // another day

    const DayClose all = DayCloseStore::read(db(), day.date(), std::nullopt);
    EXPECT_EQ(all.total.counts, (DayCounts{3, 5, 4, 2, 1}));
    ASSERT_EQ(all.clerks.size(), 2u);
    const DayClose zhang = DayCloseStore::read(db(), day.date(), kZhang);
    EXPECT_EQ(zhang.total.counts, (DayCounts{2, 3, 2, 1, 1}));
    EXPECT_EQ(DayCloseStore::read(db(), day.date(), kLi).total.counts, (DayCounts{1, 2, 2, 1, 0}));
    EXPECT_EQ(zhang.clerks.size(), 1u);

    Tfrm_DayClose close(context);
    close.FormShow();
    EXPECT_EQ(close.CountTJReader.text(), QStringLiteral("3"));
    EXPECT_EQ(close.CountTZJBook.text(), QStringLiteral("5"));
    EXPECT_EQ(close.CountTZHBook.text(), QStringLiteral("4"));
    EXPECT_EQ(close.CountJNZC.text(), QStringLiteral("2"));
    EXPECT_EQ(close.CountSZReader.text(), QStringLiteral("1"));
    // A clerk with log records only is offered too, after the shop's users.
    EXPECT_EQ(close.ComboBox1.items(),
              (QStringList{Tfrm_DayClose::everyClerk(), kAdmin, kZhang, kLi}));
}

// The desk's own operations by two clerks: what came in as cash, what was taken from deposits,
// deposits taken in and paid back, by kind.
class DayCloseAtTheDesk : public DayCloseTest {
protected:
    DayCloseAtTheDesk() {
        const QString appPath = shop.pub.AppPath;
        shop.pub = PubData::defaultSettings();
        shop.pub.AppPath = appPath;
    }

    void as(const QString& clerk) { shop.pub.CurrentUser = clerk; }
    void registerReader(const QString& id) {
        Tfrm_TJReader s(context);
        s.FormShow();
        s.field(QStringLiteral("rx")).setItemIndex(0); // 包月: fee 10, deposit 100, rent 30
        s.field(QStringLiteral("ID")).type(id);
        s.field(QStringLiteral("xm")).setValue(QStringLiteral("王五"));
        s.field(QStringLiteral("xp")).setItemIndex(0);
        s.Button1Click();
        ASSERT_EQ(prompter.lastText(), QStringLiteral("添加读者成功!"));
    }
    void registerBook(const QString& id) {
        Tfrm_TJBook s(context);
        s.FormShow();
        s.field(QStringLiteral("tsrx")).setItemIndex(0);
        s.field(QStringLiteral("id")).type(id);
        s.field(QStringLiteral("tsmz")).setValue(QStringLiteral("红楼梦"));
        s.field(QStringLiteral("tsjg")).setValue(QStringLiteral("25.5"));
        s.Button1Click();
        ASSERT_EQ(prompter.lastText(), QStringLiteral("添加图书成功!"));
    }
    void lend(const QString& reader, const QString& book) {
        Tfrm_TZJBook s(context);
        s.FormShow();
        s.field(QStringLiteral("tzID")).type(reader);
        s.field(QStringLiteral("tsID")).type(book);
        s.Button1Click();
        ASSERT_EQ(prompter.lastText(), QStringLiteral("图书借出成功!"));
    }
    // Comes back damaged: 25.50 of compensation, in cash or from the deposit.
    void giveBackDamaged(const QString& book, bool fromDeposit) {
        Tfrm_TZJBook borrowing(context);
        Tfrm_TZHBook s(context, borrowing);
        s.FormShow();
        s.field(QStringLiteral("tsID")).type(book);
        s.field(QStringLiteral("psyx")).setValue(true);
        s.field(QStringLiteral("cyjhz")).setValue(fromDeposit);
        s.Button1Click();
        ASSERT_EQ(prompter.lastText(), QStringLiteral("图书归还成功!"));
    }
    void pay(const QString& reader, const QString& rent, const QString& depositChange) {
        Tfrm_JNZC s(context);
        s.FormShow();
        s.field(QStringLiteral("ID")).type(reader);
        s.field(QStringLiteral("ZJ")).setValue(rent);
        s.field(QStringLiteral("ZJYJ")).setValue(depositChange);
        s.Button2Click();
        ASSERT_EQ(prompter.lastText(), QStringLiteral("读者缴费充值成功!"));
    }
    void deleteReader(const QString& reader) {
        Tfrm_SZReader s(context);
        s.FormShow();
        s.field(QStringLiteral("tzID")).type(reader);
        s.Button1Click();
        ASSERT_TRUE(prompter.lastText().startsWith(QStringLiteral("删除读者成功!")))
            << prompter.lastText().toStdString();
    }
};

TEST_F(DayCloseAtTheDesk, CashIsToldApartFromMoneyTakenFromDeposits) {
    as(kZhang);
    ASSERT_NO_FATAL_FAILURE(registerReader(QStringLiteral("R0000001"))); // 140 cash
    ASSERT_NO_FATAL_FAILURE(registerReader(QStringLiteral("R0000002"))); // 140 cash
    ASSERT_NO_FATAL_FAILURE(registerBook(QStringLiteral("B0000001")));
    ASSERT_NO_FATAL_FAILURE(registerBook(QStringLiteral("B0000002")));
    ASSERT_NO_FATAL_FAILURE(lend(QStringLiteral("R0000001"), QStringLiteral("B0000001")));
    ASSERT_NO_FATAL_FAILURE(lend(QStringLiteral("R0000001"), QStringLiteral("B0000002")));
    ASSERT_NO_FATAL_FAILURE(giveBackDamaged(QStringLiteral("B0000001"), false)); // 25.50 cash
    ASSERT_NO_FATAL_FAILURE(deleteReader(QStringLiteral("R0000002")));           // −100 cash
    as(kLi);
    ASSERT_NO_FATAL_FAILURE(giveBackDamaged(QStringLiteral("B0000002"), true)); // from deposit
    // A renewal that pays part of the deposit back: 30 of rent less 20 of deposit in cash.
    ASSERT_NO_FATAL_FAILURE(
        pay(QStringLiteral("R0000001"), QStringLiteral("30"), QStringLiteral("-20")));
    prompter.clear();

    Tfrm_DayClose close(context);
    close.FormShow();
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(close.xjsr.text(), QStringLiteral("315.50")); // 140 + 140 + 25.50 + 10
    EXPECT_EQ(close.xjzc.text(), QStringLiteral("-100.00"));
    EXPECT_EQ(close.cyjkc.text(), QStringLiteral("25.50"));
    EXPECT_EQ(close.yjsr.text(), QStringLiteral("200.00"));
    EXPECT_EQ(close.yjth.text(), QStringLiteral("-120.00")); // the deletion and the renewal
    EXPECT_EQ(totalsOf(close), "215.50 20.00 54.50 90.00 0.00 51.00");
    EXPECT_FALSE(close.zjhz.isVisible());
    // What the kinds brought less what went back is the cash, less what deposits paid.
    const DayMoney& money = close.shown()->total.money;
    EXPECT_EQ(money.cashIn.cents() + money.cashOut.cents(),
              money.columns[1].cents() + money.depositsIn.cents() + money.depositsRefunded.cents() +
                  money.columns[3].cents() + money.columns[4].cents() + money.columns[5].cents() -
                  money.fromDeposits.cents());

    choose(close, clock.now().date(), kLi);
    EXPECT_EQ(close.xjsr.text(), QStringLiteral("10.00"));
    EXPECT_EQ(close.cyjkc.text(), QStringLiteral("25.50"));
    EXPECT_EQ(close.yjth.text(), QStringLiteral("-20.00"));
    EXPECT_EQ(close.Edit6.text(), QStringLiteral("25.50"));
    EXPECT_EQ(close.CountTZHBook.text(), QStringLiteral("1"));
    EXPECT_EQ(close.CountJNZC.text(), QStringLiteral("1"));
    EXPECT_EQ(close.CountTZJBook.text(), QStringLiteral("0"));
    choose(close, clock.now().date(), kZhang);
    EXPECT_EQ(close.xjsr.text(), QStringLiteral("305.50"));
    EXPECT_EQ(close.cyjkc.text(), QStringLiteral("0.00"));
    EXPECT_EQ(close.CountTJReader.text(), QStringLiteral("2"));
    EXPECT_EQ(close.CountTZJBook.text(), QStringLiteral("2"));
    EXPECT_EQ(close.CountSZReader.text(), QStringLiteral("1"));
    EXPECT_EQ(totalsOf(close), listingTotals(clock.now().date(), kZhang));
}

TEST_F(DayCloseTest, TheGridHasARowPerClerkAndTheirSumAndTheSlipALineToSign) {
    shop.addUser(kLi, QStringLiteral("pw"), {});
    write(QStringLiteral("缴费充值"), kLi, at(2026, 3, 14, 9, 0), {.total = 30, .rent = 30});
    write(QStringLiteral("缴费充值"), QStringLiteral("已删除的店员"), at(2026, 3, 14, 9, 30),
          {.total = 80, .rent = 80});
    write(QStringLiteral("资金汇总"), kAdmin, at(2026, 3, 14, 9, 40), {.total = 999});
    shop.pub.ShopName = QStringLiteral("书香租书店");
    Tfrm_DayClose close(context);
    close.FormShow();
    DayCloseTable& grid = close.table();
    ASSERT_EQ(grid.rowCount(), 4);
    // The shop's users first in their order, then a clerk no longer among them, then the sum.
    EXPECT_EQ(grid.cellText(0, 0), kAdmin);
    EXPECT_EQ(grid.cellText(1, 0), kLi);
    EXPECT_EQ(grid.cellText(2, 0), QStringLiteral("已删除的店员"));
    EXPECT_EQ(grid.cellText(3, 0), QStringLiteral("合计"));
    EXPECT_EQ(grid.cellText(3, 1), QStringLiteral("1109.00"));
    EXPECT_EQ(grid.cellText(3, 2), QStringLiteral("110.00")) << "the summary is no cash";
    EXPECT_EQ(grid.cellText(3, 8), QStringLiteral("110.00"));
    EXPECT_EQ(grid.cellText(1, 14), QStringLiteral("0"));
    EXPECT_TRUE(close.zjhz.isVisible());
    EXPECT_EQ(close.zjhz.text(), QStringLiteral("999.00"));

    close.Button3Click();
    ASSERT_EQ(prompter.printed().size(), 1u);
    const Printout& slip = prompter.printed().front().printout;
    EXPECT_EQ(slip.paper, Printout::Paper::Slip);
    EXPECT_EQ(slip.title, QStringLiteral("当日结账"));
    EXPECT_EQ(slip.headLines, QStringList{QStringLiteral("书香租书店")});
    const auto line = [&slip](const QString& label) {
        for (const PrintoutLine& l : slip.lines)
            if (l.label == label)
                return l.value;
        return QStringLiteral("(none)");
    };
    EXPECT_EQ(line(QStringLiteral("操作人员：")), QStringLiteral("全部"));
    EXPECT_EQ(line(QStringLiteral("租金(元)：")), QStringLiteral("110.00"));
    EXPECT_EQ(line(QStringLiteral("现金收入(元)：")), QStringLiteral("110.00"));
    EXPECT_EQ(line(QStringLiteral("资金汇总(元)：")), QStringLiteral("999.00"));
    EXPECT_EQ(line(QStringLiteral("资金总计(元)：")), QStringLiteral("1109.00"));
    EXPECT_EQ(line(QStringLiteral("缴费充值：")), QStringLiteral("0 笔"));
    EXPECT_EQ(line(QStringLiteral("李四 资金总计(元)：")), QStringLiteral("30.00"));
    EXPECT_EQ(slip.lines.back().label, QStringLiteral("签字："));

    // One clerk's slip names the clerk and no one else.
    choose(close, QDate(2026, 3, 14), kLi);
    ASSERT_EQ(grid.rowCount(), 1);
    close.Button3Click();
    const Printout& own = prompter.printed().back().printout;
    const auto has = [&own](const QString& label) {
        return std::any_of(own.lines.begin(), own.lines.end(),
                           [&label](const PrintoutLine& l) { return l.label == label; });
    };
    EXPECT_TRUE(has(QStringLiteral("操作人员：")));
    EXPECT_FALSE(has(QStringLiteral("李四 资金总计(元)：")));
    EXPECT_FALSE(has(QStringLiteral("资金汇总(元)：")));
}

TEST_F(DayCloseTest, ItOpensOnTodayForEveryClerkAndADatabaseFailureLeavesNothingToSign) {
    write(QStringLiteral("缴费充值"), kLi, at(2026, 3, 13, 9, 0), {.total = 30});
    Tfrm_DayClose close(context);
    close.FormShow();
    choose(close, QDate(2026, 3, 13), kLi);
    EXPECT_EQ(close.Edit1.text(), QStringLiteral("30.00"));
    // Shown again: today, every clerk.
    close.FormShow();
    EXPECT_EQ(close.DateTimePicker1.value().toDateTime().date(), kNow.date());
    EXPECT_EQ(close.ComboBox1.text(), Tfrm_DayClose::everyClerk());
    EXPECT_EQ(close.Edit1.text(), QStringLiteral("0.00"));
    // A clerk of another day only is not offered today; the choice falls back to every clerk.
    EXPECT_FALSE(close.ComboBox1.items().contains(kLi));

    failing.failOn(QStringLiteral("资金"));
    close.run(QStringLiteral("Button2Click"));
    failing.clear();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_FALSE(close.shown().has_value());
    EXPECT_EQ(close.Edit1.text(), QString());
    EXPECT_EQ(close.table().rowCount(), 0);
    prompter.clear();
    close.Button3Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("没有可打印的记录!"));
    EXPECT_TRUE(prompter.printed().empty());
}

// Logs in through the real login screen, as the main window does.
class DayCloseGate : public DayCloseTest {
protected:
    DayCloseGate()
        : main(*shop.dm, prompter, clock, host), login(*shop.dm, prompter, host, main),
          screens(context, main) {
        main.setLoginDialog(login);
    }
    bool enabled(const char* item) const { return main.field(QString::fromUtf8(item)).isEnabled(); }

    Tfrm_Main main;
    TfrmLogin login;
    QueryScreens screens;
};

TEST_F(DayCloseGate, TheMoneyPermissionOpensTheDayCloseLikeTheMoneyListing) {
    EXPECT_FALSE(enabled("DayCloseMenu")) << "nothing before a login";
    shop.addUser(QStringLiteral("会计"), QStringLiteral("pw"), {23});
    shop.addUser(QStringLiteral("店员"), QStringLiteral("pw"), {4, 5, 6, 9, 17, 19, 20, 21, 22});
    ASSERT_TRUE(test::logIn(host, login, QStringLiteral("会计"), QStringLiteral("pw")));
    EXPECT_TRUE(enabled("DayCloseMenu"));
    main.run(QStringLiteral("DayCloseMenuClick"));
    EXPECT_EQ(host.shown().last(), QStringLiteral("frm_DayClose"));

    ASSERT_TRUE(test::logIn(host, login, QStringLiteral("店员"), QStringLiteral("pw")));
    EXPECT_FALSE(enabled("QAllMoneyMenu"));
    EXPECT_FALSE(enabled("DayCloseMenu"));
    const qsizetype shownBefore = host.shown().size();
    main.run(QStringLiteral("DayCloseMenuClick"));
    EXPECT_EQ(host.shown().size(), shownBefore) << "a disabled item opens nothing";
    EXPECT_TRUE(Tfrm_Main::commandsOfFlag(23).contains(QStringLiteral("DayCloseMenu")));
    // It sits under 查询统计.
    bool listed = false;
    for (const Tfrm_Main::Menu& menu : Tfrm_Main::menus())
        for (const Tfrm_Main::MenuItem& item : menu.items)
            listed = listed || (QString::fromUtf8(item.name) == QStringLiteral("DayCloseMenu") &&
                                QString::fromUtf8(menu.caption) == QStringLiteral("查询统计") &&
                                QString::fromUtf8(item.caption) == QStringLiteral("当日结账"));
    EXPECT_TRUE(listed);
}

} // namespace
} // namespace lms
