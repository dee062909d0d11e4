#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "queries/DayCloseStore.h"
#include "queries/DayCloseTable.h"

namespace lms {

// "当日结账": what one day brought in and paid out, for one clerk or every clerk, by kind of
// money and by cash or deposit, with the day's registrations, loans, returns, payments and
// deletions; its totals are the money listing's for the same day and clerk. "打印" prints the
// slip the clerk signs.
class Tfrm_DayClose : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_DayClose(ScreenContext& context, QObject* parent = nullptr);

    // Opens on today for every clerk.
    void FormShow() override;
    // "统计": reads the chosen day and clerk again.
    void Button2Click();
    // "打印": the slip of the figures shown.
    void Button3Click();
    void Button1Click() { close(Result::Accepted); }

    // The figures shown; nothing before the first successful reading.
    const std::optional<DayClose>& shown() const { return shown_; }
    DayCloseTable& table() { return table_; }

    // The item of ComboBox1 that stands for every clerk.
    static QString everyClerk();

    // The screen's fields in the order of the layout, named as its widgets.
    Field& DateTimePicker1 = // the day closed
        addField(QStringLiteral("DateTimePicker1"), FieldKind::Date, QStringLiteral("结账日期："));
    Field& ComboBox1 = // every clerk, or one
        addField(QStringLiteral("ComboBox1"), FieldKind::List, QStringLiteral("操作人员："));
    Field& Button2 = // reads the figures again
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("统计"));
    Field& Button3 = // prints the slip
        addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("打印"));
    Field& Button1 = // closes the screen
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("关闭"));
    Field& StringGrid1 = // one row per clerk, and their sum
        addField(QStringLiteral("StringGrid1"), FieldKind::Grid);

    // The money listing's six totals for the same day and clerk.
    Field& GroupBoxTotals = addField(QStringLiteral("GroupBoxTotals"), FieldKind::Group,
                                     QStringLiteral("结果统计(元)："));
    Field& Edit1 = // 金额总计: the cash the day took in less what it paid out
        addField(QStringLiteral("Edit1"), FieldKind::Label, QStringLiteral("资金总计："));
    Field& Edit2 = // opening fees
        addField(QStringLiteral("Edit2"), FieldKind::Label, QStringLiteral("开户费："));
    Field& Edit3 = // the change of the readers' deposits
        addField(QStringLiteral("Edit3"), FieldKind::Label, QStringLiteral("押金："));
    Field& Edit4 = // rent
        addField(QStringLiteral("Edit4"), FieldKind::Label, QStringLiteral("租金："));
    Field& Edit5 = // overdue fines
        addField(QStringLiteral("Edit5"), FieldKind::Label, QStringLiteral("逾期罚款："));
    Field& Edit6 = // damage and loss compensation
        addField(QStringLiteral("Edit6"), FieldKind::Label, QStringLiteral("破损遗失赔偿："));

    // How the money came and went.
    Field& GroupBoxWays = addField(QStringLiteral("GroupBoxWays"), FieldKind::Group,
                                   QStringLiteral("收付方式(元)："));
    Field& xjsr = // cash taken in
        addField(QStringLiteral("xjsr"), FieldKind::Label, QStringLiteral("现金收入："));
    Field& xjzc = // cash paid out, negative
        addField(QStringLiteral("xjzc"), FieldKind::Label, QStringLiteral("现金支出："));
    Field& cyjkc = // charges of returns taken from the deposits
        addField(QStringLiteral("cyjkc"), FieldKind::Label, QStringLiteral("从押金中扣除："));
    Field& yjsr = // deposits taken in
        addField(QStringLiteral("yjsr"), FieldKind::Label, QStringLiteral("押金收入："));
    Field& yjth = // deposits paid back, negative
        addField(QStringLiteral("yjth"), FieldKind::Label, QStringLiteral("押金退还："));
    Field& zjhz = // a cleared ledger's summary of that day: earlier money, shown only then
        addField(QStringLiteral("zjhz"), FieldKind::Label, QStringLiteral("资金汇总："))
            .setVisible(false);

    // The day's operations.
    Field& GroupBoxCounts =
        addField(QStringLiteral("GroupBoxCounts"), FieldKind::Group, QStringLiteral("业务笔数："));
    Field& CountTJReader = // registrations
        addField(QStringLiteral("CountTJReader"), FieldKind::Label, QStringLiteral("添加读者："));
    Field& CountTZJBook = // loans
        addField(QStringLiteral("CountTZJBook"), FieldKind::Label, QStringLiteral("读者借书："));
    Field& CountTZHBook = // returns
        addField(QStringLiteral("CountTZHBook"), FieldKind::Label, QStringLiteral("读者还书："));
    Field& CountJNZC = // payments
        addField(QStringLiteral("CountJNZC"), FieldKind::Label, QStringLiteral("缴费充值："));
    Field& CountSZReader = // deletions
        addField(QStringLiteral("CountSZReader"), FieldKind::Label, QStringLiteral("删除读者："));

private:
    // The clerks offered for the day: every clerk, the shop's users, then anyone else the day's
    // records name; the choice stays when it is still offered.
    void fillClerks();
    std::optional<QString> chosenClerk() const;
    void showFigures(const DayClose& close);

    ScreenContext& ctx_;
    DayCloseTable table_;
    QStringList users_; // the shop's users as last read, in their order
    std::optional<DayClose> shown_;
    bool filling_ = false; // FormShow and the day's change set the fields, then read once
};

} // namespace lms
