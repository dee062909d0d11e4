#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderRecord.h"

namespace lms {

// Reader deletion: shows a reader read-only, deletes one who holds no book and refunds the
// remaining deposit, with the ledger and log records in the same transaction.
class Tfrm_SZReader : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_SZReader(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniTZ();
    void CheckisHaveReaderClick();
    void Button1Click();
    void Button2Click();

    // The screen's fields, named as its widgets; the reader is shown, not edited.
    Field& tzID = // the reader's id; a full id looks itself up
        addField(QStringLiteral("tzID"), FieldKind::Text, QStringLiteral("读者编号："));
    Field& CheckisHaveReader = // "<<": looks up a shorter id
        addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    Field& GroupBox1 = // the reader's data, shown only
        addField(QStringLiteral("GroupBox1"), FieldKind::Group, QStringLiteral("读者信息浏览："))
            .setEnabled(false);
    Field& tzxm = // name
        addField(QStringLiteral("tzxm"), FieldKind::Text, QStringLiteral("读者姓名："));
    Field& xp = // sex
        addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
            .setItems(Readers::sexes());
    Field& tzrx = // reader type
        addField(QStringLiteral("tzrx"), FieldKind::List, QStringLiteral("读者类型："))
            .setItems(Readers::types());
    Field& zjhm = // identity card number
        addField(QStringLiteral("zjhm"), FieldKind::Text, QStringLiteral("证件号码："));
    Field& df = // telephone
        addField(QStringLiteral("df"), FieldKind::Text, QStringLiteral("联系电话："));
    Field& tssn = // how many books the reader may hold
        addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
            .setUnbounded();
    Field& tssj = // how many days a loan lasts
        addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
            .setUnbounded();
    Field& whsn = // books out; a reader with any cannot be deleted
        addField(QStringLiteral("whsn"), FieldKind::Spin, QStringLiteral("未还图书数量(本)："))
            .setUnbounded();
    Field& jyzj = // books lent in all
        addField(QStringLiteral("jyzj"), FieldKind::Spin, QStringLiteral("租借总计(本次)："))
            .setUnbounded();
    Field& tzzt = // state
        addField(QStringLiteral("tzzt"), FieldKind::List, QStringLiteral("读者状态："))
            .setItems(Readers::states())
            .setItemIndex(Readers::NormalUse);
    Field& yj = // deposit left in yuan, paid back on deletion
        addField(QStringLiteral("yj"), FieldKind::Text, QStringLiteral("押金剩余(元)："));
    Field& khrq = // when the account was opened
        addField(QStringLiteral("khrq"), FieldKind::Date, QStringLiteral("开户日期："));
    Field& tzztszq = // when the state was last set
        addField(QStringLiteral("tzztszq"), FieldKind::Date, QStringLiteral("状态设置时间："));
    Field& yxq = // the rental's validity, idle days included
        addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("租借有效期至："));
    Field& tzbz = // remark
        addField(QStringLiteral("tzbz"), FieldKind::Memo, QStringLiteral("读者备注："))
            .setMaxBytes(Readers::kRemarkBytes);
    Field& Button1 = // deletes the reader; usable only while deletion is allowed
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("删除"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

private:
    void allowDeletion(bool allowed);
    // The message for a reader with books out, who cannot be deleted.
    void refuseBooksOut(const QString& id, int booksOut);

    ScreenContext ctx_;
    QString loadedId_;
    Readers::ReaderRecord loadedReader_; // as read by the lookup
};

} // namespace lms
