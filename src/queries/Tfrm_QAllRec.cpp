#include "queries/Tfrm_QAllRec.h"

#include "queries/Criteria.h"

namespace lms {

QueryDefinition Tfrm_QAllRec::makeDefinition() {
    QueryDefinition d;
    d.screenName = QStringLiteral("frm_QAllRec");
    d.caption = QStringLiteral("借阅历史记录查询");
    d.table = QStringLiteral("图书借阅历史记录");
    d.criteria = {
        value(QStringLiteral("CheckBox1"), QStringLiteral("图书编号："), QStringLiteral("Edit1"),
              QStringLiteral(" and 图书编号 = "), QStringLiteral(" and 图书编号 like ")),
        value(QStringLiteral("CheckBox2"), QStringLiteral("图书名称："), QStringLiteral("Edit2"),
              QStringLiteral(" and 图书名称 = "), QStringLiteral(" and 图书名称 like ")),
        value(QStringLiteral("CheckBox3"), QStringLiteral("读者编号："), QStringLiteral("Edit3"),
              QStringLiteral(" and 读者编号 = "), QStringLiteral(" and 读者编号 like ")),
        value(QStringLiteral("CheckBox4"), QStringLiteral("读者姓名："), QStringLiteral("Edit4"),
              QStringLiteral(" and 读者姓名 = "), QStringLiteral(" and 读者姓名 like ")),
        dateRange(QStringLiteral("CheckBox5"), QStringLiteral("借阅日期：    从"),
                  QStringLiteral(" and 借阅日期  >= "), QStringLiteral("  and  借阅日期 <= ")),
        value(QStringLiteral("CheckBox6"), QStringLiteral("备注："), QStringLiteral("Edit5"),
              QStringLiteral(" and  备注 = "), QStringLiteral(" and 备注  like ")),
    };
    d.exactOrder = d.containsOrder = QStringLiteral(" order by 借阅日期 DESC ");
    d.noRowsMessage = QStringLiteral("系统所有图书借阅历史记录中没符合条件的记录!");
    d.columns = {rowNumber(),
                 {QStringLiteral("图书编号"), QStringLiteral("图书编号"), CellFormat::Text},
                 {QStringLiteral("图书名称"), QStringLiteral("图书名称"), CellFormat::Text},
                 {QStringLiteral("读者编号"), QStringLiteral("读者编号"), CellFormat::Text},
                 {QStringLiteral("读者姓名"), QStringLiteral("读者姓名"), CellFormat::Text},
                 {QStringLiteral("借阅日期"), QStringLiteral("借阅日期"), CellFormat::LongDate},
                 {QStringLiteral("归还日期"), QStringLiteral("归还日期"), CellFormat::LongDate},
                 {QStringLiteral("备注"), QStringLiteral("备注"), CellFormat::Text}};
    return d;
}

Tfrm_QAllRec::Tfrm_QAllRec(ScreenContext& context, QObject* parent)
    : QueryScreen(makeDefinition(), context, parent) {}

void Tfrm_QAllRec::FormShow() {
    untickAll();
    setRangeToNow();
    empty({QStringLiteral("Edit1"), QStringLiteral("Edit2"), QStringLiteral("Edit3"),
           QStringLiteral("Edit4"), QStringLiteral("Edit5")});
    Button2Click();
}

} // namespace lms
