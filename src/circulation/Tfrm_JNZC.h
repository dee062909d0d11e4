#pragma once

#include "circulation/PaymentProposal.h"
#include "circulation/ReceiptSlip.h"
#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderRecord.h"

#include <QDateTime>

namespace lms {

// Payments and top-up: renews a time-based reader's rental for one period of the chosen type,
// collects its rent and brings the deposit to the type's standard, in one stored payment.
class Tfrm_JNZC : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_JNZC(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void CheckisHaveReaderClick();
    void tzrxChange();
    void TzrxGb();
    void ZJChange();
    void Button2Click();
    void Button1Click();

    bool readerOk() const { return readerOk_; }
    const QString& currentReaderId() const { return currentReaderId_; }

    ReceiptSlip& receipt() { return receipt_; }

    // The screen's fields, named as its widgets: the reader as stored, then the payment.
    Field& ID = // the reader's id; a full id looks itself up
        addField(QStringLiteral("ID"), FieldKind::Text, QStringLiteral("读者编号："))
            .setMaxBytes(20);
    Field& CheckisHaveReader = // "<<": looks up a shorter id
        addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    Field& tzxm = // name
        addField(QStringLiteral("tzxm"), FieldKind::Label, QStringLiteral("读者姓名："));
    Field& xp = // sex, shown only
        addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
            .setItems(Readers::sexes())
            .setEnabled(false);
    Field& tzrx = // reader type; choosing one proposes the renewal of that type
        addField(QStringLiteral("tzrx"), FieldKind::List, QStringLiteral("读者类型："))
            .setItems(Readers::types())
            .setItemIndex(0);
    Field& zjhm = // identity card number
        addField(QStringLiteral("zjhm"), FieldKind::Label, QStringLiteral("证件号码："));
    Field& df = // telephone
        addField(QStringLiteral("df"), FieldKind::Label, QStringLiteral("联系电话："));
    Field& bz = // remark, stored with the payment
        addField(QStringLiteral("bz"), FieldKind::Memo, QStringLiteral("备注："));
    Field& tssn = // how many books the reader may hold
        addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
            .setUnbounded();
    Field& tssj = // how many days a loan lasts; its due date stays storable
        addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
            .setRange(-Dates::kLongestDaySpan, Dates::kLongestDaySpan);
    Field& tzzt = // state, shown only; some states cannot pay
        addField(QStringLiteral("tzzt"), FieldKind::List, QStringLiteral("当前状态："))
            .setItems(Readers::states())
            .setItemIndex(0)
            .setEnabled(false);
    Field& khrq = // when the account was opened, shown only
        addField(QStringLiteral("khrq"), FieldKind::Date, QStringLiteral("开户日期："))
            .setEnabled(false);
    Field& yj = // the deposit before the payment in yuan
        addField(QStringLiteral("yj"), FieldKind::Label, QStringLiteral("原押金(元)："));
    Field& whsn = // books out
        addField(QStringLiteral("whsn"), FieldKind::Label, QStringLiteral("未还图书数量(本)："));
    Field& GroupBox8 = // the validity before the payment, hidden for "按日租借"
        addField(QStringLiteral("GroupBox8"), FieldKind::Group);
    Field& yxq = // the validity before the payment, idle days included
        addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("原租借有效期至："))
            .setEnabled(false);
    Field& GroupBox5 = // the rent, editable when the settings allow
        addField(QStringLiteral("GroupBox5"), FieldKind::Group);
    Field& ZJ = // rent in yuan
        addField(QStringLiteral("ZJ"), FieldKind::Text, QStringLiteral("租        金(元)："));
    Field& GroupBox7 = // the deposit change, editable when the settings allow
        addField(QStringLiteral("GroupBox7"), FieldKind::Group);
    Field& ZJYJ = // what the deposit goes up (or, negative, down) by, in yuan
        addField(QStringLiteral("ZJYJ"), FieldKind::Text, QStringLiteral("押金增减(负数为减)："));
    Field& GroupBox6 = // the new validity, hidden for "按日租借"
        addField(QStringLiteral("GroupBox6"), FieldKind::Group);
    Field& xyxq = // the validity after the payment
        addField(QStringLiteral("xyxq"), FieldKind::Date, QStringLiteral("租借有效期延长至："));
    Field& GroupBox3 = // the total, shown only
        addField(QStringLiteral("GroupBox3"), FieldKind::Group).setEnabled(false);
    Field& fyzj = // rent and deposit change added up
        addField(QStringLiteral("fyzj"), FieldKind::Text, QStringLiteral("缴纳总计(元)："));
    Field& Button2 = // stores the payment
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("确定充值"));
    Field& Button1 = // closes the screen
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("关闭"));
    Field& ReceiptButton = // "打印凭条": prints the last payment's receipt
        addField(ReceiptSlip::kButton, FieldKind::Button, ReceiptSlip::kCaption);

private:
    // Stores the payment with its log and ledger records in one transaction; throws DbError.
    // Returns the row of its ledger record, which the receipt is read from, or nothing when
    // another desk changed the reader's validity since the lookup.
    std::optional<qint64> store(double rent, double depositChange, const QDateTime& now);

    ScreenContext ctx_;
    ReceiptSlip receipt_;
    QString currentReaderId_;
    Readers::ReaderRecord loadedReader_; // as the lookup read it
    bool readerOk_ = false;
    Circulation::PaymentBasis old_;
    // Set while the screen fills fields itself: the type's proposal and the running total wait.
    bool filling_ = false;
};

} // namespace lms
