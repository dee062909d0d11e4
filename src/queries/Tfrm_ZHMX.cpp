#include "queries/Tfrm_ZHMX.h"

#include "core/CentSum.h"
#include "core/DbError.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "queries/Criteria.h"
#include "queries/LedgerAmounts.h"

#include <cmath>

namespace lms {

namespace {

const QChar kCR(13);
const QString kBalance = QStringLiteral("押金余额");

QString yuan(long long cents) {
    CentSum sum;
    sum.add(static_cast<double>(cents) / 100);
    return sum.text();
}

} // namespace

QueryDefinition Tfrm_ZHMX::makeDefinition() {
    QueryDefinition d;
    d.screenName = QStringLiteral("frm_ZHMX");
    d.caption = QStringLiteral("读者账户明细");
    d.table = QStringLiteral("资金");
    d.hasMatchMode = false;
    // The reader the statement was opened for; it always takes part.
    Criterion reader = value(QString(), QStringLiteral("读者编号："), QStringLiteral("ID"),
                             QStringLiteral(" and 读者编号 = "), QString());
    reader.valueKind = FieldKind::Label;
    d.criteria = {reader};
    // Records of one moment in the order they were written.
    d.exactOrder = QStringLiteral(" order by 时间, rowid ");
    d.noRowsMessage = QStringLiteral("资金中没有该读者的记录!");
    d.columns = {
        rowNumber(),
        {QStringLiteral("操作时间"), QStringLiteral("时间"), CellFormat::DateText},
        {QStringLiteral("操作事件"), QStringLiteral("事件"), CellFormat::Text},
        {QStringLiteral("操作人员"), QStringLiteral("操作者"), CellFormat::Text},
        {QStringLiteral("图书编号"), QStringLiteral("图书编号"), CellFormat::Text},
    };
    const std::vector<ResultColumn> amounts = ledgerAmountColumns();
    d.columns.insert(d.columns.end(), amounts.begin(), amounts.end());
    d.columns.push_back({kBalance, QStringLiteral("押金"), CellFormat::Balance});
    d.totals = QueryDefinition::Totals::SumAsMoney;
    d.totalsGroupCaption = QStringLiteral("结果统计(元)：");
    d.totalFields = ledgerAmountTotals();
    return d;
}

Tfrm_ZHMX::Tfrm_ZHMX(ScreenContext& context, QObject* parent)
    : QueryScreen(makeDefinition(), context, parent) {}

void Tfrm_ZHMX::showFor(const QString& readerId) {
    field(QStringLiteral("ID")).setValue(readerId);
    ctx_.host.showModal(*this);
}

void Tfrm_ZHMX::FormShow() {
    clearCheck(QString());
    Button2Click();
}

void Tfrm_ZHMX::arrived(Arrival arrival) {
    switch (arrival) {
    case Arrival::Arriving:
        clearCheck(QStringLiteral("正在统计…"));
        break;
    case Arrival::Complete: {
        const int last = results().rowCount() - 1;
        const int balance = static_cast<int>(definition().columns.size()) - 1;
        showCheck(std::llround(results().number(last, balance).value_or(0.0) * 100));
        break;
    }
    case Arrival::NoneFound:
        // No line: nothing taken in or paid out for the reader.
        for (const TotalField& total : definition().totalFields)
            field(total.field).setValue(QStringLiteral("0.00"));
        showCheck(0);
        break;
    case Arrival::Broken:
    case Arrival::Dropped:
    case Arrival::Closed:
        clearCheck(QString());
        break;
    }
}

void Tfrm_ZHMX::clearCheck(const QString& note) {
    for (Field* shown : {&tzxm, &yj, &mxye, &ce})
        shown->setValue(QString());
    hdsm.setValue(note);
}

void Tfrm_ZHMX::showCheck(long long balanceCents) {
    const QString id = FilterBuilder::criterionValue(field(QStringLiteral("ID")).text());
    Accounts::AccountFacts facts;
    try {
        facts = Accounts::accountFacts(ctx_.dm.db(), id);
    } catch (const DbError&) {
        clearCheck(QString());
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    mxye.setValue(yuan(balanceCents));
    if (!facts.readerFound) {
        tzxm.setValue(QString());
        yj.setValue(QString());
        ce.setValue(QString());
        hdsm.setValue(QStringLiteral("读者编号为：") + id +
                      QStringLiteral("的读者在系统中不存在！"));
        return;
    }
    tzxm.setValue(facts.name);
    yj.setValue(yuan(facts.depositCents));
    ce.setValue(yuan(facts.depositCents - balanceCents));
    hdsm.setValue(explanation(facts, facts.depositCents - balanceCents));
}

QString Tfrm_ZHMX::explanation(const Accounts::AccountFacts& facts, long long differenceCents) {
    if (differenceCents == 0)
        return QStringLiteral("押金相符：明细押金余额等于读者现有押金。");
    QStringList lines;
    lines << QStringLiteral("读者现有押金比明细押金余额%1 %2 元，可能的原因：")
                 .arg(differenceCents > 0 ? QStringLiteral("多") : QStringLiteral("少"))
                 .arg(yuan(std::llabs(differenceCents)));
    if (!facts.registered)
        lines << QStringLiteral("· 资金中没有该读者的“添加读者”记录：读者可能是导入的，导入时带入的"
                                "押金不记入资金。");
    if (facts.unnamedRows > 0)
        lines << QStringLiteral("· 资金中有 %1 条较早的记录没有记下读者编号（本程序记下读者编号之前"
                                "写入的），其中可能有该读者的记录。")
                     .arg(facts.unnamedRows);
    if (facts.cleared)
        lines << QStringLiteral("· 资金曾被清空：“资金汇总”记录不记读者编号，清空之前该读者的记录"
                                "不在明细中。");
    if (lines.size() == 1)
        lines << QStringLiteral("· 资金中找不到差额的来由：押金可能在本程序之外被更改。");
    return lines.join(kCR);
}

std::vector<PrintoutLine> Tfrm_ZHMX::totalLines() const {
    std::vector<PrintoutLine> lines = QueryScreen::totalLines();
    if (lines.empty())
        return lines;
    lines.push_back({GroupBoxCheck.caption(), QString()});
    for (const Field* shown : {&tzxm, &yj, &mxye, &ce})
        lines.push_back({shown->caption(), shown->text()});
    for (const QString& line : hdsm.text().split(kCR))
        lines.push_back({line, QString()});
    return lines;
}

} // namespace lms
