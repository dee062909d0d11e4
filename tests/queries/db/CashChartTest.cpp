// The cash chart: per-day and per-month sums of money taken in and paid out equal the ledger's,
// the screen's choices and totals, and the permission that opens it with the money listing.
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "queries/CashTotals.h"
#include "queries/QueryScreens.h"
#include "queries/Tfrm_QMoneyChart.h"
#include "queries/db/QueryFixture.h"
#include "support/Moments.h"

#include <QRandomGenerator>
#include <map>

namespace lms {
namespace {

using test::at;

class CashChart : public test::QueryTest {
protected:
    struct Record {
        QDateTime when;
        QString event;
        double total;
    };

    // Writes ledger records through the data module, as the screens do, and remembers them.
    void write(const QDateTime& when, double total,
               const QString& event = QStringLiteral("读者还书")) {
        shop.dm->WriteZJ(event, QStringLiteral("admin"), when, static_cast<float>(total), 0, 0, 0,
                         0, 0);
        records.push_back({when, event, static_cast<double>(static_cast<float>(total))});
    }

    // The sums worked out from the records themselves, slot by slot.
    std::pair<QList<double>, QList<double>> expected(int year, int month) const {
        const int count = month > 0 ? QDate(year, month, 1).daysInMonth() : 12;
        QList<double> in(count, 0.0);
        QList<double> out(count, 0.0);
        for (const Record& r : records) {
            if (r.event == QStringLiteral("资金汇总") || r.when.date().year() != year ||
                (month > 0 && r.when.date().month() != month))
                continue;
            const int slot = (month > 0 ? r.when.date().day() : r.when.date().month()) - 1;
            (r.total > 0 ? in[slot] : out[slot]) += std::abs(r.total);
        }
        return {in, out};
    }

    static void expectSums(const CashSeries& series,
                           const std::pair<QList<double>, QList<double>>& sums) {
        ASSERT_EQ(series.takenIn.size(), sums.first.size());
        double in = 0;
        double out = 0;
        for (qsizetype i = 0; i < sums.first.size(); ++i) {
            EXPECT_NEAR(series.takenIn[i], sums.first[i], 1e-9) << "slot " << i + 1;
            EXPECT_NEAR(series.paidOut[i], sums.second[i], 1e-9) << "slot " << i + 1;
            in += sums.first[i];
            out += sums.second[i];
        }
        EXPECT_NEAR(series.totalIn, in, 1e-9);
        EXPECT_NEAR(series.totalOut, out, 1e-9);
    }

    std::vector<Record> records;
};

TEST_F(CashChart, DailyAndMonthlySumsEqualTheLedgers) {
    QRandomGenerator random(20260314);
    Transaction batch(db());
    for (int i = 0; i < 400; ++i) {
        const QDate day = QDate(2025, 12, 1).addDays(random.bounded(120));
        const QDateTime when(day, QTime(random.bounded(24), random.bounded(60), random.bounded(60),
                                        random.bounded(1000)));
        const double amount = (random.bounded(20001) - 6000) / 100.0; // −60.00 … 140.00
        write(when, amount, i % 7 == 0 ? QStringLiteral("缴费充值") : QStringLiteral("读者还书"));
    }
    // The edges of a month: its first and last moment count, the next month's first does not.
    write(at(2026, 2, 1, 0, 0), 7.25);
    write(at(2026, 2, 28, 23, 59, 59, 999), -3.5);
    write(at(2026, 3, 1, 0, 0), 11);
    // The summary that clearing the ledger leaves is no money of its day.
    write(at(2026, 2, 10, 9, 0), 5000, CashTotals::summaryEvent());
    batch.commit();

    for (const int month : {12, 1, 2, 3}) {
        const int year = month == 12 ? 2025 : 2026;
        SCOPED_TRACE(month);
        const CashSeries series = CashTotals::perDay(db(), year, month);
        EXPECT_EQ(series.labels.size(), QDate(year, month, 1).daysInMonth());
        EXPECT_EQ(series.labels.first(), QStringLiteral("1"));
        expectSums(series, expected(year, month));
    }
    const CashSeries year = CashTotals::perMonth(db(), 2026);
    EXPECT_EQ(
        year.labels,
        (QStringList{QStringLiteral("1月"), QStringLiteral("2月"), QStringLiteral("3月"),
                     QStringLiteral("4月"), QStringLiteral("5月"), QStringLiteral("6月"),
                     QStringLiteral("7月"), QStringLiteral("8月"), QStringLiteral("9月"),
                     QStringLiteral("10月"), QStringLiteral("11月"), QStringLiteral("12月")}));
    expectSums(year, expected(2026, 0));
    expectSums(CashTotals::perMonth(db(), 2025), expected(2025, 0));
    // The months of the year add up to the days of each month.
    EXPECT_NEAR(year.takenIn[1], CashTotals::perDay(db(), 2026, 2).totalIn, 1e-9);
}

TEST_F(CashChart, AnEmptyLedgerAndALeapFebruaryGiveZeroBars) {
    const CashSeries february = CashTotals::perDay(db(), 2028, 2);
    EXPECT_EQ(february.labels.size(), 29);
    EXPECT_EQ(february.title, QStringLiteral("2028年2月 每日收支"));
    EXPECT_EQ(february.takenIn, QList<double>(29, 0.0));
    EXPECT_EQ(february.paidOut, QList<double>(29, 0.0));
    EXPECT_EQ(february.totalIn, 0.0);
}

TEST_F(CashChart, TheScreenOpensOnThisMonthAndFollowsTheClerksChoice) {
    write(at(2026, 3, 2, 9, 0), 30);
    write(at(2026, 3, 14, 9, 0), 0.1);
    write(at(2026, 3, 14, 10, 0), -50);
    write(at(2026, 1, 5, 9, 0), 12.5);
    Tfrm_QMoneyChart chart(context);
    chart.field(QStringLiteral("SpinEdit1")).setValue(2001);
    chart.FormShow();
    EXPECT_EQ(chart.field(QStringLiteral("SpinEdit1")).number(), 2026);
    EXPECT_EQ(chart.field(QStringLiteral("SpinEdit2")).number(), 3);
    EXPECT_TRUE(chart.field(QStringLiteral("SpinEdit2")).isEnabled());
    EXPECT_EQ(chart.series(), CashTotals::perDay(db(), 2026, 3));
    EXPECT_EQ(chart.series().takenIn[13], static_cast<double>(0.1f));
    EXPECT_EQ(chart.field(QStringLiteral("Edit1")).text(), QStringLiteral("30.10"));
    EXPECT_EQ(chart.field(QStringLiteral("Edit2")).text(), QStringLiteral("50.00"));
    EXPECT_EQ(chart.field(QStringLiteral("Edit3")).text(), QStringLiteral("-19.90"));

    chart.field(QStringLiteral("SpinEdit2")).setValue(1);
    EXPECT_EQ(chart.series().totalIn, 12.5);
    EXPECT_EQ(chart.field(QStringLiteral("Edit1")).text(), QStringLiteral("12.50"));

    chart.field(QStringLiteral("RadioGroup1")).setValue(1);
    EXPECT_FALSE(chart.field(QStringLiteral("SpinEdit2")).isEnabled());
    EXPECT_EQ(chart.series(), CashTotals::perMonth(db(), 2026));
    EXPECT_EQ(chart.field(QStringLiteral("Edit1")).text(), QStringLiteral("42.60"));

    chart.field(QStringLiteral("SpinEdit1")).setValue(2025);
    EXPECT_EQ(chart.series().title, QStringLiteral("2025年 每月收支"));
    EXPECT_EQ(chart.field(QStringLiteral("Edit1")).text(), QStringLiteral("0.00"));
    EXPECT_TRUE(prompter.boxes().empty());

    // The mode is kept between openings; year and month start again at today's.
    chart.FormShow();
    EXPECT_EQ(chart.field(QStringLiteral("RadioGroup1")).number(), 1);
    EXPECT_EQ(chart.series(), CashTotals::perMonth(db(), 2026));
}

TEST_F(CashChart, ADatabaseFailureSaysSoAndKeepsTheBarsDrawn) {
    write(at(2026, 3, 2, 9, 0), 30);
    Tfrm_QMoneyChart chart(context);
    chart.FormShow();
    const CashSeries before = chart.series();
    failing.failOn(QStringLiteral("资金"));
    chart.run(QStringLiteral("Button2Click"));
    failing.clear();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_EQ(chart.series(), before);
    EXPECT_EQ(chart.field(QStringLiteral("Edit1")).text(), QStringLiteral("30.00"));
}

// Logs in through the real login screen, as the main window does.
class ChartGate : public CashChart {
protected:
    ChartGate()
        : main(*shop.dm, prompter, clock, host), login(*shop.dm, prompter, host, main),
          screens(context, main) {
        main.setLoginDialog(login);
    }
    void logIn(const QString& name) {
        host.script(login.objectName(), [name](FormModel& screen) {
            screen.field(QStringLiteral("userlist")).type(name);
            screen.field(QStringLiteral("PWDEdit")).type(QStringLiteral("pw"));
            screen.run(QStringLiteral("Button1Click"));
        });
        host.showModal(login);
    }
    bool enabled(const char* item) const { return main.field(QString::fromUtf8(item)).isEnabled(); }

    Tfrm_Main main;
    TfrmLogin login;
    QueryScreens screens;
};

TEST_F(ChartGate, TheMoneyPermissionOpensTheChartLikeTheMoneyListing) {
    EXPECT_FALSE(enabled("QMoneyChartMenu")) << "nothing before a login";
    shop.addUser(QStringLiteral("会计"), QStringLiteral("pw"), {23});
    shop.addUser(QStringLiteral("店员"), QStringLiteral("pw"), {4, 5, 17, 19, 20, 21, 22});
    logIn(QStringLiteral("会计"));
    EXPECT_TRUE(enabled("QAllMoneyMenu"));
    EXPECT_TRUE(enabled("QMoneyChartMenu"));
    main.run(QStringLiteral("QMoneyChartMenuClick"));
    EXPECT_EQ(host.shown().last(), QStringLiteral("frm_QMoneyChart"));

    logIn(QStringLiteral("店员"));
    EXPECT_FALSE(enabled("QAllMoneyMenu"));
    EXPECT_FALSE(enabled("QMoneyChartMenu"));
    const qsizetype shownBefore = host.shown().size();
    main.run(QStringLiteral("QMoneyChartMenuClick"));
    EXPECT_EQ(host.shown().size(), shownBefore) << "a disabled item opens nothing";
    EXPECT_EQ(Tfrm_Main::commandsOfFlag(23),
              (QStringList{QStringLiteral("QAllMoneyMenu"), QStringLiteral("QMoneyChartMenu"),
                           QStringLiteral("DayCloseMenu")}));
    EXPECT_EQ(Tfrm_Main::commandsOfFlag(22),
              (QStringList{QStringLiteral("QallReaderMenu"), QStringLiteral("ReaderCardMenu")}));
}

} // namespace
} // namespace lms
