#include "queries/Tfrm_QallMoney.h"

#include "core/UserStore.h"
#include "queries/Criteria.h"
#include "queries/LedgerAmounts.h"

namespace lms {

QueryDefinition Tfrm_QallMoney::makeDefinition() {
    QueryDefinition d;
    d.screenName = QStringLiteral("frm_QallMoney");
    d.caption = QStringLiteral("资金查询统计");
    d.table = QStringLiteral("资金");
    d.hasMatchMode = false;
    d.criteria = {
        storedName(QStringLiteral("CheckBox1"), QStringLiteral("操作人员："),
                   QStringLiteral("ComboBox1"), QStringLiteral(" and 操作者 ="), QString()),
        dateRange(QStringLiteral("CheckBox2"), QStringLiteral("操作日期： 从"),
                  QStringLiteral(" and 时间  >= "), QStringLiteral("  and  时间 <= ")),
    };
    d.exactOrder = QStringLiteral(" order by 时间 ");
    d.noRowsMessage = QStringLiteral("资金中没符合条件的记录!");
    d.columns = {rowNumber(),
                 {QStringLiteral("操作事件"), QStringLiteral("事件"), CellFormat::Text},
                 {QStringLiteral("操作人员"), QStringLiteral("操作者"), CellFormat::Text},
                 {QStringLiteral("操作时间"), QStringLiteral("时间"), CellFormat::DateText}};
    const std::vector<ResultColumn> amounts = ledgerAmountColumns();
    d.columns.insert(d.columns.end(), amounts.begin(), amounts.end());
    d.totals = QueryDefinition::Totals::SumAsMoney;
    d.totalsGroupCaption = QStringLiteral("结果统计(元)：");
    d.totalFields = ledgerAmountTotals();
    return d;
}

Tfrm_QallMoney::Tfrm_QallMoney(ScreenContext& context, QObject* parent)
    : QueryScreen(makeDefinition(), context, parent) {}

void Tfrm_QallMoney::FormShow() {
    untickAll();
    setRangeToToday();
    empty({QStringLiteral("ComboBox1")});
    fillList(QStringLiteral("ComboBox1"), Users::names);
    Button2Click();
}

} // namespace lms
