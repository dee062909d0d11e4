#include "circulation/Tfrm_JNZC.h"

#include "reports/Receipt.h"

#include "circulation/CirculationMessages.h"
#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "core/form/StoredValues.h"
#include "core/pubdata.h"
#include "readers/Amounts.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderLookup.h"

#include <QScopedValueRollback>
#include <climits>

namespace lms {

using namespace Circulation;

Tfrm_JNZC::Tfrm_JNZC(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_JNZC"), QStringLiteral("缴费充值"), parent), ctx_(ctx),
      receipt_(ctx) {
    addField(QStringLiteral("ID"), FieldKind::Text, QStringLiteral("读者编号：")).setMaxBytes(20);
    addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    readerPanel_.name =
        &addField(QStringLiteral("tzxm"), FieldKind::Label, QStringLiteral("读者姓名："));
    readerPanel_.sex =
        &addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
             .setItems(Readers::sexes());
    field(QStringLiteral("xp")).setEnabled(false);
    Field& type = addField(QStringLiteral("tzrx"), FieldKind::List, QStringLiteral("读者类型："));
    readerPanel_.type = &type;
    type.setItems(Readers::types());
    type.setItemIndex(0);
    readerPanel_.idNumber =
        &addField(QStringLiteral("zjhm"), FieldKind::Label, QStringLiteral("证件号码："));
    readerPanel_.phone =
        &addField(QStringLiteral("df"), FieldKind::Label, QStringLiteral("联系电话："));
    readerPanel_.remark =
        &addField(QStringLiteral("bz"), FieldKind::Memo, QStringLiteral("备注："));
    readerPanel_.maxBooks =
        &addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
             .setUnbounded();
    // A loan period keeps its due date storable.
    readerPanel_.maxDays =
        &addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
             .setRange(-Dates::kLongestDaySpan, Dates::kLongestDaySpan);
    Field& state = addField(QStringLiteral("tzzt"), FieldKind::List, QStringLiteral("当前状态："));
    readerPanel_.state = &state;
    state.setItems(Readers::states());
    state.setItemIndex(0);
    state.setEnabled(false);
    readerPanel_.openedAt =
        &addField(QStringLiteral("khrq"), FieldKind::Date, QStringLiteral("开户日期："))
             .setEnabled(false);
    readerPanel_.deposit =
        &addField(QStringLiteral("yj"), FieldKind::Label, QStringLiteral("原押金(元)："));
    readerPanel_.booksOut =
        &addField(QStringLiteral("whsn"), FieldKind::Label, QStringLiteral("未还图书数量(本)："));
    addField(QStringLiteral("GroupBox8"), FieldKind::Group);
    addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("原租借有效期至："))
        .setEnabled(false);
    addField(QStringLiteral("GroupBox5"), FieldKind::Group);
    addField(QStringLiteral("ZJ"), FieldKind::Text, QStringLiteral("租        金(元)："));
    addField(QStringLiteral("GroupBox7"), FieldKind::Group);
    addField(QStringLiteral("ZJYJ"), FieldKind::Text, QStringLiteral("押金增减(负数为减)："));
    addField(QStringLiteral("GroupBox6"), FieldKind::Group);
    addField(QStringLiteral("xyxq"), FieldKind::Date, QStringLiteral("租借有效期延长至："));
    addField(QStringLiteral("GroupBox3"), FieldKind::Group).setEnabled(false);
    addField(QStringLiteral("fyzj"), FieldKind::Text, QStringLiteral("缴纳总计(元)："));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("确定充值"));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("关闭"));

    lookUpWhenFull(
        field(QStringLiteral("ID")), [this] { return ctx_.pub.ReaderIdMaxLen; },
        [this] { CheckisHaveReaderClick(); });
    onKeyDown(QStringLiteral("ID"), [this](int key) {
        const QString id = typedId(field(QStringLiteral("ID")));
        if (key == kEnterKey && !id.isEmpty() && !(readerOk_ && id == currentReaderId_))
            CheckisHaveReaderClick();
    });
    onChange(QStringLiteral("tzrx"), [this] {
        if (!filling_)
            tzrxChange();
    });
    onChange(QStringLiteral("ZJ"), [this] { ZJChange(); });
    onChange(QStringLiteral("ZJYJ"), [this] { ZJChange(); });
    addOperation(QStringLiteral("CheckisHaveReaderClick"), [this] { CheckisHaveReaderClick(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    receipt_.attach(addField(ReceiptSlip::kButton, FieldKind::Button, ReceiptSlip::kCaption));
    addOperation(ReceiptSlip::kButton + QStringLiteral("Click"), [this] { receipt_.print(); });
    for (const char* name : {"CheckisHaveReader", "Button2", "Button1"}) {
        const QString button = QString::fromLatin1(name);
        onKeyDown(button, [this, button](int key) {
            if (key == kEnterKey && field(button).isEnabled())
                run(button + QStringLiteral("Click"));
        });
    }
}

void Tfrm_JNZC::FormShow() {
    receipt_.clear();
    iniall();
    readerOk_ = false;
    field(QStringLiteral("ID")).requestFocus();
}

void Tfrm_JNZC::iniall() {
    Field& id = field(QStringLiteral("ID"));
    id.setMaxBytes(ctx_.pub.ReaderIdMaxLen);
    {
        const QScopedValueRollback<bool> filling(filling_, true);
        id.setValue(QString());
        for (const char* name : {"tzxm", "df", "zjhm", "bz"})
            field(QString::fromLatin1(name)).setValue(QString());
        field(QStringLiteral("xp")).setItemIndex(-1);
        field(QStringLiteral("tzrx")).setItemIndex(0);
    }
    currentReaderId_.clear();
    field(QStringLiteral("GroupBox5")).setEnabled(ctx_.pub.AllowAmountEdit);
    field(QStringLiteral("GroupBox7")).setEnabled(ctx_.pub.AllowAmountEdit);
    field(QStringLiteral("GroupBox5")).setVisible(true);
    field(QStringLiteral("GroupBox6")).setVisible(true);
    field(QStringLiteral("Button2")).setEnabled(true);
}

void Tfrm_JNZC::CheckisHaveReaderClick() {
    Field& idField = field(QStringLiteral("ID"));
    const QString id = typedId(idField);
    const Readers::ReaderLookup lookup = Readers::lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniall();
        readerOk_ = false;
        idField.requestFocus();
    } else if (lookup.found()) {
        const Readers::ReaderRecord& reader = lookup.reader;
        const QDateTime now = ctx_.clock.now();
        currentReaderId_ = id;
        {
            const QScopedValueRollback<bool> filling(filling_, true);
            Readers::showReader(readerPanel_, reader);
        }
        old_.oldType = field(QStringLiteral("tzrx")).text();
        old_.oldMaxBooks = reader.maxBooks;
        old_.oldMaxDays = reader.maxDays;
        old_.oldDeposit = Numbers::parseSingle(field(QStringLiteral("yj")).text()).value_or(0.0f);
        Field& validity = field(QStringLiteral("yxq"));
        if (old_.oldType != Readers::types().at(Readers::Daily)) {
            field(QStringLiteral("GroupBox5")).setVisible(true);
            validity.setValue(reader.shownValidity(ctx_.pub.AutoExtendValidity, now).validity);
        } else {
            field(QStringLiteral("GroupBox8")).setVisible(false);
            validity.setValue(now);
        }
        old_.shownValidity = validity.value().toDateTime();
        if (Dates::dayNumber(old_.shownValidity) < Dates::dayNumber(now))
            ctx_.prompter.information(paymentValidityOverMessage());
        const int state = field(QStringLiteral("tzzt")).itemIndex();
        const bool forbidden = state == Readers::Suspended || state == Readers::LostStopped;
        if (forbidden)
            ctx_.prompter.error(cannotPayInStateMessage(field(QStringLiteral("tzzt")).text()));
        field(QStringLiteral("Button2")).setEnabled(!forbidden);
        readerOk_ = true;
    }
    TzrxGb();
}

void Tfrm_JNZC::tzrxChange() {
    TzrxGb();
}

void Tfrm_JNZC::TzrxGb() {
    const Field& type = field(QStringLiteral("tzrx"));
    old_.shownValidity = field(QStringLiteral("yxq")).value().toDateTime();
    const PaymentProposal proposal =
        proposePayment(type.itemIndex(), type.text(), old_, ctx_.pub, ctx_.clock.now());
    const QScopedValueRollback<bool> filling(filling_, true);
    field(QStringLiteral("tssn")).setValue(proposal.maxBooks);
    field(QStringLiteral("tssj")).setValue(proposal.maxDays);
    field(QStringLiteral("ZJYJ")).setValue(proposal.depositChange);
    for (const char* group : {"GroupBox5", "GroupBox6", "GroupBox8"})
        field(QString::fromLatin1(group)).setVisible(proposal.periodic);
    field(QStringLiteral("ZJ")).setValue(proposal.rent);
    field(QStringLiteral("fyzj")).setValue(proposal.total);
    field(QStringLiteral("xyxq")).setValue(proposal.newValidity);
}

void Tfrm_JNZC::ZJChange() {
    if (filling_)
        return;
    const QString rent = field(QStringLiteral("ZJ")).text();
    const QString change = field(QStringLiteral("ZJYJ")).text();
    const QString minus = QStringLiteral("-");
    if (rent.isEmpty() || change.isEmpty() || rent == minus || change == minus)
        return;
    const std::optional<double> rentValue = Readers::parseAmount(rent);
    const std::optional<double> changeValue = Readers::parseAmount(change);
    if (!rentValue || !changeValue || !Readers::fitsLedger(*rentValue + *changeValue)) {
        ctx_.prompter.error(invalidAmountMessage());
        return;
    }
    field(QStringLiteral("fyzj")).setValue(Numbers::generalForm(*rentValue + *changeValue));
}

void Tfrm_JNZC::Button2Click() {
    if (!readerOk_) {
        ctx_.prompter.error(payWithoutReaderMessage());
        field(QStringLiteral("ID")).requestFocus();
        return;
    }
    // A reader in a forbidden state is looked up but cannot pay.
    if (!field(QStringLiteral("Button2")).isEnabled())
        return;
    const std::optional<double> rent = Readers::parseAmount(field(QStringLiteral("ZJ")).text());
    const std::optional<double> change = Readers::parseAmount(field(QStringLiteral("ZJYJ")).text());
    if (!rent || !change || !Readers::fitsLedger(*rent + *change)) {
        ctx_.prompter.error(invalidPaymentMessage());
        return;
    }
    if (!Dates::isStorable(field(QStringLiteral("xyxq")).value().toDateTime())) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        return;
    }
    const double total = *rent + *change;
    {
        const QScopedValueRollback<bool> filling(filling_, true);
        field(QStringLiteral("fyzj")).setValue(Numbers::generalForm(total));
    }
    qint64 ledgerRow = 0;
    try {
        ledgerRow = store(*rent, *change, total, ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    receipt_.keep(ReceiptSource::payment(ledgerRow, currentReaderId_));
    ctx_.prompter.information(paidMessage());
    iniall();
    field(QStringLiteral("ID")).requestFocus();
    readerOk_ = false;
}

qint64 Tfrm_JNZC::store(double rent, double depositChange, double total, const QDateTime& now) {
    const Field& type = field(QStringLiteral("tzrx"));
    if (!hasChoice(type))
        throw DbError(0, "reader type not chosen");
    Database& db = ctx_.dm.db();
    Transaction transaction(db);
    // The stored validity may hold idle days; renewing the state date keeps the next lookup
    // from adding them again.
    Query(db, QStringLiteral("UPDATE 读者 SET 读者类型 = ?, 最多持有图书数量 = ?, "
                             "最长持有图书天数 = ?, 备注 = ?, 借阅有效期 = ?, "
                             "押金 = COALESCE(押金, 0) + ?, 状态设置期 = ? WHERE 读者编号 = ?"))
        .bindAll({type.text(), field(QStringLiteral("tssn")).number(),
                  field(QStringLiteral("tssj")).number(),
                  Gbk::joinLines(field(QStringLiteral("bz")).text()),
                  Dates::toStorage(field(QStringLiteral("xyxq")).value().toDateTime()),
                  depositChange, Dates::toStorage(now), currentReaderId_})
        .exec();
    if (db.scalar(QStringLiteral("SELECT changes()")).toInt() != 1)
        throw DbError(0, "the reader who pays is gone");
    ctx_.dm.appendLog(QStringLiteral("缴费充值"), ctx_.pub.CurrentUser, now,
                      QStringLiteral("读者编号：") + currentReaderId_ +
                          QStringLiteral(" 总金额：") + field(QStringLiteral("fyzj")).text() +
                          QStringLiteral(" 押金增减：") + field(QStringLiteral("ZJYJ")).text());
    ctx_.dm.appendLedger(QStringLiteral("缴费充值"), ctx_.pub.CurrentUser, now,
                         {.total = static_cast<float>(total),
                          .deposit = static_cast<float>(depositChange),
                          .rent = static_cast<float>(rent)});
    const qint64 ledgerRow = Receipts::lastRowid(db);
    transaction.commit();
    return ledgerRow;
}

void Tfrm_JNZC::Button1Click() {
    close();
}

} // namespace lms
