#include "readers/Tfrm_SZReader.h"

#include "core/DateRules.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderLookup.h"
#include "readers/ReaderMessages.h"

#include <climits>

namespace lms {

using namespace Readers;

Tfrm_SZReader::Tfrm_SZReader(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_SZReader"), QStringLiteral("删除读者"), parent), ctx_(ctx) {
    addField(QStringLiteral("tzID"), FieldKind::Text, QStringLiteral("读者编号："));
    addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    addField(QStringLiteral("GroupBox1"), FieldKind::Group, QStringLiteral("读者信息浏览："))
        .setEnabled(false);
    readerPanel_.name =
        &addField(QStringLiteral("tzxm"), FieldKind::Text, QStringLiteral("读者姓名："));
    readerPanel_.sex =
        &addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
             .setItems(sexes());
    readerPanel_.type =
        &addField(QStringLiteral("tzrx"), FieldKind::List, QStringLiteral("读者类型："))
             .setItems(types());
    readerPanel_.idNumber =
        &addField(QStringLiteral("zjhm"), FieldKind::Text, QStringLiteral("证件号码："));
    readerPanel_.phone =
        &addField(QStringLiteral("df"), FieldKind::Text, QStringLiteral("联系电话："));
    readerPanel_.maxBooks =
        &addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
             .setUnbounded();
    readerPanel_.maxDays =
        &addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
             .setUnbounded();
    readerPanel_.booksOut =
        &addField(QStringLiteral("whsn"), FieldKind::Spin, QStringLiteral("未还图书数量(本)："))
             .setUnbounded();
    readerPanel_.loansTotal =
        &addField(QStringLiteral("jyzj"), FieldKind::Spin, QStringLiteral("租借总计(本次)："))
             .setUnbounded();
    Field& state = addField(QStringLiteral("tzzt"), FieldKind::List, QStringLiteral("读者状态："));
    readerPanel_.state = &state;
    state.setItems(states());
    state.setItemIndex(NormalUse);
    readerPanel_.deposit =
        &addField(QStringLiteral("yj"), FieldKind::Text, QStringLiteral("押金剩余(元)："));
    readerPanel_.openedAt =
        &addField(QStringLiteral("khrq"), FieldKind::Date, QStringLiteral("开户日期："));
    readerPanel_.stateSince =
        &addField(QStringLiteral("tzztszq"), FieldKind::Date, QStringLiteral("状态设置时间："));
    addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("租借有效期至："));
    readerPanel_.remark =
        &addField(QStringLiteral("tzbz"), FieldKind::Memo, QStringLiteral("读者备注："))
             .setMaxBytes(kRemarkBytes);
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("删除"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

    lookUpWhenFull(
        field(QStringLiteral("tzID")), [this] { return ctx_.pub.ReaderIdMaxLen; },
        [this] { CheckisHaveReaderClick(); });
    addOperation(QStringLiteral("CheckisHaveReaderClick"), [this] { CheckisHaveReaderClick(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
}

void Tfrm_SZReader::FormShow() {
    iniTZ();
    allowDeletion(false);
}

void Tfrm_SZReader::allowDeletion(bool allowed) {
    // Deletion is allowed exactly while the button is usable.
    field(QStringLiteral("Button1")).setEnabled(allowed);
}

void Tfrm_SZReader::iniTZ() {
    Field& id = field(QStringLiteral("tzID"));
    id.setMaxBytes(ctx_.pub.ReaderIdMaxLen);
    id.setValue(QString());
    field(QStringLiteral("tzxm")).setValue(QString());
    field(QStringLiteral("xp")).setItemIndex(-1);
    field(QStringLiteral("df")).setValue(QString());
    field(QStringLiteral("zjhm")).setValue(QString());
    field(QStringLiteral("tzbz")).setValue(QString());
    loadedId_.clear();
    loadedDeposit_ = 0;
    field(QStringLiteral("tzrx")).setItemIndex(0);
    const QDateTime now = ctx_.clock.now();
    for (const char* date : {"khrq", "yxq", "tzztszq"})
        field(QString::fromLatin1(date)).setValue(now);
}

void Tfrm_SZReader::CheckisHaveReaderClick() {
    Field& idField = field(QStringLiteral("tzID"));
    const QString id = typedId(idField);
    const ReaderLookup lookup = lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniTZ();
        allowDeletion(false);
        idField.requestFocus();
        return;
    }
    if (!lookup.found()) {
        loadedId_.clear();
        allowDeletion(false);
        return;
    }
    const ReaderRecord& reader = lookup.reader;
    const QDateTime now = ctx_.clock.now();
    loadedId_ = id;
    loadedDeposit_ = reader.deposit;
    showReader(readerPanel_, reader);
    if (reader.deposit < 0)
        ctx_.prompter.warning(negativeDepositMessage());
    field(QStringLiteral("yxq"))
        .setValue(reader.typeIndex() == Daily
                      ? now
                      : reader.shownValidity(ctx_.pub.AutoExtendValidity, now).validity);
    if (reader.booksOut <= 0) {
        allowDeletion(true);
        field(QStringLiteral("Button1")).requestFocus();
        return;
    }
    ctx_.prompter.error(QStringLiteral("读者编号为：") + id + QStringLiteral("的读者还有") +
                        QString::number(reader.booksOut) +
                        QStringLiteral("本图书未还！不能删除！") + QChar(13) + QChar(13) +
                        QStringLiteral("请归还图书之后再删除。"));
    allowDeletion(false);
    idField.requestFocus();
}

void Tfrm_SZReader::Button1Click() {
    if (!field(QStringLiteral("Button1")).isEnabled() || loadedId_.isEmpty()) {
        ctx_.prompter.error(
            QStringLiteral("请先在读者编号输入框中输入读者编号查询后，当充许删除时才能删除！"));
        field(QStringLiteral("tzID")).requestFocus();
        return;
    }
    const QDateTime now = ctx_.clock.now();
    const float refund = static_cast<float>(loadedDeposit_);
    try {
        Database& db = ctx_.dm.db();
        Transaction transaction(db);
        Query(db, QStringLiteral("DELETE FROM 读者 WHERE 读者编号 = ?")).bind(1, loadedId_).exec();
        if (db.scalar(QStringLiteral("SELECT changes()")).toInt() != 1)
            throw DbError(0, "the loaded reader is gone");
        ctx_.dm.appendLog(QStringLiteral("删除读者"), ctx_.pub.CurrentUser, now,
                          QStringLiteral(" 被删除的读者编号：") + loadedId_);
        ctx_.dm.appendLedger(QStringLiteral("删除读者退回押金"), ctx_.pub.CurrentUser, now,
                             {.total = -refund, .deposit = -refund});
        transaction.commit();
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("删除读者成功!退回押金金额：") +
                              field(QStringLiteral("yj")).text() + QStringLiteral(" 元。"));
    iniTZ();
    allowDeletion(false);
    field(QStringLiteral("tzID")).requestFocus();
}

void Tfrm_SZReader::Button2Click() {
    close();
}

} // namespace lms
