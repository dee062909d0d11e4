// "催还与到期": which loans are late and which readers run out of validity today, around
// midnight and at the reminder boundary; the fine as the return screen charges it; and the
// status bar's counts after a login, for those who may open the list.
#include "queries/CallList.h"
#include "circulation/Tfrm_TZHBook.h"
#include "circulation/Tfrm_TZJBook.h"
#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "core/screens/Tfrm_Main.h"
#include "queries/QueryScreens.h"
#include "queries/Tfrm_QCallList.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

class CallListTest : public ::testing::Test {
protected:
    CallListTest() : context{*shop.dm, shop.pub, prompter, clock, host} {
        shop.pub.OverdueFinePerDay = 0.5f;
        shop.pub.ExpiryReminderDays = 3;
    }

    Database& db() { return shop.dm->db(); }
    static QString stored(const QDateTime& moment) { return Dates::toStorage(moment); }

    void loanDue(const QString& book, const QString& reader, const QDateTime& due) {
        test::addLoan(db(), book, reader,
                      {{QStringLiteral("借出日期"), stored(due.addDays(-30))},
                       {QStringLiteral("最晚归还日期"), stored(due)}});
    }
    void readerUntil(const QString& id, const QDateTime& validity, int booksOut,
                     const QString& type = QStringLiteral("包月"),
                     const QString& state = QStringLiteral("正常使用")) {
        test::addReader(db(), id,
                        {{QStringLiteral("借阅有效期"), stored(validity)},
                         {QStringLiteral("未还数量"), booksOut},
                         {QStringLiteral("读者类型"), type},
                         {QStringLiteral("当前状态"), state},
                         {QStringLiteral("电话"), QStringLiteral("139") + id}});
    }
    // The listed values of one column, row by row.
    QStringList column(Tfrm_QCallList& screen, const QString& heading) {
        QStringList cells;
        for (int row = 0; row < screen.results().rowCount(); ++row) {
            const auto& columns = screen.definition().columns;
            for (std::size_t c = 0; c < columns.size(); ++c)
                if (columns[c].caption == heading)
                    cells << screen.results().cellText(row, static_cast<int>(c));
        }
        return cells;
    }
    void chooseReaders(Tfrm_QCallList& screen) {
        screen.RadioGroup1.setValue(Tfrm_QCallList::ExpiringReaders);
    }

    test::ShopDatabase shop;
    test::ScriptedPrompter prompter;
    test::FixedClock clock{at(2026, 3, 14, 0, 0, 0, 0)};
    test::ScriptedHost host;
    ScreenContext context;
};

TEST_F(CallListTest, ALoanIsLateFromTheDayAfterItsDueDayWhateverTheHour) {
    readerUntil(QStringLiteral("R1"), at(2026, 6, 1), 4);
    loanDue(QStringLiteral("B-today-2359"), QStringLiteral("R1"), at(2026, 3, 14, 23, 59));
    loanDue(QStringLiteral("B-today-0000"), QStringLiteral("R1"), at(2026, 3, 14, 0, 0));
    loanDue(QStringLiteral("B-yday-2359"), QStringLiteral("R1"), at(2026, 3, 13, 23, 59, 59, 999));
    loanDue(QStringLiteral("B-5days"), QStringLiteral("R1"), at(2026, 3, 9, 8, 15));
    struct Case {
        QDateTime now;
        QStringList late;
        QStringList days;
    };
    const Case cases[] = {
        // The first moment of the day, then its last: the same loans, the same days.
        {at(2026, 3, 14, 0, 0, 0, 0),
         {QStringLiteral("B-5days"), QStringLiteral("B-yday-2359")},
         {QStringLiteral("5"), QStringLiteral("1")}},
        {at(2026, 3, 14, 23, 59, 59, 999),
         {QStringLiteral("B-5days"), QStringLiteral("B-yday-2359")},
         {QStringLiteral("5"), QStringLiteral("1")}},
        // A minute past midnight all of yesterday's loans are late.
        {at(2026, 3, 15, 0, 0, 0, 0),
         {QStringLiteral("B-5days"), QStringLiteral("B-yday-2359"), QStringLiteral("B-today-0000"),
          QStringLiteral("B-today-2359")},
         {QStringLiteral("6"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("1")}},
    };
    Tfrm_QCallList screen(context);
    for (const Case& c : cases) {
        clock.set(c.now);
        screen.FormShow();
        EXPECT_EQ(column(screen, QStringLiteral("图书编号")), c.late)
            << c.now.toString().toStdString();
        EXPECT_EQ(column(screen, QStringLiteral("超期天数")), c.days);
        EXPECT_EQ(CallList::count(db(), c.now, shop.pub).overdueLoans, c.late.size());
    }
    EXPECT_EQ(column(screen, QStringLiteral("联系电话")).value(0), QStringLiteral("139R1"));
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(CallListTest, TheFineIsWhatTheReturnScreenWouldChargeToday) {
    shop.pub.OverdueFinePerDay = 0.3f; // shown widened, as the return screen shows it
    // Before noon, due after noon: the loans listing's rounding would count 6 days.
    clock.set(at(2026, 3, 14, 10, 0));
    test::addBook(db(), QStringLiteral("B1"),
                  {{QStringLiteral("当前状态"), QStringLiteral("已借出")}});
    readerUntil(QStringLiteral("R1"), at(2026, 6, 1), 1);
    loanDue(QStringLiteral("B1"), QStringLiteral("R1"), at(2026, 3, 7, 18, 0));

    Tfrm_QCallList list(context);
    list.FormShow();
    Tfrm_TZJBook borrowing(context);
    Tfrm_TZHBook returning(context, borrowing);
    returning.FormShow();
    returning.field(QStringLiteral("tsID")).type(QStringLiteral("B1"));
    returning.CheckisHavebookClick();

    ASSERT_EQ(list.results().rowCount(), 1);
    EXPECT_EQ(returning.cqts.text(), QStringLiteral("7"));
    EXPECT_EQ(column(list, QStringLiteral("超期天数")), QStringList{returning.cqts.text()});
    EXPECT_EQ(column(list, QStringLiteral("超期罚款(元)")), QStringList{returning.cqfh.text()});
}

TEST_F(CallListTest, ReadersAreNamedWhenFewerDaysAreLeftThanTheReminderDays) {
    clock.set(at(2026, 3, 14, 0, 0, 0, 0));
    readerUntil(QStringLiteral("today"), at(2026, 3, 14, 23, 59), 0);
    readerUntil(QStringLiteral("left2"), at(2026, 3, 16, 23, 59, 59, 999), 0);
    readerUntil(QStringLiteral("left3"), at(2026, 3, 17, 0, 0, 0, 0), 2);
    readerUntil(QStringLiteral("left4"), at(2026, 3, 18, 9, 0), 0);
    // A pay-per-day reader has no validity to run out, and a reader holding nothing whose
    // validity grows while idle is not running out either.
    readerUntil(QStringLiteral("daily"), at(2026, 3, 14, 9, 0), 1, QStringLiteral("按日租借"));
    readerUntil(QStringLiteral("idle"), at(2026, 3, 15, 9, 0), 0, QStringLiteral("包月"),
                QStringLiteral("自动延期"));
    struct Case {
        int reminderDays;
        QStringList named;
        QStringList left;
    };
    const Case cases[] = {
        {3,
         {QStringLiteral("today"), QStringLiteral("left2")},
         {QStringLiteral("0"), QStringLiteral("2")}},
        {4,
         {QStringLiteral("today"), QStringLiteral("left2"), QStringLiteral("left3")},
         {QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("3")}},
        {0, {}, {}},
    };
    Tfrm_QCallList screen(context);
    chooseReaders(screen);
    for (const Case& c : cases) {
        shop.pub.ExpiryReminderDays = c.reminderDays;
        prompter.clear();
        screen.FormShow();
        EXPECT_EQ(column(screen, QStringLiteral("读者编号")), c.named) << c.reminderDays;
        EXPECT_EQ(column(screen, QStringLiteral("剩余天数")), c.left);
        EXPECT_EQ(CallList::count(db(), clock.now(), shop.pub).expiringReaders, c.named.size());
    }
    // Nobody to name says so.
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("今天没有租借有效期即将到期的读者!")});
}

TEST_F(CallListTest, AnExpiredReaderIsNamedOnlyWhileHoldingBooks) {
    clock.set(at(2026, 3, 14, 23, 59, 59, 999));
    readerUntil(QStringLiteral("out"), at(2026, 3, 13, 23, 59, 59, 999), 1);
    readerUntil(QStringLiteral("none"), at(2026, 3, 1, 10, 0), 0);
    readerUntil(QStringLiteral("suspended"), at(2026, 2, 1, 10, 0), 3, QStringLiteral("包年"),
                QStringLiteral("暂停使用"));
    Tfrm_QCallList screen(context);
    chooseReaders(screen);
    EXPECT_EQ(column(screen, QStringLiteral("读者编号")),
              (QStringList{QStringLiteral("suspended"), QStringLiteral("out")}));
    EXPECT_EQ(column(screen, QStringLiteral("剩余天数")),
              (QStringList{QStringLiteral("-41"), QStringLiteral("-1")}));
    EXPECT_EQ(column(screen, QStringLiteral("未还图书")),
              (QStringList{QStringLiteral("3"), QStringLiteral("1")}));
    EXPECT_EQ(column(screen, QStringLiteral("联系电话")).value(1), QStringLiteral("139out"));
}

TEST_F(CallListTest, TheStatusBarCountsBothListsOnlyForWhoMayOpenThem) {
    clock.set(at(2026, 3, 14, 9, 0));
    readerUntil(QStringLiteral("R1"), at(2026, 3, 15, 9, 0), 2);
    readerUntil(QStringLiteral("R2"), at(2026, 3, 1, 9, 0), 1);
    loanDue(QStringLiteral("B1"), QStringLiteral("R1"), at(2026, 3, 13, 9, 0));
    loanDue(QStringLiteral("B2"), QStringLiteral("R1"), at(2026, 3, 14, 8, 0));
    loanDue(QStringLiteral("B3"), QStringLiteral("R2"), at(2026, 2, 1, 9, 0));
    Tfrm_Main main(*shop.dm, prompter, clock, host);
    QueryScreens queries(context, main);

    main.setFlagEnabled(20, true);
    main.CXLoginClick();
    EXPECT_EQ(main.StatusPanel5.text(), QStringLiteral("今日：超期未还 2 本，即将到期读者 2 人"));
    EXPECT_TRUE(main.field(QStringLiteral("QCallListMenu")).isEnabled());

    // Another login without the loans listing: no list, no counts.
    main.setFlagEnabled(20, false);
    main.setFlagEnabled(23, true);
    main.CXLoginClick();
    EXPECT_FALSE(main.field(QStringLiteral("QCallListMenu")).isEnabled());
    EXPECT_EQ(main.StatusPanel5.text(), QString());
    EXPECT_TRUE(prompter.boxes().empty());
}

} // namespace
} // namespace lms
