// Hostile values typed into every text criterion of the six query screens. Each search leaves
// the database as it was, shows no database error, and lists exactly the rows holding the value
// (exact mode) or at least the rows containing it (contains mode); a value that reads like SQL
// lists what any other value without a match lists: nothing.
#include "support/HostileInput.h"
#include "queries/Tfrm_CHRZ.h"
#include "queries/Tfrm_QAllRec.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/Tfrm_QallReader.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace lms::test {
namespace {

const QString kDbError = QStringLiteral("连接数据库出错!");

// The column a text criterion compares, read from its fragment (" and 图书名称 = ").
QString criterionColumn(const Criterion& criterion) {
    QString column = criterion.exactFragment;
    column.remove(QStringLiteral(" and "));
    column.remove(QLatin1Char('='));
    return column.trimmed();
}

class HostileQueryInput : public ::testing::Test {
protected:
    HostileQueryInput() : ctx{*shop.dm, shop.pub, prompter, clock, host} {
        shop.pub.CurrentUser = QStringLiteral("clerk");
    }
    ~HostileQueryInput() override { tried += runner.tried(); }
    static void TearDownTestSuite() { reportInputsTried("queries", tried); }

    std::vector<QueryScreen*> screens() {
        return {&books, &loans, &readers, &money, &history, &log};
    }

    // The text criteria of a screen that the clerk types into.
    static std::vector<ListedCriterion> textCriteria(QueryScreen& screen) {
        std::vector<ListedCriterion> criteria;
        const QueryDefinition& d = screen.definition();
        for (const Criterion& criterion : d.criteria) {
            if (criterion.kind != CriterionKind::Value || !criterion.fixedItems.isEmpty())
                continue;
            const QString column = criterionColumn(criterion);
            QString caption;
            for (const ResultColumn& shown : d.columns)
                if (shown.column == column)
                    caption = shown.caption;
            criteria.push_back(
                {criterion.checkBox, criterion.valueField, caption, d.table, column});
        }
        return criteria;
    }

    // One row per value in every table listed, the value in every column a criterion compares.
    void seedRows(const std::vector<HostileValue>& values) {
        for (QueryScreen* screen : screens()) {
            const std::vector<ListedCriterion> criteria = textCriteria(*screen);
            int n = 0;
            for (const HostileValue& value : values) {
                QVariantMap row;
                for (const ListedCriterion& criterion : criteria)
                    row[criterion.column] = storedForm(value.text);
                if (screen == &money || screen == &log)
                    row[QStringLiteral("时间")] = QStringLiteral("2026-03-14 09:00:%1.000")
                                                      .arg(++n % 60, 2, 10, QLatin1Char('0'));
                if (screen == &money)
                    row[QStringLiteral("金额总计")] = 1.5;
                insertRow(shop.dm->db(), screen->definition().table, row);
            }
        }
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{at(2026, 3, 14, 10, 30)};
    ScriptedHost host;
    ScreenContext ctx;
    Tfrm_QallBook books{ctx};
    Tfrm_QJCBook loans{ctx};
    Tfrm_QallReader readers{ctx};
    Tfrm_QallMoney money{ctx};
    Tfrm_QAllRec history{ctx};
    Tfrm_CHRZ log{ctx};
    HostileRunner runner{shop.dm->db(), prompter};
    static inline int tried = 0;
};

TEST_F(HostileQueryInput, EveryTextCriterionListsExactlyTheRowsHoldingTheValue) {
    seedRows(shortHostileValues());
    insertRow(shop.dm->db(), QStringLiteral("读者"),
              {{QStringLiteral("读者编号"), QStringLiteral("plain")},
               {QStringLiteral("读者姓名"), QStringLiteral("Plain")}});
    int criteria = 0;
    for (QueryScreen* screen : screens()) {
        for (const ListedCriterion& criterion : textCriteria(*screen)) {
            ++criteria;
            ASSERT_FALSE(criterion.gridCaption.isEmpty()) << criterion.column.toStdString();
            for (const HostileValue& value : hostileValues()) {
                // The long texts on the book title only: every run lists whole tables.
                if (value.isLong && !(screen == &books && criterion.valueField == "Edit1"))
                    continue;
                runner.attempt(*screen, criterion.valueField, value,
                               {[&] {
                                    screen->FormShow();
                                    screen->field(criterion.checkBox).setValue(true);
                                },
                                [&] { screen->Button2Click(); },
                                [&](const Attempt& a) {
                                    EXPECT_FALSE(a.errorShown()) << a.where();
                                    EXPECT_EQ(a.before, a.after) << a.where();
                                    expectListing(*screen, criterion, a.typed, shop.dm->db(),
                                                  a.where());
                                    EXPECT_FALSE(prompter.texts().contains(kDbError)) << a.where();
                                }},
                               std::nullopt);
            }
        }
    }
    // Books 4, loans 4, readers 4, money 1, history 5, log 1.
    EXPECT_EQ(criteria, 19);
}

TEST_F(HostileQueryInput, SqlTypedIntoACriterionListsWhatAHarmlessValueLists) {
    seedRows({{"plain", QStringLiteral("Wang")}, {"other", QStringLiteral("Li")}});
    const QStringList injections = {QStringLiteral("' OR '1'='1"),
                                    QStringLiteral("' OR 1=1 --"),
                                    QStringLiteral("'; DROP TABLE 读者; --"),
                                    QStringLiteral("\") OR 1=1 --"),
                                    QStringLiteral("Wang' --"),
                                    QStringLiteral("x' UNION SELECT * FROM 管理员 --"),
                                    QStringLiteral("%' OR '%'='"),
                                    QStringLiteral("%"),
                                    QStringLiteral("_"),
                                    QStringLiteral("Wan_"),
                                    QStringLiteral("W%")};
    const DatabaseDump untouched = dumpDatabase(shop.dm->db());
    auto listed = [&](QueryScreen& screen, const ListedCriterion& criterion, const QString& value,
                      int mode) {
        prompter.clear();
        screen.FormShow();
        if (screen.hasField(QStringLiteral("RadioGroup1")))
            screen.field(QStringLiteral("RadioGroup1")).setValue(mode);
        screen.field(criterion.checkBox).setValue(true);
        screen.field(criterion.valueField).type(value);
        screen.Button2Click();
        ++tried;
        QStringList rows;
        for (int r = 0; r < screen.results().rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < screen.results().columnCount(); ++c)
                cells << screen.results().cellText(r, c);
            rows << cells.join(QLatin1Char('|'));
        }
        return std::make_pair(rows, prompter.texts());
    };
    for (QueryScreen* screen : screens()) {
        for (const ListedCriterion& criterion : textCriteria(*screen)) {
            const auto harmless = listed(*screen, criterion, QStringLiteral("harmless"), 0);
            ASSERT_TRUE(harmless.first.isEmpty());
            for (const QString& injection : injections) {
                SCOPED_TRACE((screen->objectName() + QLatin1Char('.') + criterion.valueField +
                              QStringLiteral(" <- ") + injection)
                                 .toStdString());
                // Exact mode: nothing holds these texts, so nothing is listed, as for "harmless".
                EXPECT_EQ(listed(*screen, criterion, injection, 0), harmless);
            }
            // Contains mode: "%" and "_" stay wildcards, but a quote never widens the search.
            if (!screen->hasField(QStringLiteral("RadioGroup1")))
                continue;
            const auto all = listed(*screen, criterion, QStringLiteral("%"), 1);
            EXPECT_EQ(all.first.size(), 2);
            EXPECT_EQ(listed(*screen, criterion, QStringLiteral("Wan_"), 1).first.size(), 1);
            EXPECT_EQ(listed(*screen, criterion, QStringLiteral("' OR '1'='1"), 1), harmless);
            EXPECT_EQ(listed(*screen, criterion, QStringLiteral("Wang' --"), 1), harmless);
        }
    }
    EXPECT_EQ(dumpDatabase(shop.dm->db()), untouched)
        << describeDifference(untouched, dumpDatabase(shop.dm->db())).toStdString();
}

} // namespace
} // namespace lms::test
