#include "readers/Tfrm_TJReader.h"

#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "readers/Amounts.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderEntry.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderMessages.h"
#include "readers/ReaderStore.h"
#include "readers/ReaderTerms.h"

#include <QScopedValueRollback>
#include <climits>

namespace lms {

namespace {

using Readers::kIdNumberBytes;
using Readers::kNameBytes;
using Readers::kPhoneBytes;
using Readers::kRemarkBytes;

} // namespace

Tfrm_TJReader::Tfrm_TJReader(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_TJReader"), QStringLiteral("添加读者"), parent), ctx_(ctx) {
    lookUpWhenFull(
        ID, [this] { return ctx_.pub.ReaderIdMaxLen; }, [this] { IDChange(); });
    onChange(rx, [this] {
        if (!proposing_)
            rxChange();
    });
    for (const Field* amount : {&yj, &kff, &zj})
        onChange(*amount, [this] {
            if (!proposing_)
                yjChange();
        });
    onClick(CheckisHaveReader, [this] { CheckisHaveReaderClick(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
    onClick(Button4, [this] { Button4Click(); });
    onChange(ID, [this] {
        if (!ID.text().isEmpty())
            forgetStored();
    });
}

void Tfrm_TJReader::FormShow() {
    forgetStored();
    iniall();
}

void Tfrm_TJReader::forgetStored() {
    storedId_.clear();
    Button4.setEnabled(false);
}

void Tfrm_TJReader::iniall() {
    const PubData& pub = ctx_.pub;
    {
        const QScopedValueRollback<bool> proposing(proposing_, true);
        ID.setMaxBytes(pub.ReaderIdMaxLen);
        ID.setValue(QString());
        rx.setItemIndex(Readers::Monthly);
        xm.setValue(QString());
        xp.setItemIndex(0);
        df.setValue(QString());
        zjhm.setValue(QString());
        bz.setValue(QString());
    }
    propose(Readers::Monthly);
    GroupBox4.setEnabled(pub.AllowAmountEdit);
    GroupBox5.setEnabled(pub.AllowAmountEdit);
}

void Tfrm_TJReader::propose(int typeIndex) {
    const Readers::TypeTerms terms = Readers::termsOf(typeIndex, ctx_.pub);
    const bool daily = typeIndex == Readers::Daily;
    const double deposit = Numbers::widened(terms.deposit);
    const double rent = Numbers::widened(terms.rent);
    const double fee = Numbers::widened(terms.openingFee);
    const QScopedValueRollback<bool> proposing(proposing_, true);
    tssn.setValue(terms.maxBooks);
    tssj.setValue(terms.maxDays);
    yj.setValue(Numbers::generalForm(deposit));
    zj.setValue(daily ? QStringLiteral("0") : Numbers::generalForm(rent));
    GroupBox5.setVisible(!daily);
    GroupBox6.setVisible(!daily);
    kff.setValue(Numbers::generalForm(fee));
    fyzj.setValue(Numbers::generalForm(deposit + rent + fee));
    yxq.setValue(Readers::periodEnd(terms, ctx_.clock.now()));
}

void Tfrm_TJReader::IDChange() {
    const QString id = typedId(ID);
    try {
        if (ctx_.dm.isHaveReader(id)) {
            ctx_.prompter.error(Readers::alreadyExistsMessage(id));
            ID.requestFocus();
        } else {
            xm.requestFocus();
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_TJReader::CheckisHaveReaderClick() {
    const QString id = typedId(ID);
    if (id.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请先输入读者编号！"));
        ID.requestFocus();
        return;
    }
    try {
        if (ctx_.dm.isHaveReader(id)) {
            ctx_.prompter.error(Readers::alreadyExistsMessage(id));
            ID.requestFocus();
        } else {
            ctx_.prompter.information(QStringLiteral("此读者编号可用!"));
            xm.requestFocus();
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_TJReader::rxChange() {
    const int index = rx.itemIndex();
    if (index >= 0)
        propose(index);
}

void Tfrm_TJReader::yjChange() {
    for (const Field* amount : {&yj, &zj, &kff})
        if (amount->text().isEmpty())
            return;
    const std::optional<Amounts> sum = amounts();
    if (!sum) {
        ctx_.prompter.error(QStringLiteral("输入错误！请输入正确的金额。"));
        return;
    }
    fyzj.setValue(Numbers::generalForm(sum->total));
}

std::optional<Tfrm_TJReader::Amounts> Tfrm_TJReader::amounts() const {
    const auto deposit = Readers::parseAmount(yj.text());
    const auto rent = Readers::parseAmount(zj.text());
    const auto fee = Readers::parseAmount(kff.text());
    if (!deposit || !rent || !fee)
        return std::nullopt;
    const double total = *deposit + *rent + *fee;
    if (!Readers::fitsLedger(total))
        return std::nullopt;
    return Amounts{*deposit, *rent, *fee, total};
}

void Tfrm_TJReader::Button1Click() {
    const QString id = typedId(ID);
    const QString name = Gbk::truncateToBytes(xm.text(), kNameBytes);
    if (const auto problem = Readers::checkEntry(id, ID.maxBytes(), name)) {
        ctx_.prompter.error(problem->message);
        (problem->field == Readers::EntryField::Id ? ID : xm).requestFocus();
        return;
    }
    try {
        if (ctx_.dm.isHaveReader(id)) {
            ctx_.prompter.error(Readers::alreadyExistsMessage(id));
            return;
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    const std::optional<Amounts> sum = amounts();
    if (!sum) {
        ctx_.prompter.error(Readers::invalidAmountMessage());
        return;
    }
    if (!Dates::isStorable(yxq.value().toDateTime())) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        return;
    }
    fyzj.setValue(Numbers::generalForm(sum->total));
    try {
        const bool added = Readers::addReader(
            ctx_.dm,
            {.id = id,
             .type = rx.text(),
             .name = name,
             .sex = xp.text(),
             .idNumber = Gbk::truncateToBytes(zjhm.text(), kIdNumberBytes),
             .phone = Gbk::truncateToBytes(df.text(), kPhoneBytes),
             .validity = yxq.value().toDateTime(),
             .maxBooks = tssn.number(),
             .maxDays = tssj.number(),
             .remark = Gbk::truncateToBytes(Gbk::joinLines(bz.text()), kRemarkBytes),
             .deposit = sum->deposit,
             .rent = sum->rent,
             .openingFee = sum->openingFee,
             .depositText = yj.text()},
            ctx_.pub.CurrentUser, ctx_.clock.now());
        if (!added) {
            ctx_.prompter.error(Readers::alreadyExistsMessage(id));
            return;
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("添加读者成功!"));
    iniall();
    storedId_ = id;
    Button4.setEnabled(true);
    ID.requestFocus();
}

void Tfrm_TJReader::Button4Click() {
    if (!storedId_.isEmpty() && printCard_)
        printCard_({storedId_});
}

void Tfrm_TJReader::Button2Click() {
    close();
}

} // namespace lms
