#include "queries/Tfrm_QMoneyChart.h"

#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

#include <QScopedValueRollback>

namespace lms {

Tfrm_QMoneyChart::Tfrm_QMoneyChart(ScreenContext& context, QObject* parent)
    : FormModel(QStringLiteral("frm_QMoneyChart"), QStringLiteral("资金统计图"), parent),
      ctx_(context) {
    RadioGroup1.setItems(
        {QStringLiteral("按日统计（选定月份）"), QStringLiteral("按月统计（选定年份）")});
    RadioGroup1.setValue(0);
    SpinEdit1.setValue(context.clock.now().date().year());
    SpinEdit2.setValue(context.clock.now().date().month());
    onClick(Button2, [this] { Button2Click(); });
    onClick(Button1, [this] { Button1Click(); });

    // A new choice redraws at once; the month matters only for the daily bars.
    onChange(RadioGroup1, [this] {
        SpinEdit2.setEnabled(RadioGroup1.number() == 0);
        if (!showing_)
            Button2Click();
    });
    for (Field* choice : {&SpinEdit1, &SpinEdit2}) {
        onChange(*choice, [this] {
            if (!showing_)
                Button2Click();
        });
    }
}

void Tfrm_QMoneyChart::FormShow() {
    {
        const QScopedValueRollback quiet(showing_, true);
        const QDate today = ctx_.clock.now().date();
        SpinEdit1.setValue(today.year());
        SpinEdit2.setValue(today.month());
        SpinEdit2.setEnabled(RadioGroup1.number() == 0);
    }
    Button2Click();
}

void Tfrm_QMoneyChart::Button2Click() {
    const int year = SpinEdit1.number();
    const int month = SpinEdit2.number();
    if (year < 1 || month < 1 || month > 12)
        return;
    try {
        const CashSeries sums = RadioGroup1.number() == 1
                                    ? CashTotals::perMonth(ctx_.dm.db(), year)
                                    : CashTotals::perDay(ctx_.dm.db(), year, month);
        Chart1.setValue(QVariant::fromValue(sums));
        Edit1.setValue(Numbers::twoDecimalForm(sums.totalIn));
        Edit2.setValue(Numbers::twoDecimalForm(sums.totalOut));
        Edit3.setValue(Numbers::twoDecimalForm(sums.totalIn - sums.totalOut));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

} // namespace lms
