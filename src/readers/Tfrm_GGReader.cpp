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
#include "readers/ReaderMessages.h"
#include "readers/ReaderStore.h"

#include <climits>

namespace lms {

using namespace Readers;

Tfrm_GGReader::Tfrm_GGReader(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_GGReader"), QStringLiteral("更改读者信息"), parent), ctx_(ctx) {
    lookUpWhenFull(
        ID, [this] { return ctx_.pub.ReaderIdMaxLen; }, [this] { CheckisHaveReaderClick(); });
    onClick(CheckisHaveReader, [this] { CheckisHaveReaderClick(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
    onClick(Button3, [this] { Button3Click(); });
    Button3.setEnabled(false);
}

void Tfrm_GGReader::setLoaded(bool loaded) {
    loaded_ = loaded;
    Button3.setEnabled(loaded);
}

void Tfrm_GGReader::Button3Click() {
    // The statement is of the reader looked up, whatever the id field holds meanwhile.
    if (loaded_ && openStatement_)
        openStatement_(loadedId_);
}

void Tfrm_GGReader::FormShow() {
    iniall();
    setLoaded(false);
}

void Tfrm_GGReader::iniall() {
    ID.setMaxBytes(ctx_.pub.ReaderIdMaxLen);
    ID.setValue(QString());
    tzxm.setValue(QString());
    xp.setItemIndex(-1);
    df.setValue(QString());
    zjhm.setValue(QString());
    bz.setValue(QString());
    tzrx.setItemIndex(0);
    // No figure of a previous reader stays to be read as the next one's.
    tssn.setValue(0);
    tssj.setValue(0);
    yj.setValue(QString());
    whsn.setValue(QString());
    loadedId_.clear();
    loadedStateIndex_ = 0;
    loadedExtended_ = false;
    const QDateTime now = ctx_.clock.now();
    yxq.setValue(now);
    khrq.setValue(now);
}

void Tfrm_GGReader::CheckisHaveReaderClick() {
    const QString id = typedId(ID);
    const ReaderLookup lookup = lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniall();
        setLoaded(false);
        ID.requestFocus();
        return;
    }
    if (!lookup.found()) {
        setLoaded(false);
        return;
    }
    const ReaderRecord& reader = lookup.reader;
    const QDateTime now = ctx_.clock.now();
    loadedId_ = id;
    showReader({.name = &tzxm,
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
    loadedBooksOut_ = reader.booksOut;
    loadedReader_ = reader;
    loadedStateIndex_ = tzzt.itemIndex();
    const ShownValidity shown = reader.validityOnScreen(ctx_.pub.AutoExtendValidity, now);
    yxq.setValue(shown.validity);
    loadedExtended_ = shown.holdsExtension();
    GroupBox3.setVisible(reader.typeIndex() != Daily);
    if (Dates::dayNumber(yxq.value().toDateTime()) < Dates::dayNumber(now))
        ctx_.prompter.information(QStringLiteral("此读者的租借有效阅期已超期!"));
    setLoaded(true);
}

void Tfrm_GGReader::Button1Click() {
    if (!keepsLookedUpId(ID, loaded_, loadedId_, QStringLiteral("读者"), ctx_.prompter))
        return;
    if (tzxm.text().trimmed().isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入读者姓名！"));
        tzxm.requestFocus();
        return;
    }
    if (!Dates::isStorable(yxq.value().toDateTime())) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        yxq.requestFocus();
        return;
    }
    const int state = tzzt.itemIndex();
    const QString booksOut = QString::number(loadedBooksOut_);
    if (state == Suspended && loadedBooksOut_ > 0) {
        ctx_.prompter.error(QStringLiteral("读者还持有 ") + booksOut +
                            QStringLiteral(" 本图书未还，不能设置状态为：暂停停用！"));
        tzzt.requestFocus();
        return;
    }
    if (state == LostStopped && loadedBooksOut_ > 0 &&
        !ctx_.prompter.warningYesNo(QStringLiteral("读者还持有 ") + booksOut +
                                    QStringLiteral(" 本图书未还，您确定要设置该读者为 挂失停用 "
                                                   "状态吗？"))) {
        tzzt.requestFocus();
        return;
    }
    try {
        if (!store(ctx_.clock.now()))
            return;
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("读者信息更改成功!"));
    iniall();
    ID.requestFocus();
    setLoaded(false);
}

bool Tfrm_GGReader::store(const QDateTime& now) {
    if (!hasChoice(tzrx) || !hasChoice(xp))
        throw DbError(0, "reader type or sex not chosen");
    // Texts go back as the fields hold them: their byte limits hold for what the clerk types,
    // and a longer text stored before (a remark from the payment screen) is never cut here.
    ReaderChange change{.id = loadedId_,
                        .name = tzxm.text().trimmed(),
                        .type = tzrx.text(),
                        .sex = xp.text(),
                        .phone = df.text().trimmed(),
                        .idNumber = zjhm.text().trimmed(),
                        .remark = Gbk::joinLines(bz.text()),
                        .maxBooks = tssn.number(),
                        .maxDays = tssj.number(),
                        .validity = yxq.value().toDateTime(),
                        .newState = std::nullopt,
                        .validityHoldsIdleDays = loadedExtended_};
    if (tzzt.itemIndex() != loadedStateIndex_)
        change.newState = tzzt.text();
    const ReaderWrite written =
        changeReader(ctx_.dm, loadedReader_, change, ctx_.pub.CurrentUser, now);
    if (written == ReaderWrite::Written)
        return true;
    // The clerk's typing stays on screen; a new lookup shows the reader as stored now.
    ctx_.prompter.error(written == ReaderWrite::Gone ? notFoundMessage(loadedId_)
                                                     : changedElsewhereMessage(loadedId_));
    setLoaded(false);
    ID.requestFocus();
    return false;
}

void Tfrm_GGReader::Button2Click() {
    close();
}

} // namespace lms
