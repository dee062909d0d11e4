#include "readers/Tfrm_SZReader.h"

#include "core/DateRules.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderLookup.h"
#include "readers/ReaderMessages.h"
#include "readers/ReaderStore.h"

#include <climits>

namespace lms {

using namespace Readers;

Tfrm_SZReader::Tfrm_SZReader(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_SZReader"), QStringLiteral("删除读者"), parent), ctx_(ctx) {
    lookUpWhenFull(
        tzID, [this] { return ctx_.pub.ReaderIdMaxLen; }, [this] { CheckisHaveReaderClick(); });
    onClick(CheckisHaveReader, [this] { CheckisHaveReaderClick(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
}

void Tfrm_SZReader::FormShow() {
    iniTZ();
    allowDeletion(false);
}

void Tfrm_SZReader::allowDeletion(bool allowed) {
    // Deletion is allowed exactly while the button is usable.
    Button1.setEnabled(allowed);
}

void Tfrm_SZReader::iniTZ() {
    tzID.setMaxBytes(ctx_.pub.ReaderIdMaxLen);
    tzID.setValue(QString());
    tzxm.setValue(QString());
    xp.setItemIndex(-1);
    df.setValue(QString());
    zjhm.setValue(QString());
    tzbz.setValue(QString());
    loadedId_.clear();
    tzrx.setItemIndex(0);
    // No figure of a previous reader (the deposit to pay back above all) stays on screen.
    for (Field* count : {&tssn, &tssj, &whsn, &jyzj})
        count->setValue(0);
    yj.setValue(QString());
    tzzt.setItemIndex(-1);
    const QDateTime now = ctx_.clock.now();
    for (Field* date : {&khrq, &yxq, &tzztszq})
        date->setValue(now);
}

void Tfrm_SZReader::CheckisHaveReaderClick() {
    const QString id = typedId(tzID);
    const ReaderLookup lookup = lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniTZ();
        allowDeletion(false);
        tzID.requestFocus();
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
    loadedReader_ = reader;
    showReader({.name = &tzxm,
                .type = &tzrx,
                .sex = &xp,
                .phone = &df,
                .idNumber = &zjhm,
                .remark = &tzbz,
                .maxBooks = &tssn,
                .maxDays = &tssj,
                .booksOut = &whsn,
                .loansTotal = &jyzj,
                .state = &tzzt,
                .stateSince = &tzztszq,
                .openedAt = &khrq,
                .deposit = &yj},
               reader);
    if (reader.deposit < 0)
        ctx_.prompter.warning(negativeDepositMessage());
    yxq.setValue(reader.validityOnScreen(ctx_.pub.AutoExtendValidity, now).validity);
    if (reader.booksOut <= 0) {
        allowDeletion(true);
        Button1.requestFocus();
        return;
    }
    refuseBooksOut(id, reader.booksOut);
}

void Tfrm_SZReader::refuseBooksOut(const QString& id, int booksOut) {
    ctx_.prompter.error(QStringLiteral("读者编号为：") + id + QStringLiteral("的读者还有") +
                        QString::number(booksOut) + QStringLiteral("本图书未还！不能删除！") +
                        QChar(13) + QChar(13) + QStringLiteral("请归还图书之后再删除。"));
    allowDeletion(false);
    tzID.requestFocus();
}

void Tfrm_SZReader::Button1Click() {
    if (!Button1.isEnabled() || loadedId_.isEmpty()) {
        ctx_.prompter.error(
            QStringLiteral("请先在读者编号输入框中输入读者编号查询后，当充许删除时才能删除！"));
        tzID.requestFocus();
        return;
    }
    ReaderDeletion deletion;
    try {
        deletion = deleteReader(ctx_.dm, loadedReader_, ctx_.pub.CurrentUser, ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (deletion.gone) {
        ctx_.prompter.error(notFoundMessage(loadedId_));
        iniTZ();
        allowDeletion(false);
        tzID.requestFocus();
        return;
    }
    if (deletion.changed) {
        // The deposit shown is not the one that would be paid back: look the reader up again.
        ctx_.prompter.error(changedElsewhereMessage(loadedId_));
        allowDeletion(false);
        tzID.requestFocus();
        return;
    }
    if (!deletion.deleted) {
        // Another desk lent the reader a book since the lookup.
        refuseBooksOut(loadedId_, deletion.booksOut);
        return;
    }
    yj.setValue(Numbers::generalForm(deletion.refunded));
    ctx_.prompter.information(QStringLiteral("删除读者成功!退回押金金额：") + yj.text() +
                              QStringLiteral(" 元。"));
    iniTZ();
    allowDeletion(false);
    tzID.requestFocus();
}

void Tfrm_SZReader::Button2Click() {
    close();
}

} // namespace lms
