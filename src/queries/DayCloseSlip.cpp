#include "queries/DayCloseSlip.h"

#include "core/screens/Tfrm_Main.h"

namespace lms::DayCloseSlip {

namespace {

QString yuan(const char* label) {
    return QString::fromUtf8(label) + QStringLiteral("(元)：");
}

} // namespace

Printout make(const DayClose& close, const QString& shopName, const QDateTime& printedAt,
              const RegionalFormats& formats) {
    const DayMoney& money = close.total.money;
    const DayCounts& counts = close.total.counts;
    Printout p;
    p.paper = Printout::Paper::Slip;
    p.title = QStringLiteral("当日结账");
    p.headLines << (shopName.isEmpty() ? Tfrm_Main::title() : shopName);
    std::vector<PrintoutLine>& lines = p.lines;
    lines.push_back({QStringLiteral("结账日期："), formats.longDate(close.day)});
    lines.push_back({QStringLiteral("操作人员："), close.clerk.value_or(QStringLiteral("全部"))});
    lines.push_back({});
    lines.push_back({yuan("开户费"), money.columns[1].text()});
    lines.push_back({yuan("押金收入"), money.depositsIn.text()});
    lines.push_back({yuan("押金退还"), money.depositsRefunded.text()});
    lines.push_back({yuan("租金"), money.columns[3].text()});
    lines.push_back({yuan("逾期罚款"), money.columns[4].text()});
    lines.push_back({yuan("破损遗失赔偿"), money.columns[5].text()});
    lines.push_back({});
    lines.push_back({yuan("现金收入"), money.cashIn.text()});
    lines.push_back({yuan("现金支出"), money.cashOut.text()});
    lines.push_back({yuan("从押金中扣除"), money.fromDeposits.text()});
    if (money.hasSummary)
        lines.push_back({yuan("资金汇总"), money.summary.text()});
    lines.push_back({yuan("资金总计"), money.columns[0].text()});
    lines.push_back({yuan("押金增减"), money.columns[2].text()});
    lines.push_back({});
    const auto count = [](int n) { return QStringLiteral("%1 笔").arg(n); };
    lines.push_back({QStringLiteral("添加读者："), count(counts.registrations)});
    lines.push_back({QStringLiteral("读者借书："), count(counts.loans)});
    lines.push_back({QStringLiteral("读者还书："), count(counts.returns)});
    lines.push_back({QStringLiteral("缴费充值："), count(counts.payments)});
    lines.push_back({QStringLiteral("删除读者："), count(counts.deletions)});
    if (!close.clerk && !close.clerks.empty()) {
        lines.push_back({});
        for (const ClerkDay& clerk : close.clerks)
            lines.push_back(
                {clerk.clerk + QStringLiteral(" 资金总计(元)："), clerk.money.columns[0].text()});
    }
    lines.push_back({});
    lines.push_back({QStringLiteral("打印时间："), formats.dateTimeText(printedAt)});
    lines.push_back({QStringLiteral("签字："), QStringLiteral("____________________")});
    return p;
}

} // namespace lms::DayCloseSlip
