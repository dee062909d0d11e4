#include "queries/Tfrm_QMoneyChart.h"

#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

namespace lms {

namespace {

const QString kMode = QStringLiteral("RadioGroup1");
const QString kYear = QStringLiteral("SpinEdit1");
const QString kMonth = QStringLiteral("SpinEdit2");

} // namespace

Tfrm_QMoneyChart::Tfrm_QMoneyChart(ScreenContext& context, QObject* parent)
    : FormModel(QStringLiteral("frm_QMoneyChart"), QStringLiteral("资金统计图"), parent),
      ctx_(context) {
    Field& mode = addField(kMode, FieldKind::Radio, QStringLiteral("统计方式"));
    mode.setItems({QStringLiteral("按日统计（选定月份）"), QStringLiteral("按月统计（选定年份）")});
    mode.setValue(0);
    Field& year = addField(kYear, FieldKind::Spin, QStringLiteral("年份："));
    year.setMinimum(1990);
    year.setMaximum(2099);
    Field& month = addField(kMonth, FieldKind::Spin, QStringLiteral("月份："));
    month.setMinimum(1);
    month.setMaximum(12);
    year.setValue(context.clock.now().date().year());
    month.setValue(context.clock.now().date().month());
    addField(QStringLiteral("Chart1"), FieldKind::Label);
    addField(QStringLiteral("GroupBoxTotals"), FieldKind::Group, QStringLiteral("合计(元)："));
    addField(QStringLiteral("Edit1"), FieldKind::Label, QStringLiteral("收入："));
    addField(QStringLiteral("Edit2"), FieldKind::Label, QStringLiteral("支出："));
    addField(QStringLiteral("Edit3"), FieldKind::Label, QStringLiteral("收支差额："));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("统计"));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("关闭"));
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });

    // A new choice redraws at once; the month matters only for the daily bars.
    onChange(kMode, [this] {
        field(kMonth).setEnabled(field(kMode).number() == 0);
        if (!showing_)
            Button2Click();
    });
    for (const QString& name : {kYear, kMonth}) {
        onChange(name, [this] {
            if (!showing_)
                Button2Click();
        });
    }
}

void Tfrm_QMoneyChart::FormShow() {
    showing_ = true;
    const QDate today = ctx_.clock.now().date();
    field(kYear).setValue(today.year());
    field(kMonth).setValue(today.month());
    field(kMonth).setEnabled(field(kMode).number() == 0);
    showing_ = false;
    Button2Click();
}

void Tfrm_QMoneyChart::Button2Click() {
    const int year = field(kYear).number();
    const int month = field(kMonth).number();
    if (year < 1 || month < 1 || month > 12)
        return;
    try {
        const CashSeries sums = field(kMode).number() == 1
                                    ? CashTotals::perMonth(ctx_.dm.db(), year)
                                    : CashTotals::perDay(ctx_.dm.db(), year, month);
        field(QStringLiteral("Chart1")).setValue(QVariant::fromValue(sums));
        field(QStringLiteral("Edit1")).setValue(Numbers::twoDecimalForm(sums.totalIn));
        field(QStringLiteral("Edit2")).setValue(Numbers::twoDecimalForm(sums.totalOut));
        field(QStringLiteral("Edit3"))
            .setValue(Numbers::twoDecimalForm(sums.totalIn - sums.totalOut));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

} // namespace lms
