// A listing that is still arriving says so: while its rows come the status line counts them and
// the totals say they are being counted; once the last row is in, the status gives the count and
// the totals their sums; a listing ended part way leaves no totals that are not its own.
#include "core/DbError.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/Tfrm_QallReader.h"
#include "queries/db/QueryFixture.h"

#include <functional>
#include <memory>

namespace lms {
namespace {

const QString kCounting = QStringLiteral("正在统计…");

QString arriving(int rows) {
    return QStringLiteral("正在查询… 已列出 %1 条记录").arg(rows);
}

QString complete(int rows) {
    return QStringLiteral("共 %1 条记录").arg(rows);
}

class ListingArrival : public test::QueryTest {
protected:
    // More rows than the first screenful, so the listing breathes before its end.
    static constexpr int kEarlier = 3 * QueryScreen::kFirstRows;
    static constexpr int kLedgerRows = kEarlier + 2;

    ListingArrival() {
        Transaction rows(db());
        // Today two rows, before today many more.
        ledger(QStringLiteral("读者还书"), kNow.addSecs(-3600), 1.5, 0, 1, 0.5);
        ledger(QStringLiteral("缴费充值"), kNow.addSecs(-60), 2.25, 2.25);
        for (int i = 0; i < kEarlier; ++i) {
            ledger(QStringLiteral("缴费充值"), kNow.addDays(-1 - i % 30).addSecs(i), 1.25, 1.25);
            reader(QStringLiteral("R%1").arg(i), QStringLiteral("读者"), 10.5, 2, QString());
            book(QStringLiteral("B%1").arg(i), QStringLiteral("书"), QString());
        }
        rows.commit();
    }

    static QStringList totals(QueryScreen& screen) {
        QStringList texts;
        for (const TotalField& total : screen.definition().totalFields)
            texts << screen.field(total.field).text();
        return texts;
    }
    static QString status(QueryScreen& screen) {
        return screen.field(QStringLiteral("ListingStatus")).text();
    }

    // What the screen showed each time the listing let the window breathe.
    struct Seen {
        int rows;
        QString status;
        QStringList totals;
    };
    std::vector<Seen> seen;
    // Records every breath, then does `then` (by default the window stays open).
    void watch(
        QueryScreen& screen, std::function<bool()> then = [] { return true; }) {
        seen.clear();
        host.whileWorking = [this, &screen, then](FormModel&) {
            seen.push_back({screen.results().rowCount(), status(screen), totals(screen)});
            return then();
        };
    }

    // The ledger of today only: two rows, no breath.
    void listToday(Tfrm_QallMoney& money) {
        host.whileWorking = nullptr;
        money.FormShow();
        money.field(QStringLiteral("CheckBox2")).setValue(true);
        money.Button2Click();
        ASSERT_EQ(money.results().rowCount(), 2);
        ASSERT_EQ(totals(money)[0], QStringLiteral("3.75"));
        money.field(QStringLiteral("CheckBox2")).setValue(false);
    }
};

const QStringList kLedgerTotals{QStringLiteral("378.75"), QStringLiteral("0.00"),
                                QStringLiteral("377.25"), QStringLiteral("1.00"),
                                QStringLiteral("0.50"),   QStringLiteral("0.00")};

TEST_F(ListingArrival, TotalsSayTheyAreBeingCountedUntilTheLastRowThenShowTheSums) {
    Tfrm_QallMoney money(context);
    Tfrm_QallReader readers(context);
    const std::vector<std::pair<QueryScreen*, QStringList>> cases{
        {&money, kLedgerTotals}, {&readers, {QStringLiteral("3150"), QStringLiteral("600")}}};
    for (const auto& [screen, sums] : cases) {
        watch(*screen);
        screen->FormShow();
        ASSERT_FALSE(seen.empty()) << screen->objectName().toStdString();
        for (const Seen& breath : seen)
            EXPECT_EQ(breath.totals, QStringList(sums.size(), kCounting)) << breath.rows;
        EXPECT_EQ(totals(*screen), sums);
    }
}

TEST_F(ListingArrival, TheStatusCountsTheRowsComeSoFarAndThenAllOfThem) {
    Tfrm_QallMoney money(context);
    Tfrm_QallBook books(context);
    const std::vector<std::pair<QueryScreen*, int>> cases{{&money, kLedgerRows},
                                                          {&books, kEarlier}};
    for (const auto& [screen, rows] : cases) {
        watch(*screen);
        screen->FormShow();
        ASSERT_FALSE(seen.empty()) << screen->objectName().toStdString();
        EXPECT_EQ(seen.front().rows, QueryScreen::kFirstRows);
        for (const Seen& breath : seen) {
            EXPECT_LT(breath.rows, rows);
            EXPECT_EQ(breath.status, arriving(breath.rows));
        }
        EXPECT_EQ(status(*screen), complete(rows));
    }
}

TEST_F(ListingArrival, ASecondRunNeverShowsTheFirstRunsTotalsOrCountMidway) {
    Tfrm_QallMoney money(context);
    listToday(money);
    ASSERT_EQ(status(money), complete(2));
    watch(money);
    money.Button2Click();
    ASSERT_FALSE(seen.empty());
    for (const Seen& breath : seen) {
        EXPECT_EQ(breath.totals, QStringList(6, kCounting)) << breath.rows;
        EXPECT_EQ(breath.status, arriving(breath.rows));
    }
    EXPECT_EQ(totals(money), kLedgerTotals);
    EXPECT_EQ(status(money), complete(kLedgerRows));
}

// Each way a listing ends part way, after a one-day listing had written its totals: the rows
// left, the status and the box shown; no totals stand, neither the old ones nor "正在统计…".
TEST_F(ListingArrival, AListingEndedPartWayLeavesNoTotalsStanding) {
    struct Case {
        const char* name;
        std::function<bool(QueryScreen&)> end; // run at the first breath
        int rowsLeft;
        QString status;
        QString box;
    };
    const std::vector<Case> cases{
        {"关闭",
         [](QueryScreen& s) {
             s.run(QStringLiteral("Button1Click"));
             return true;
         },
         0, QString(), QString()},
        {"the window's close box", [](QueryScreen&) { return false; }, 0, QString(), QString()},
        // The next read fails, as on a lost server connection: it reaches the listing where
        // its reads do.
        {"a database failure", [](QueryScreen&) -> bool { throw DbError(0, "lost connection"); },
         QueryScreen::kFirstRows,
         QStringLiteral("查询未完成，已列出 %1 条记录").arg(QueryScreen::kFirstRows),
         QStringLiteral("连接数据库出错!")},
        {"查询 again with criteria that match nothing",
         [](QueryScreen& s) {
             s.field(QStringLiteral("CheckBox1")).setValue(true);
             s.field(QStringLiteral("ComboBox1")).setValue(QStringLiteral("nobody"));
             s.run(QStringLiteral("Button2Click"));
             return true;
         },
         0, complete(0), QStringLiteral("资金中没符合条件的记录!")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tfrm_QallMoney money(context);
        listToday(money);
        prompter.clear();
        bool ended = false;
        watch(money, [&] {
            if (ended)
                return true;
            ended = true;
            return c.end(money);
        });
        money.Button2Click();
        ASSERT_TRUE(ended);
        EXPECT_EQ(money.results().rowCount(), c.rowsLeft);
        EXPECT_EQ(status(money), c.status);
        EXPECT_EQ(totals(money), QStringList(6, QString()));
        EXPECT_EQ(prompter.texts(), c.box.isEmpty() ? QStringList() : QStringList{c.box});
    }
}

TEST_F(ListingArrival, ExportAndPrintRestUntilAListingIsWholeAgain) {
    Tfrm_QallMoney money(context);
    listToday(money);
    watch(money, []() -> bool { throw DbError(0, "lost connection"); });
    money.Button2Click();
    ASSERT_EQ(money.results().rowCount(), QueryScreen::kFirstRows);
    EXPECT_FALSE(money.field(QStringLiteral("Button3")).isEnabled());
    EXPECT_FALSE(money.field(QStringLiteral("Button4")).isEnabled());
    prompter.clear();
    money.run(QStringLiteral("Button3Click"));
    money.run(QStringLiteral("Button4Click"));
    EXPECT_TRUE(prompter.saveDialogs().empty());
    EXPECT_TRUE(prompter.printed().empty());
    EXPECT_TRUE(prompter.boxes().empty());

    host.whileWorking = nullptr;
    money.Button2Click();
    EXPECT_TRUE(money.field(QStringLiteral("Button3")).isEnabled());
    EXPECT_TRUE(money.field(QStringLiteral("Button4")).isEnabled());
    money.run(QStringLiteral("Button4Click"));
    ASSERT_EQ(prompter.printed().size(), 1u);
    EXPECT_EQ(prompter.printed().front().rows.size(), kLedgerRows);
}

} // namespace
} // namespace lms
