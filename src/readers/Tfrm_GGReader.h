#pragma once

#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderRecord.h"

#include <QDateTime>
#include <functional>

namespace lms {

// Reader maintenance: looks a reader up, shows the validity with the idle-time extension and
// stores the clerk's changes to personal data, type, limits, validity and state.
class Tfrm_GGReader : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_GGReader(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void CheckisHaveReaderClick();
    void Button1Click();
    void Button2Click();
    // "账户明细": the statement of the reader looked up.
    void Button3Click();
    void setStatementOpening(std::function<void(const QString& readerId)> open) {
        openStatement_ = std::move(open);
    }

    // The screen's fields, named as its widgets.
    Field& ID = // the reader's id; a full id looks itself up
        addField(QStringLiteral("ID"), FieldKind::Text, QStringLiteral("读者编号："))
            .setMaxBytes(20);
    Field& CheckisHaveReader = // "<<": looks up a shorter id
        addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    Field& tzxm = // name
        addField(QStringLiteral("tzxm"), FieldKind::Text, QStringLiteral("读者姓名："))
            .setMaxBytes(Readers::kNameBytes);
    Field& xp = // sex
        addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
            .setItems(Readers::sexes());
    Field& tzrx = // reader type
        addField(QStringLiteral("tzrx"), FieldKind::List, QStringLiteral("读者类型："))
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
    Field& tzzt = // state; some states are refused or questioned while books are out
        addField(QStringLiteral("tzzt"), FieldKind::List, QStringLiteral("当前状态："))
            .setItems(Readers::states())
            .setItemIndex(Readers::NormalUse);
    Field& yj = // deposit left in yuan, shown only
        addField(QStringLiteral("yj"), FieldKind::Label, QStringLiteral("押金(元)："));
    Field& whsn = // books out, shown only
        addField(QStringLiteral("whsn"), FieldKind::Label, QStringLiteral("未还图书数量(本)："));
    Field& khrq = // when the account was opened, shown only
        addField(QStringLiteral("khrq"), FieldKind::Date, QStringLiteral("开户日期："))
            .setEnabled(false);
    Field& GroupBox3 = // the validity, hidden for "按日租借"
        addField(QStringLiteral("GroupBox3"), FieldKind::Group);
    Field& yxq = // the rental's validity, idle days included
        addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("租借有效期至："));
    Field& Button1 = // stores the change
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("更改"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
    Field& Button3 = // the looked-up reader's statement; usable only while one is
        addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("账户明细"));

private:
    // Writes the change, its log record included, in one transaction; throws DbError.
    // False when another desk changed or deleted the reader since the lookup; that is then said.
    bool store(const QDateTime& now);

    void setLoaded(bool loaded);

    ScreenContext ctx_;
    std::function<void(const QString& readerId)> openStatement_;
    // The loaded-reader context, from a successful lookup to the next change or lookup.
    bool loaded_ = false;
    QString loadedId_;
    int loadedStateIndex_ = 0;
    int loadedBooksOut_ = 0;
    Readers::ReaderRecord loadedReader_; // as read by the lookup
    // The validity shown holds idle days beyond the stored one.
    bool loadedExtended_ = false;
};

} // namespace lms
