#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "queries/CashTotals.h"

namespace lms {

// "资金统计图": the ledger's money taken in and paid out per day of a chosen month or per month
// of a chosen year, drawn as bars, with the totals beside them.
class Tfrm_QMoneyChart : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_QMoneyChart(ScreenContext& context, QObject* parent = nullptr);

    // Opens on the current month.
    void FormShow() override;
    // "统计": sums the ledger for the chosen month or year.
    void Button2Click();
    void Button1Click() { close(Result::Accepted); }

    // The sums drawn now.
    CashSeries series() const { return Chart1.value().value<CashSeries>(); }

    // The screen's fields in the order of the layout, named as its widgets.
    Field& RadioGroup1 = // per day of a month or per month of a year
        addField(QStringLiteral("RadioGroup1"), FieldKind::Radio, QStringLiteral("统计方式"));
    Field& SpinEdit1 = // the year
        addField(QStringLiteral("SpinEdit1"), FieldKind::Spin, QStringLiteral("年份："))
            .setRange(1990, 2099);
    Field& SpinEdit2 = // the month, for the daily bars
        addField(QStringLiteral("SpinEdit2"), FieldKind::Spin, QStringLiteral("月份："))
            .setRange(1, 12);
    Field& Chart1 = // the bars: a CashSeries, drawn by the chart view
        addField(QStringLiteral("Chart1"), FieldKind::Label);
    Field& GroupBoxTotals =
        addField(QStringLiteral("GroupBoxTotals"), FieldKind::Group, QStringLiteral("合计(元)："));
    Field& Edit1 = // money taken in
        addField(QStringLiteral("Edit1"), FieldKind::Label, QStringLiteral("收入："));
    Field& Edit2 = // money paid out
        addField(QStringLiteral("Edit2"), FieldKind::Label, QStringLiteral("支出："));
    Field& Edit3 = // taken in less paid out
        addField(QStringLiteral("Edit3"), FieldKind::Label, QStringLiteral("收支差额："));
    Field& Button2 = // sums and draws
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("统计"));
    Field& Button1 = // closes the screen
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("关闭"));

private:
    ScreenContext& ctx_;
    bool showing_ = false; // FormShow sets the fields and sums once at the end
};

} // namespace lms
