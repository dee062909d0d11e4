#include "readers/Tfrm_GGReader.h"

#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "core/form/StoredValues.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderLookup.h"

#include <climits>

namespace lms {

using namespace Readers;

Tfrm_GGReader::Tfrm_GGReader(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_GGReader"), QStringLiteral("更改读者信息"), parent), ctx_(ctx) {
    addField(QStringLiteral("ID"), FieldKind::Text, QStringLiteral("读者编号：")).setMaxBytes(20);
    addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    readerPanel_.name =
        &addField(QStringLiteral("tzxm"), FieldKind::Text, QStringLiteral("读者姓名："))
             .setMaxBytes(kNameBytes);
    readerPanel_.sex =
        &addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
             .setItems(sexes());
    readerPanel_.type =
        &addField(QStringLiteral("tzrx"), FieldKind::List, QStringLiteral("读者类型："))
             .setItems(types());
    readerPanel_.idNumber =
        &addField(QStringLiteral("zjhm"), FieldKind::Text, QStringLiteral("证件号码："))
             .setMaxBytes(kIdNumberBytes);
    readerPanel_.phone =
        &addField(QStringLiteral("df"), FieldKind::Text, QStringLiteral("联系电话："))
             .setMaxBytes(kPhoneBytes);
    readerPanel_.remark = &addField(QStringLiteral("bz"), FieldKind::Memo,
                                    QStringLiteral("备注：（最多255个字符或127个汉字）"))
                               .setMaxBytes(kRemarkBytes);
    readerPanel_.maxBooks =
        &addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
             .setUnbounded();
    // A loan period keeps its due date storable.
    readerPanel_.maxDays =
        &addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
             .setRange(-Dates::kLongestDaySpan, Dates::kLongestDaySpan);
    Field& state = addField(QStringLiteral("tzzt"), FieldKind::List, QStringLiteral("当前状态："));
    readerPanel_.state = &state;
    state.setItems(states());
    state.setItemIndex(NormalUse);
    readerPanel_.deposit =
        &addField(QStringLiteral("yj"), FieldKind::Label, QStringLiteral("押金(元)："));
    readerPanel_.booksOut =
        &addField(QStringLiteral("whsn"), FieldKind::Label, QStringLiteral("未还图书数量(本)："));
    readerPanel_.openedAt =
        &addField(QStringLiteral("khrq"), FieldKind::Date, QStringLiteral("开户日期："))
             .setEnabled(false);
    addField(QStringLiteral("GroupBox3"), FieldKind::Group);
    addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("租借有效期至："));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("更改"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

    lookUpWhenFull(
        field(QStringLiteral("ID")), [this] { return ctx_.pub.ReaderIdMaxLen; },
        [this] { CheckisHaveReaderClick(); });
    addOperation(QStringLiteral("CheckisHaveReaderClick"), [this] { CheckisHaveReaderClick(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
}

void Tfrm_GGReader::FormShow() {
    iniall();
    loaded_ = false;
}

void Tfrm_GGReader::iniall() {
    Field& id = field(QStringLiteral("ID"));
    id.setMaxBytes(ctx_.pub.ReaderIdMaxLen);
    id.setValue(QString());
    field(QStringLiteral("tzxm")).setValue(QString());
    field(QStringLiteral("xp")).setItemIndex(-1);
    field(QStringLiteral("df")).setValue(QString());
    field(QStringLiteral("zjhm")).setValue(QString());
    field(QStringLiteral("bz")).setValue(QString());
    field(QStringLiteral("tzrx")).setItemIndex(0);
    loadedId_.clear();
    loadedStateIndex_ = 0;
    loadedExtended_ = false;
    const QDateTime now = ctx_.clock.now();
    field(QStringLiteral("yxq")).setValue(now);
    field(QStringLiteral("khrq")).setValue(now);
}

void Tfrm_GGReader::CheckisHaveReaderClick() {
    const QString id = typedId(field(QStringLiteral("ID")));
    const ReaderLookup lookup = lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniall();
        loaded_ = false;
        field(QStringLiteral("ID")).requestFocus();
        return;
    }
    if (!lookup.found()) {
        loaded_ = false;
        return;
    }
    const ReaderRecord& reader = lookup.reader;
    const QDateTime now = ctx_.clock.now();
    loadedId_ = id;
    showReader(readerPanel_, reader);
    loadedBooksOut_ = reader.booksOut;
    loadedStateIndex_ = field(QStringLiteral("tzzt")).itemIndex();
    const ShownValidity shown = reader.shownValidity(ctx_.pub.AutoExtendValidity, now);
    field(QStringLiteral("yxq")).setValue(shown.validity);
    const bool daily = field(QStringLiteral("tzrx")).itemIndex() == Daily;
    loadedExtended_ = shown.holdsExtension() && !daily;
    if (daily)
        field(QStringLiteral("yxq")).setValue(now);
    field(QStringLiteral("GroupBox3")).setVisible(!daily);
    if (Dates::dayNumber(field(QStringLiteral("yxq")).value().toDateTime()) < Dates::dayNumber(now))
        ctx_.prompter.information(QStringLiteral("此读者的租借有效阅期已超期!"));
    loaded_ = true;
}

void Tfrm_GGReader::Button1Click() {
    Field& id = field(QStringLiteral("ID"));
    if (!keepsLookedUpId(id, loaded_, loadedId_, QStringLiteral("读者"), ctx_.prompter))
        return;
    if (field(QStringLiteral("tzxm")).text().trimmed().isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入读者姓名！"));
        field(QStringLiteral("tzxm")).requestFocus();
        return;
    }
    if (!Dates::isStorable(field(QStringLiteral("yxq")).value().toDateTime())) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        field(QStringLiteral("yxq")).requestFocus();
        return;
    }
    const int state = field(QStringLiteral("tzzt")).itemIndex();
    const QString booksOut = QString::number(loadedBooksOut_);
    if (state == Suspended && loadedBooksOut_ > 0) {
        ctx_.prompter.error(QStringLiteral("读者还持有 ") + booksOut +
                            QStringLiteral(" 本图书未还，不能设置状态为：暂停停用！"));
        field(QStringLiteral("tzzt")).requestFocus();
        return;
    }
    if (state == LostStopped && loadedBooksOut_ > 0 &&
        !ctx_.prompter.warningYesNo(QStringLiteral("读者还持有 ") + booksOut +
                                    QStringLiteral(" 本图书未还，您确定要设置该读者为 挂失停用 "
                                                   "状态吗？"))) {
        field(QStringLiteral("tzzt")).requestFocus();
        return;
    }
    try {
        store(ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("读者信息更改成功!"));
    iniall();
    id.requestFocus();
    loaded_ = false;
}

void Tfrm_GGReader::store(const QDateTime& now) {
    const Field& type = field(QStringLiteral("tzrx"));
    const Field& sex = field(QStringLiteral("xp"));
    if (!hasChoice(type) || !hasChoice(sex))
        throw DbError(0, "reader type or sex not chosen");
    const Field& state = field(QStringLiteral("tzzt"));
    const bool stateChanged = state.itemIndex() != loadedStateIndex_;
    // A stored validity that already holds idle days starts the idle time afresh, or the next
    // lookup would add the same days again.
    const bool renewStateDate = stateChanged || loadedExtended_;

    QString sql = QStringLiteral("UPDATE 读者 SET 读者姓名 = ?, 读者类型 = ?, 性别 = ?, 电话 = ?, "
                                 "证件号码 = ?, 备注 = ?, 最多持有图书数量 = ?, "
                                 "最长持有图书天数 = ?, 借阅有效期 = ?");
    // Texts go back as the fields hold them: their byte limits hold for what the clerk types,
    // and a longer text stored before (a remark from the payment screen) is never cut here.
    QVariantList values = {field(QStringLiteral("tzxm")).text().trimmed(),
                           type.text(),
                           sex.text(),
                           field(QStringLiteral("df")).text().trimmed(),
                           field(QStringLiteral("zjhm")).text().trimmed(),
                           Gbk::joinLines(field(QStringLiteral("bz")).text()),
                           field(QStringLiteral("tssn")).number(),
                           field(QStringLiteral("tssj")).number(),
                           Dates::toStorage(field(QStringLiteral("yxq")).value().toDateTime())};
    if (stateChanged) {
        sql += QStringLiteral(", 当前状态 = ?");
        values << state.text();
    }
    if (renewStateDate) {
        sql += QStringLiteral(", 状态设置期 = ?");
        values << Dates::toStorage(now);
    }
    sql += QStringLiteral(" WHERE 读者编号 = ?");
    values << loadedId_;

    Database& db = ctx_.dm.db();
    Transaction transaction(db);
    Query(db, sql).bindAll(values).exec();
    if (db.scalar(QStringLiteral("SELECT changes()")).toInt() != 1)
        throw DbError(0, "the loaded reader is gone");
    ctx_.dm.appendLog(QStringLiteral("更改读者信息"), ctx_.pub.CurrentUser, now,
                      QStringLiteral("被更改的读者编号：") + loadedId_);
    transaction.commit();
}

void Tfrm_GGReader::Button2Click() {
    close();
}

} // namespace lms
