#include "queries/Tfrm_QallReader.h"

#include "queries/Criteria.h"

namespace lms {

QueryDefinition Tfrm_QallReader::makeDefinition() {
    QueryDefinition d;
    d.screenName = QStringLiteral("frm_QallReader");
    d.caption = QStringLiteral("读者查询统计");
    d.table = QStringLiteral("读者");
    d.criteria = {
        fixedList(QStringLiteral("CheckBox1"), QStringLiteral("读者类型："),
                  QStringLiteral("ComboBox1"), QStringLiteral(" and 读者类型 ="),
                  QStringLiteral(" and 读者类型 like "),
                  {QStringLiteral("包月"), QStringLiteral("包季度"), QStringLiteral("包年"),
                   QStringLiteral("按日租借")}),
        value(QStringLiteral("CheckBox2"), QStringLiteral("读者姓名："), QStringLiteral("Edit1"),
              QStringLiteral(" and 读者姓名 = "), QStringLiteral(" and 读者姓名 like ")),
        value(QStringLiteral("CheckBox3"), QStringLiteral("读者编号："), QStringLiteral("Edit2"),
              QStringLiteral(" and 读者编号 ="), QStringLiteral(" and 读者编号 like ")),
        fixedList(QStringLiteral("CheckBox4"), QStringLiteral("读者状态："),
                  QStringLiteral("ComboBox2"), QStringLiteral(" and 当前状态 = "),
                  QStringLiteral(" and 当前状态 like "),
                  {QStringLiteral("正常使用"), QStringLiteral("自动延期"),
                   QStringLiteral("暂停使用"), QStringLiteral("挂失停用")}),
        value(QStringLiteral("CheckBox5"), QStringLiteral("备注："), QStringLiteral("Edit3"),
              QStringLiteral(" and 备注 = "), QStringLiteral(" and 备注 like ")),
        value(QStringLiteral("CheckBox6"), QStringLiteral("证件号码："), QStringLiteral("Edit4"),
              QStringLiteral(" and 证件号码 = "), QStringLiteral(" and 证件号码 like ")),
        beforeToday(QStringLiteral("CheckBox7"), QStringLiteral("有效租借期超期"),
                    QStringLiteral(" and  借阅有效期 < ")),
    };
    d.noRowsMessage = QStringLiteral("系统所有读者中没符合条件的记录!");
    d.columns = {rowNumber(),
                 {QStringLiteral("读者编号"), QStringLiteral("读者编号"), CellFormat::Text},
                 {QStringLiteral("读者姓名"), QStringLiteral("读者姓名"), CellFormat::Text},
                 {QStringLiteral("读者类型"), QStringLiteral("读者类型"), CellFormat::Text},
                 {QStringLiteral("租借有效期"), QStringLiteral("借阅有效期"), CellFormat::DateText},
                 {QStringLiteral("缴纳押金"), QStringLiteral("押金"), CellFormat::Number},
                 {QStringLiteral("当前状态"), QStringLiteral("当前状态"), CellFormat::Text},
                 {QStringLiteral("状态设置期"), QStringLiteral("状态设置期"), CellFormat::DateText},
                 {QStringLiteral("未还图书"), QStringLiteral("未还数量"), CellFormat::Number},
                 {QStringLiteral("借阅总计"), QStringLiteral("借阅总计"), CellFormat::Number},
                 {QStringLiteral("性别"), QStringLiteral("性别"), CellFormat::Text},
                 {QStringLiteral("证件号码"), QStringLiteral("证件号码"), CellFormat::Text},
                 {QStringLiteral("备注"), QStringLiteral("备注"), CellFormat::Text}};
    d.totals = QueryDefinition::Totals::SumAsGeneral;
    d.totalsGroupCaption = QStringLiteral("结果统计：");
    d.totalFields = {
        {QStringLiteral("Edit5"), QStringLiteral("押金总数："), QStringLiteral("押金")},
        {QStringLiteral("Edit6"), QStringLiteral("借阅次数总计："), QStringLiteral("借阅总计")}};
    return d;
}

Tfrm_QallReader::Tfrm_QallReader(ScreenContext& context, QObject* parent)
    : QueryScreen(makeDefinition(), context, parent) {
    onClick(Button5, [this] { Button5Click(); });
    onClick(Button6, [this] { Button6Click(); });
}

void Tfrm_QallReader::Button6Click() {
    const int row = selectedRow();
    if (row < 0 || !openStatement_)
        return;
    openStatement_(cellOf(row, QStringLiteral("读者编号")));
}

void Tfrm_QallReader::Button5Click() {
    const std::vector<int> rows = chosenRows();
    if (rows.empty() || !printCards_)
        return;
    QStringList ids;
    ids.reserve(static_cast<qsizetype>(rows.size()));
    for (const int row : rows)
        ids << cellOf(row, QStringLiteral("读者编号"));
    printCards_(ids);
}

void Tfrm_QallReader::FormShow() {
    untickAll();
    empty({QStringLiteral("Edit1"), QStringLiteral("Edit2"), QStringLiteral("Edit3"),
           QStringLiteral("Edit4")});
    Button2Click();
}

} // namespace lms
