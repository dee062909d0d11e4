#include "queries/Tfrm_QCallList.h"

#include "core/RegionalFormats.h"
#include "core/form/Clock.h"
#include "core/pubdata.h"
#include "queries/CallList.h"
#include "queries/Criteria.h"

namespace lms {

namespace {

QueryDefinition callList(const QString& caption, const QString& table, const QString& noRows,
                         std::vector<ResultColumn> columns) {
    QueryDefinition d;
    d.screenName = QStringLiteral("frm_QCallList");
    d.caption = caption;
    d.table = table;
    d.hasMatchMode = false;
    d.noRowsMessage = noRows;
    d.columns = std::move(columns);
    return d;
}

} // namespace

QueryDefinition Tfrm_QCallList::overdueDefinition() {
    return callList(
        QStringLiteral("超期未还图书"), QStringLiteral("借出图书"),
        QStringLiteral("今天没有超期未还的图书!"),
        {rowNumber(),
         {QStringLiteral("读者编号"), QStringLiteral("读者编号"), CellFormat::Text},
         {QStringLiteral("读者姓名"), QStringLiteral("读者姓名"), CellFormat::Text},
         {QStringLiteral("联系电话"), QStringLiteral("电话"), CellFormat::Text},
         {QStringLiteral("图书编号"), QStringLiteral("图书编号"), CellFormat::Text},
         {QStringLiteral("图书名称"), QStringLiteral("图书名称"), CellFormat::Text},
         {QStringLiteral("借出日期"), QStringLiteral("借出日期"), CellFormat::LongDate},
         {QStringLiteral("最晚归还日期"), QStringLiteral("最晚归还日期"), CellFormat::LongDate},
         {QStringLiteral("超期天数"), QStringLiteral("最晚归还日期"), CellFormat::DaysLate},
         {QStringLiteral("超期罚款(元)"), QStringLiteral("最晚归还日期"), CellFormat::LateFine}});
}

QueryDefinition Tfrm_QCallList::expiringDefinition() {
    return callList(
        QStringLiteral("即将到期读者"), QStringLiteral("读者"),
        QStringLiteral("今天没有租借有效期即将到期的读者!"),
        {rowNumber(),
         {QStringLiteral("读者编号"), QStringLiteral("读者编号"), CellFormat::Text},
         {QStringLiteral("读者姓名"), QStringLiteral("读者姓名"), CellFormat::Text},
         {QStringLiteral("联系电话"), QStringLiteral("电话"), CellFormat::Text},
         {QStringLiteral("读者类型"), QStringLiteral("读者类型"), CellFormat::Text},
         {QStringLiteral("租借有效期"), QStringLiteral("借阅有效期"), CellFormat::LongDate},
         {QStringLiteral("剩余天数"), QStringLiteral("借阅有效期"), CellFormat::DaysLeft},
         {QStringLiteral("未还图书"), QStringLiteral("未还数量"), CellFormat::Text},
         {QStringLiteral("当前状态"), QStringLiteral("当前状态"), CellFormat::Text}});
}

Tfrm_QCallList::Tfrm_QCallList(ScreenContext& context, QObject* parent)
    : QueryScreen(overdueDefinition(), context, parent) {
    // The screen's own caption, whichever list it shows.
    setCaption(QStringLiteral("催还与到期"));
    onChange(RadioGroup1, [this] {
        useDefinition(chosen() == OverdueLoans ? overdueDefinition() : expiringDefinition());
        Button2Click();
    });
}

Tfrm_QCallList::List Tfrm_QCallList::chosen() const {
    return RadioGroup1.number() == ExpiringReaders ? ExpiringReaders : OverdueLoans;
}

void Tfrm_QCallList::FormShow() {
    Button2Click();
}

Statement Tfrm_QCallList::statement() const {
    const QDateTime now = ctx_.clock.now();
    return chosen() == OverdueLoans ? CallList::overdueLoans(now)
                                    : CallList::expiringReaders(now, ctx_.pub);
}

QString Tfrm_QCallList::criteriaInWords() const {
    const RegionalFormats formats;
    const QDate today = ctx_.clock.now().date();
    if (chosen() == OverdueLoans)
        return QStringLiteral("最晚归还日期在 %1 之前").arg(formats.longDate(today));
    const int days = std::max(ctx_.pub.ExpiryReminderDays, 0);
    return QStringLiteral("租借有效期在 %1 之前（到期前 %2 天提醒）；已过期的只列有图书未还的读者")
        .arg(formats.longDate(today.addDays(days)))
        .arg(days);
}

} // namespace lms
