// The statement a query screen runs: the start text, one clause per ticked criterion in the
// screen's order, the order clause, and every value bound apart from the text.
#include "queries/FilterBuilder.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "support/Moments.h"

#include <QSet>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

const QDateTime kNow = at(2026, 3, 14, 10, 30, 15, 250);

FilterInput input(const QSet<QString>& ticked, const QHash<QString, QString>& texts,
                  bool contains) {
    FilterInput in;
    in.ticked = [ticked](const QString& box) { return ticked.contains(box); };
    in.text = [texts](const QString& field) { return texts.value(field); };
    in.containsMode = contains;
    in.rangeStart = at(2026, 3, 1, 0, 0);
    in.rangeEnd = at(2026, 3, 2, 23, 59, 59);
    in.now = kNow;
    return in;
}

TEST(FilterBuilder, NothingTickedListsTheWholeTableInItsFixedOrder) {
    const Statement books =
        FilterBuilder::build(Tfrm_QallBook::makeDefinition(), input({}, {}, false));
    EXPECT_EQ(books.sql, QStringLiteral("select * from 图书 where 1=1 "));
    EXPECT_TRUE(books.params.isEmpty());
    const Statement loans =
        FilterBuilder::build(Tfrm_QJCBook::makeDefinition(), input({}, {}, true));
    EXPECT_EQ(loans.sql, QStringLiteral("select * from 借出图书 where 1=1  order by 借出日期 "));
}

TEST(FilterBuilder, TickedCriteriaAppendTheirFragmentsInTheScreensOrder) {
    const QueryDefinition books = Tfrm_QallBook::makeDefinition();
    const QHash<QString, QString> texts = {{QStringLiteral("Edit3"), QStringLiteral(" 0'1\t")},
                                           {QStringLiteral("ComboBox1"), QStringLiteral("小说")}};
    const QSet<QString> ticked = {QStringLiteral("CheckBox5"), QStringLiteral("CheckBox1"),
                                  QStringLiteral("CheckBox6")};
    const Statement exact = FilterBuilder::build(books, input(ticked, texts, false));
    EXPECT_EQ(exact.sql,
              QStringLiteral("select * from 图书 where 1=1  and 图书类型 =? and 图书编号 = ? "
                             "order by 借阅次数 DESC "));
    EXPECT_EQ(exact.params, (QVariantList{QStringLiteral("小说"), QStringLiteral("0'1")}));
    const Statement contains = FilterBuilder::build(books, input(ticked, texts, true));
    EXPECT_EQ(contains.sql,
              QStringLiteral("select * from 图书 where 1=1  and 图书类型 like ? and 图书编号 "
                             "like ? order by 借阅次数 DESC "));
    EXPECT_EQ(contains.params, (QVariantList{QStringLiteral("%小说%"), QStringLiteral("%0'1%")}));
}

TEST(FilterBuilder, DatesAreBoundAsStoredTextWithWholeSecondsInclusive) {
    const QueryDefinition money = Tfrm_QallMoney::makeDefinition();
    const Statement range = FilterBuilder::build(
        money, input({QStringLiteral("CheckBox2"), QStringLiteral("CheckBox1")},
                     {{QStringLiteral("ComboBox1"), QStringLiteral("张三")}}, true));
    // The ledger has no match mode: contains is never used there.
    EXPECT_EQ(range.sql,
              QStringLiteral("select * from 资金 where 1=1  and 操作者 =? and 时间  >= ?  and  "
                             "时间 <= ? order by 时间 "));
    EXPECT_EQ(range.params,
              (QVariantList{QStringLiteral("张三"), QStringLiteral("2026-03-01 00:00:00.000"),
                            QStringLiteral("2026-03-02 23:59:59.999")}));

    const Statement overdue = FilterBuilder::build(Tfrm_QJCBook::makeDefinition(),
                                                   input({QStringLiteral("CheckBox6")}, {}, false));
    EXPECT_EQ(overdue.params, QVariantList{QStringLiteral("2026-03-14 00:00:00.000")});
}

TEST(FilterBuilder, TypedValuesLoseBlanksAndControlCharactersAtTheirEndsOnly) {
    EXPECT_EQ(FilterBuilder::criterionValue(QStringLiteral("\t\r\n a b \x01")),
              QStringLiteral("a b"));
    EXPECT_EQ(FilterBuilder::criterionValue(QStringLiteral("a\x01"
                                                           "b")),
              QStringLiteral("a\x01"
                             "b"));
    EXPECT_EQ(FilterBuilder::criterionValue(QStringLiteral("   ")), QString());
    EXPECT_EQ(FilterBuilder::criterionValue(QStringLiteral("全角\u3000")),
              QStringLiteral("全角\u3000"));
}

} // namespace
} // namespace lms
