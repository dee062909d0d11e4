#include "circulation/Tfrm_JNZC.h"

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
#include "readers/ReaderMessages.h"
#include "readers/ReaderStore.h"

#include <QScopedValueRollback>
#include <climits>
#include <functional>
#include <utility>

namespace lms {

using namespace Circulation;

Tfrm_JNZC::Tfrm_JNZC(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_JNZC"), QStringLiteral("缴费充值"), parent), ctx_(ctx),
      receipt_(ctx) {
    lookUpWhenFull(
        ID, [this] { return ctx_.pub.ReaderIdMaxLen; }, [this] { CheckisHaveReaderClick(); });
    onKeyDown(ID, [this](int key) {
        const QString id = typedId(ID);
        if (key == kEnterKey && !id.isEmpty() && !(readerOk_ && id == currentReaderId_))
            CheckisHaveReaderClick();
    });
    onChange(tzrx, [this] {
        if (!filling_)
            tzrxChange();
    });
    onChange(ZJ, [this] { ZJChange(); });
    onChange(ZJYJ, [this] { ZJChange(); });
    receipt_.attach(ReceiptButton);
    onClick(ReceiptButton, [this] { receipt_.print(); });
    const std::pair<Field*, std::function<void()>> buttons[] = {
        {&CheckisHaveReader, [this] { CheckisHaveReaderClick(); }},
        {&Button2, [this] { Button2Click(); }},
        {&Button1, [this] { Button1Click(); }},
    };
    for (const auto& [button, click] : buttons)
        onClick(*button, click);
}

void Tfrm_JNZC::FormShow() {
    receipt_.clear();
    iniall();
    readerOk_ = false;
    ID.requestFocus();
}

void Tfrm_JNZC::iniall() {
    ID.setMaxBytes(ctx_.pub.ReaderIdMaxLen);
    {
        const QScopedValueRollback<bool> filling(filling_, true);
        ID.setValue(QString());
        for (Field* text : {&tzxm, &df, &zjhm, &bz})
            text->setValue(QString());
        xp.setItemIndex(-1);
        tzrx.setItemIndex(0);
        // No figure of a previous reader or payment stays to be read as this one's.
        for (Field* text : {&yj, &whsn, &ZJ, &ZJYJ, &fyzj})
            text->setValue(QString());
        for (Field* count : {&tssn, &tssj})
            count->setValue(0);
        tzzt.setItemIndex(-1);
    }
    old_ = {};
    currentReaderId_.clear();
    GroupBox5.setEnabled(ctx_.pub.AllowAmountEdit);
    GroupBox7.setEnabled(ctx_.pub.AllowAmountEdit);
    GroupBox5.setVisible(true);
    GroupBox6.setVisible(true);
    Button2.setEnabled(true);
}

void Tfrm_JNZC::CheckisHaveReaderClick() {
    const QString id = typedId(ID);
    receipt_.lookingUp(id);
    const Readers::ReaderLookup lookup = Readers::lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniall();
        readerOk_ = false;
        ID.requestFocus();
    } else if (lookup.found()) {
        const Readers::ReaderRecord& reader = lookup.reader;
        const QDateTime now = ctx_.clock.now();
        currentReaderId_ = id;
        loadedReader_ = reader;
        {
            const QScopedValueRollback<bool> filling(filling_, true);
            Readers::showReader({.name = &tzxm,
                                 .type = &tzrx,
                                 .sex = &xp,
                                 .phone = &df,
                                 .idNumber = &zjhm,
                                 .remark = &bz,
                                 .maxBooks = &tssn,
                                 .maxDays = &tssj,
                                 .booksOut = &whsn,
                                 .state = &tzzt,
                                 .openedAt = &khrq,
                                 .deposit = &yj},
                                reader);
        }
        old_.oldType = tzrx.text();
        old_.oldMaxBooks = reader.maxBooks;
        old_.oldMaxDays = reader.maxDays;
        old_.oldDeposit = Numbers::parseSingle(yj.text()).value_or(0.0f);
        if (reader.typeIndex() != Readers::Daily)
            GroupBox5.setVisible(true);
        else
            GroupBox8.setVisible(false);
        yxq.setValue(reader.validityOnScreen(ctx_.pub.AutoExtendValidity, now).validity);
        old_.shownValidity = yxq.value().toDateTime();
        if (Dates::dayNumber(old_.shownValidity) < Dates::dayNumber(now))
            ctx_.prompter.information(paymentValidityOverMessage());
        const int state = tzzt.itemIndex();
        const bool forbidden = state == Readers::Suspended || state == Readers::LostStopped;
        if (forbidden) {
            ctx_.prompter.error(cannotPayInStateMessage(tzzt.text()));
            ID.requestFocus();
        }
        Button2.setEnabled(!forbidden);
        readerOk_ = true;
    }
    TzrxGb();
}

void Tfrm_JNZC::tzrxChange() {
    TzrxGb();
}

void Tfrm_JNZC::TzrxGb() {
    old_.shownValidity = yxq.value().toDateTime();
    const PaymentProposal proposal =
        proposePayment(tzrx.itemIndex(), tzrx.text(), old_, ctx_.pub, ctx_.clock.now());
    const QScopedValueRollback<bool> filling(filling_, true);
    tssn.setValue(proposal.maxBooks);
    tssj.setValue(proposal.maxDays);
    ZJYJ.setValue(proposal.depositChange);
    for (Field* group : {&GroupBox5, &GroupBox6, &GroupBox8})
        group->setVisible(proposal.periodic);
    ZJ.setValue(proposal.rent);
    fyzj.setValue(proposal.total);
    xyxq.setValue(proposal.newValidity);
}

void Tfrm_JNZC::ZJChange() {
    if (filling_)
        return;
    const QString rent = ZJ.text();
    const QString change = ZJYJ.text();
    const QString minus = QStringLiteral("-");
    if (rent.isEmpty() || change.isEmpty() || rent == minus || change == minus)
        return;
    const std::optional<double> rentValue = Readers::parseAmount(rent);
    const std::optional<double> changeValue = Readers::parseAmount(change);
    if (!rentValue || !changeValue || !Readers::fitsLedger(*rentValue + *changeValue)) {
        ctx_.prompter.error(invalidAmountMessage());
        return;
    }
    fyzj.setValue(Numbers::generalForm(*rentValue + *changeValue));
}

void Tfrm_JNZC::Button2Click() {
    if (!readerOk_) {
        ctx_.prompter.error(payWithoutReaderMessage());
        ID.requestFocus();
        return;
    }
    // A reader in a forbidden state is looked up but cannot pay.
    if (!Button2.isEnabled())
        return;
    const std::optional<double> rent = Readers::parseAmount(ZJ.text());
    const std::optional<double> change = Readers::parseAmount(ZJYJ.text());
    if (!rent || !change || !Readers::fitsLedger(*rent + *change)) {
        ctx_.prompter.error(invalidPaymentMessage());
        return;
    }
    if (!Dates::isStorable(xyxq.value().toDateTime())) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        return;
    }
    {
        const QScopedValueRollback<bool> filling(filling_, true);
        fyzj.setValue(Numbers::generalForm(*rent + *change));
    }
    std::optional<qint64> ledgerRow;
    try {
        ledgerRow = store(*rent, *change, ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (!ledgerRow) {
        ctx_.prompter.error(Readers::changedElsewhereMessage(currentReaderId_));
        return;
    }
    receipt_.keep(ReceiptSource::payment(*ledgerRow, currentReaderId_), currentReaderId_);
    ctx_.prompter.information(paidMessage());
    iniall();
    ID.requestFocus();
    readerOk_ = false;
}

std::optional<qint64> Tfrm_JNZC::store(double rent, double depositChange, const QDateTime& now) {
    if (!hasChoice(tzrx))
        throw DbError(0, "reader type not chosen");
    return Readers::pay(ctx_.dm,
                        {.loaded = loadedReader_,
                         .type = tzrx.text(),
                         .maxBooks = tssn.number(),
                         .maxDays = tssj.number(),
                         .remark = Gbk::joinLines(bz.text()),
                         .validity = xyxq.value().toDateTime(),
                         .rent = rent,
                         .depositChange = depositChange,
                         .depositChangeText = ZJYJ.text()},
                        ctx_.pub.CurrentUser, now);
}

void Tfrm_JNZC::Button1Click() {
    close();
}

} // namespace lms
