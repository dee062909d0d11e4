#pragma once

#include "circulation/LoanDesk.h"
#include "circulation/LoanList.h"

namespace lms {

class Tfrm_TZJBook;

// Returning: a book's loan brings up its reader; the overdue fine, a pay-per-day rent and any
// compensation make the total, paid in cash or from the deposit, and the book comes back.
class Tfrm_TZHBook : public LoanDesk {
    Q_OBJECT
public:
    Tfrm_TZHBook(const ScreenContext& ctx, Tfrm_TZJBook& borrowing, QObject* parent = nullptr);

    void FormShow() override;
    void iniTs() override;
    void CheckisHaveReaderClick() override;
    void CheckisHavebookClick() override;
    // Lists the accepted reader's open loans; after a committed return a failure to list them
    // only clears the list (`afterCommit`), so it cannot read as a failed return.
    void showTZJS(bool afterCommit = false);
    void StringGrid1DblClick();
    void psyxClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();

    const Circulation::LoanList& loanList() const { return loans_; }

    // The screen's own fields, after the reader and book panels of the desk.
    Field& GroupBox10 = // around the reader's open loans
        addField(QStringLiteral("GroupBox10"), FieldKind::Group,
                 QStringLiteral("当前读者租借未还的图书："));
    Field& StringGrid1 = // the accepted reader's open loans; a double-click takes the book
        addField(QStringLiteral("StringGrid1"), FieldKind::Grid);
    Field& GroupBox9 = // the loan's dates and overdue days, display only
        addField(QStringLiteral("GroupBox9"), FieldKind::Group).setEnabled(false);
    Field& zjrq = // when the book was lent
        addField(QStringLiteral("zjrq"), FieldKind::Date, QStringLiteral("       租借日期："));
    Field& zwgwrq = // when it was due back
        addField(QStringLiteral("zwgwrq"), FieldKind::Date, QStringLiteral("最晚归还日期："));
    Field& cqts = // whole days overdue
        addField(QStringLiteral("cqts"), FieldKind::Text, QStringLiteral("超期天数："))
            .setValue(QStringLiteral("0"));
    Field& cqfh = // the overdue fine in yuan; editable when amounts may be edited
        addField(QStringLiteral("cqfh"), FieldKind::Text, QStringLiteral("超期罚款(元)："))
            .setValue(QStringLiteral("0"));
    Field& psyx = // the book is damaged or lost: its compensation is charged
        addField(QStringLiteral("psyx"), FieldKind::Check,
                 QStringLiteral("图书破损或遗失     赔偿金额(元)："))
            .setValue(false);
    Field& pspz = // the compensation in yuan, a share of the price
        addField(QStringLiteral("pspz"), FieldKind::Text).setValue(QStringLiteral("0"));
    Field& GroupBox12 = // the rent, shown for a pay-per-day reader only
        addField(QStringLiteral("GroupBox12"), FieldKind::Group).setVisible(false);
    Field& zjgj = // a pay-per-day reader's rent for this book
        addField(QStringLiteral("zjgj"), FieldKind::Text, QStringLiteral("租借租金共计："))
            .setValue(QStringLiteral("0"));
    // The total is worked out from its parts, never typed: it is shown like the rest of its
    // always disabled group.
    Field& zj = // the total in yuan
        addField(QStringLiteral("zj"), FieldKind::Text, QStringLiteral("总计(元)："))
            .setValue(QStringLiteral("0"))
            .setEnabled(false);
    Field& cyjhz = // the total is taken from the deposit instead of cash
        addField(QStringLiteral("cyjhz"), FieldKind::Check, QStringLiteral("从押金中扣除"))
            .setValue(false);
    Field& Button1 = // takes the book back; usable once both the reader and the book are accepted
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("归还"))
            .setEnabled(false);
    Field& Button3 = // opens the borrowing screen for the same reader
        addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("继续借书"))
            .setEnabled(false);
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

private:
    void allowReturn(bool allowed);
    // Resets the loan's dates, overdue days and charges, the compensation excepted.
    void clearCharges();

    Tfrm_TZJBook& borrowing_;
    Circulation::LoanList loans_;
    // Set while the screen fills the amounts itself: the total follows quietly.
    bool settling_ = false;
};

} // namespace lms
