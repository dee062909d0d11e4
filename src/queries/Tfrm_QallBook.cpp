#include "queries/Tfrm_QallBook.h"

#include "books/BookTypes.h"
#include "labels/LabelRows.h"
#include "queries/Criteria.h"

namespace lms {

QueryDefinition Tfrm_QallBook::makeDefinition() {
    QueryDefinition d;
    d.screenName = QStringLiteral("frm_QallBook");
    d.caption = QStringLiteral("所有图书查询");
    d.table = QStringLiteral("图书");
    d.criteria = {
        storedName(QStringLiteral("CheckBox1"), QStringLiteral("图书类型："),
                   QStringLiteral("ComboBox1"), QStringLiteral(" and 图书类型 ="),
                   QStringLiteral(" and 图书类型 like ")),
        value(QStringLiteral("CheckBox2"), QStringLiteral("图书名称："), QStringLiteral("Edit1"),
              QStringLiteral(" and 图书名称 = "), QStringLiteral(" and 图书名称 like ")),
        fixedList(QStringLiteral("CheckBox3"), QStringLiteral("图书状态："),
                  QStringLiteral("ComboBox2"), QStringLiteral(" and 当前状态 ="),
                  QStringLiteral(" and 当前状态 like "),
                  {QStringLiteral("未借出"), QStringLiteral("已借出"), QStringLiteral("破损遗失")}),
        value(QStringLiteral("CheckBox4"), QStringLiteral("备注："), QStringLiteral("Edit2"),
              QStringLiteral(" and 备注 = "), QStringLiteral(" and 备注 like ")),
        value(QStringLiteral("CheckBox5"), QStringLiteral("图书编号："), QStringLiteral("Edit3"),
              QStringLiteral(" and 图书编号 = "), QStringLiteral(" and 图书编号 like ")),
        orderOnly(QStringLiteral("CheckBox6"), QStringLiteral("按借阅次数递减排序")),
    };
    d.orderCheckBox = QStringLiteral("CheckBox6");
    d.exactOrder = d.containsOrder = QStringLiteral(" order by 借阅次数 DESC ");
    d.noRowsMessage = QStringLiteral("系统所有图书中没符合条件的记录!");
    d.columns = {rowNumber(),
                 {QStringLiteral("图书编号"), QStringLiteral("图书编号"), CellFormat::Text},
                 {QStringLiteral("图书名称"), QStringLiteral("图书名称"), CellFormat::Text},
                 {QStringLiteral("图书类型"), QStringLiteral("图书类型"), CellFormat::Text},
                 {QStringLiteral("当前状态"), QStringLiteral("当前状态"), CellFormat::Text},
                 {QStringLiteral("状态设置期"), QStringLiteral("状态设置期"), CellFormat::DateText},
                 {QStringLiteral("借阅次数"), QStringLiteral("借阅次数"), CellFormat::Number},
                 {QStringLiteral("备注"), QStringLiteral("备注"), CellFormat::Text},
                 {QStringLiteral("作者"), QStringLiteral("作者"), CellFormat::Text},
                 {QStringLiteral("附件"), QStringLiteral("附件"), CellFormat::Text},
                 {QStringLiteral("价格"), QStringLiteral("价格"), CellFormat::TextAmount},
                 {QStringLiteral("录入时间"), QStringLiteral("录入时间"), CellFormat::DateText}};
    return d;
}

Tfrm_QallBook::Tfrm_QallBook(ScreenContext& context, QObject* parent)
    : QueryScreen(makeDefinition(), context, parent) {
    onClick(Button5, [this] { Button5Click(); });
}

void Tfrm_QallBook::Button5Click() {
    const std::vector<int> rows = chosenRows();
    if (rows.empty() || !printLabels_)
        return;
    QList<Labels::LabelContent> labels;
    labels.reserve(static_cast<qsizetype>(rows.size()));
    for (const int row : rows)
        labels << Labels::bookLabel(cellOf(row, QStringLiteral("图书编号")),
                                    cellOf(row, QStringLiteral("图书名称")),
                                    cellOf(row, QStringLiteral("图书类型")));
    printLabels_(labels);
}

void Tfrm_QallBook::FormShow() {
    untickAll();
    empty({QStringLiteral("Edit1"), QStringLiteral("Edit2"), QStringLiteral("Edit3"),
           QStringLiteral("ComboBox1")});
    fillList(QStringLiteral("ComboBox1"), Books::loadBookTypes);
    Button2Click();
}

} // namespace lms
