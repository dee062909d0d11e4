// A receipt laid out for the slip printer.
#include "core/NumberForms.h"
#include "core/screens/Tfrm_Main.h"
#include "reports/Receipt.h"

namespace lms::Receipts {

Printout printout(const Receipt& receipt, const RegionalFormats& formats) {
    const auto moment = [&formats](const QDateTime& t) {
        return t.isValid() ? formats.dateTimeText(t) : QString();
    };
    Printout p;
    p.paper = Printout::Paper::Slip;
    p.title = receipt.title;
    p.headLines << Tfrm_Main::title();
    std::vector<PrintoutLine>& lines = p.lines;
    lines.push_back({QStringLiteral("业务："), receipt.operation});
    lines.push_back({QStringLiteral("读者编号："), receipt.readerId});
    lines.push_back({QStringLiteral("读者姓名："), receipt.readerName});
    for (const Receipt::Book& book : receipt.books) {
        lines.push_back({});
        lines.push_back({QStringLiteral("图书编号："), book.id});
        lines.push_back({QStringLiteral("图书名称："), book.name});
        if (book.returned.isValid()) {
            lines.push_back({QStringLiteral("借阅日期："), moment(book.lent)});
            lines.push_back({QStringLiteral("归还日期："), moment(book.returned)});
        } else {
            lines.push_back({QStringLiteral("借出日期："), moment(book.lent)});
            lines.push_back({QStringLiteral("应还日期："), moment(book.due)});
        }
        if (!book.remark.isEmpty())
            lines.push_back({QStringLiteral("备注："), book.remark});
    }
    if (!receipt.amounts.empty()) {
        lines.push_back({});
        // The deposit part is the change of the deposit: negative when taken from it.
        for (const Receipt::Amount& amount : receipt.amounts)
            lines.push_back({(amount.column == QStringLiteral("押金") ? QStringLiteral("押金增减")
                                                                      : amount.column) +
                                 QStringLiteral("(元)："),
                             Numbers::twoDecimalForm(amount.value)});
    }
    if (receipt.validUntil.isValid())
        lines.push_back(
            {QStringLiteral("租借有效期至："), formats.longDate(receipt.validUntil.date())});
    if (receipt.hasDepositLeft)
        lines.push_back(
            {QStringLiteral("押金余额(元)："), Numbers::twoDecimalForm(receipt.depositLeft)});
    lines.push_back({});
    lines.push_back({QStringLiteral("操作员："), receipt.operatorName});
    lines.push_back({QStringLiteral("时间："), moment(receipt.time)});
    return p;
}

} // namespace lms::Receipts
