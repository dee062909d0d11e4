#include "queries/Tfrm_CHRZ.h"

#include "core/UserStore.h"
#include "queries/Criteria.h"

namespace lms {

QueryDefinition Tfrm_CHRZ::makeDefinition() {
    QueryDefinition d;
    d.screenName = QStringLiteral("frm_CHRZ");
    d.caption = QStringLiteral("查看操作日志");
    d.table = QStringLiteral("日志");
    d.hasMatchMode = false;
    d.criteria = {
        storedName(QStringLiteral("CheckBox1"), QStringLiteral("操作人员："),
                   QStringLiteral("ComboBox1"), QStringLiteral(" and 操作者 ="), QString()),
        dateRange(QStringLiteral("CheckBox2"), QStringLiteral("操作日期： 从"),
                  QStringLiteral(" and 时间  >= "), QStringLiteral("  and  时间 <= ")),
    };
    d.exactOrder = QStringLiteral(" order by 时间 ");
    d.noRowsMessage = QStringLiteral("操作日志中没符合条件的记录!");
    d.columns = {{QStringLiteral("操作事件"), QStringLiteral("事件"), CellFormat::Text},
                 {QStringLiteral("操作人员"), QStringLiteral("操作者"), CellFormat::Text},
                 {QStringLiteral("操作时间"), QStringLiteral("时间"), CellFormat::DateText},
                 {QStringLiteral("说明"), QStringLiteral("说明"), CellFormat::Text}};
    return d;
}

Tfrm_CHRZ::Tfrm_CHRZ(ScreenContext& context, QObject* parent)
    : QueryScreen(makeDefinition(), context, parent) {}

void Tfrm_CHRZ::FormShow() {
    untickAll();
    setRangeToToday();
    empty({QStringLiteral("ComboBox1")});
    fillList(QStringLiteral("ComboBox1"), Users::names);
    Button2Click();
}

} // namespace lms
