#pragma once

#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "labels/LabelPrinting.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"

#include <optional>

namespace lms {

// Reader registration: proposes the loan limits, fees and validity of the chosen reader type
// and stores the new reader with its ledger and log records.
class Tfrm_TJReader : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_TJReader(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void IDChange();
    void CheckisHaveReaderClick();
    void rxChange();
    void yjChange();
    void Button1Click();
    void Button2Click();
    // "打印读者证": the card of the reader just stored, as stored.
    void Button4Click();
    void setCardPrinting(Labels::PrintReaderCards print) { printCard_ = std::move(print); }

    // The screen's fields, named as its widgets.
    Field& ID = // the new reader's id; a full id checks itself
        addField(QStringLiteral("ID"), FieldKind::Text, QStringLiteral("读者编号："))
            .setMaxBytes(20);
    Field& CheckisHaveReader = // "<<": tells whether a shorter id is free
        addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    Field& xm = // name
        addField(QStringLiteral("xm"), FieldKind::Text, QStringLiteral("读者姓名："))
            .setMaxBytes(Readers::kNameBytes);
    Field& xp = // sex
        addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
            .setItems(Readers::sexes());
    Field& rx = // reader type; choosing one proposes its limits, amounts and validity
        addField(QStringLiteral("rx"), FieldKind::List, QStringLiteral("读者类型："))
            .setItems(Readers::types());
    Field& zjhm = // identity card number
        addField(QStringLiteral("zjhm"), FieldKind::Text, QStringLiteral("证件号码："))
            .setMaxBytes(Readers::kIdNumberBytes);
    Field& df = // telephone
        addField(QStringLiteral("df"), FieldKind::Text, QStringLiteral("联系电话："))
            .setMaxBytes(Readers::kPhoneBytes);
    Field& bz = // remark
        addField(QStringLiteral("bz"), FieldKind::Memo,
                 QStringLiteral("备注：（最多255个字符或127个汉字）"))
            .setMaxBytes(Readers::kRemarkBytes);
    Field& tssn = // how many books the reader may hold
        addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
            .setUnbounded();
    Field& tssj = // how many days a loan lasts; its due date stays storable
        addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
            .setRange(-Dates::kLongestDaySpan, Dates::kLongestDaySpan);
    Field& GroupBox4 = // the opening fee and the deposit, editable when the settings allow
        addField(QStringLiteral("GroupBox4"), FieldKind::Group);
    Field& kff = // opening fee in yuan
        addField(QStringLiteral("kff"), FieldKind::Text, QStringLiteral("开户费（元）："));
    Field& yj = // deposit in yuan
        addField(QStringLiteral("yj"), FieldKind::Text, QStringLiteral("押金（元）："));
    Field& GroupBox5 = // the rent, hidden for "按日租借"
        addField(QStringLiteral("GroupBox5"), FieldKind::Group);
    Field& zj = // rent of one period in yuan
        addField(QStringLiteral("zj"), FieldKind::Text, QStringLiteral("     租     金（元）："));
    Field& GroupBox3 = // the total, shown only
        addField(QStringLiteral("GroupBox3"), FieldKind::Group).setEnabled(false);
    Field& fyzj = // the three amounts added up
        addField(QStringLiteral("fyzj"), FieldKind::Text, QStringLiteral("缴纳费用总计（元）："));
    Field& GroupBox6 = // the validity, hidden for "按日租借"
        addField(QStringLiteral("GroupBox6"), FieldKind::Group);
    Field& yxq = // the rental's validity
        addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("租借有效期至："));
    Field& Button1 = // stores the reader
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("添加"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
    Field& Button4 = // usable from a reader's storing until the next id is typed
        addField(QStringLiteral("Button4"), FieldKind::Button, QStringLiteral("打印读者证"))
            .setEnabled(false);

private:
    // The three amounts and their sum, when all three are numbers an amount can hold.
    struct Amounts {
        double deposit = 0;
        double rent = 0;
        double openingFee = 0;
        double total = 0;
    };
    std::optional<Amounts> amounts() const;
    // Sets deposit, rent and fee as one proposal; the total follows from them once.
    void propose(int typeIndex);

    // The reader just stored has no card to print any more.
    void forgetStored();

    ScreenContext ctx_;
    QString storedId_; // the reader just stored, until the next id is typed
    Labels::PrintReaderCards printCard_;
    // Set while the screen fills the amounts itself, so the running total stays quiet.
    bool proposing_ = false;
};

} // namespace lms
