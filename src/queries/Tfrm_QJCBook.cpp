#include "queries/Tfrm_QJCBook.h"

#include "queries/Criteria.h"

namespace lms {

QueryDefinition Tfrm_QJCBook::makeDefinition() {
    QueryDefinition d;
    d.screenName = QStringLiteral("frm_QJCBook");
    d.caption = QStringLiteral("借出图书查询");
    d.table = QStringLiteral("借出图书");
    d.criteria = {
        value(QStringLiteral("CheckBox1"), QStringLiteral("图书编号："), QStringLiteral("Edit1"),
              QStringLiteral(" and 图书编号 = "), QStringLiteral(" and 图书编号 like ")),
        value(QStringLiteral("CheckBox2"), QStringLiteral("图书名称："), QStringLiteral("Edit2"),
              QStringLiteral(" and 图书名称 = "), QStringLiteral(" and 图书名称 like ")),
        value(QStringLiteral("CheckBox3"), QStringLiteral("读者编号："), QStringLiteral("Edit3"),
              QStringLiteral(" and 读者编号 = "), QStringLiteral(" and 读者编号 like ")),
        value(QStringLiteral("CheckBox4"), QStringLiteral("读者姓名："), QStringLiteral("Edit4"),
              QStringLiteral(" and 读者姓名 = "), QStringLiteral(" and 读者姓名 like ")),
        dateRange(QStringLiteral("CheckBox5"), QStringLiteral("借出日期：    从"),
                  QStringLiteral(" and 借出日期  >= "), QStringLiteral("  and  借出日期 <= ")),
        beforeToday(QStringLiteral("CheckBox6"), QStringLiteral("图书超期未还"),
                    QStringLiteral(" and  最晚归还日期< ")),
    };
    d.exactOrder = QStringLiteral(" order by 借出日期 DESC ");
    d.containsOrder = QStringLiteral(" order by 借出日期 ");
    d.noRowsMessage = QStringLiteral("系统所有借出图书中没符合条件的记录!");
    d.columns = {
        rowNumber(),
        {QStringLiteral("图书编号"), QStringLiteral("图书编号"), CellFormat::Text},
        {QStringLiteral("图书名称"), QStringLiteral("图书名称"), CellFormat::Text},
        {QStringLiteral("读者编号"), QStringLiteral("读者编号"), CellFormat::Text},
        {QStringLiteral("读者姓名"), QStringLiteral("读者姓名"), CellFormat::Text},
        {QStringLiteral("借出日期"), QStringLiteral("借出日期"), CellFormat::LongDate},
        {QStringLiteral("最晚归还日期"), QStringLiteral("最晚归还日期"), CellFormat::LongDate},
        {QStringLiteral("超期天数"), QStringLiteral("最晚归还日期"), CellFormat::OverdueDays}};
    return d;
}

Tfrm_QJCBook::Tfrm_QJCBook(ScreenContext& context, QObject* parent)
    : QueryScreen(makeDefinition(), context, parent) {}

void Tfrm_QJCBook::FormShow() {
    untickAll();
    setRangeToNow();
    empty({QStringLiteral("Edit1"), QStringLiteral("Edit2"), QStringLiteral("Edit3"),
           QStringLiteral("Edit4")});
    Button2Click();
}

} // namespace lms
