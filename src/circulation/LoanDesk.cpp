#include "circulation/LoanDesk.h"

#include "core/DbError.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "core/pubdata.h"
#include "readers/ReaderRecord.h"

#include <QScopedValueRollback>

namespace lms {

LoanDesk::LoanDesk(const QString& name, const QString& caption, const ScreenContext& ctx,
                   QObject* parent)
    : FormModel(name, caption, parent), ctx_(ctx), receipt_(ctx) {
    lookUpWhenFull(
        tzID, [this] { return ctx_.pub.ReaderIdMaxLen; },
        [this] {
            if (!settingId_)
                lookUpScanned([this] { CheckisHaveReaderClick(); });
        });
    onClick(CheckisHaveReader, [this] { CheckisHaveReaderClick(); });
    onKeyDown(tzID, [this](int key) {
        scanEnterPending_ = false;
        const QString id = typedId(tzID);
        if (key == kEnterKey && !id.isEmpty() && !(readerOk_ && id == currentReaderId_))
            CheckisHaveReaderClick();
    });
    pressOnEnter(CheckisHaveReader);

    lookUpWhenFull(
        tsID, [this] { return ctx_.pub.BookIdMaxLen; },
        [this] { lookUpScanned([this] { CheckisHavebookClick(); }); });
    onClick(CheckisHavebook, [this] { CheckisHavebookClick(); });
    onKeyDown(tsID, [this](int key) {
        scanEnterPending_ = false;
        const QString id = typedId(tsID);
        if (key == kEnterKey && !id.isEmpty() && !(bookOk_ && id == currentBookId_))
            CheckisHavebookClick();
    });
    pressOnEnter(CheckisHavebook);

    receipt_.attach(ReceiptButton);
    onClick(ReceiptButton, [this] { receipt_.print(); });
}

void LoanDesk::lookUpScanned(const std::function<void()>& lookup) {
    const int boxes = ctx_.prompter.boxesShown();
    lookup();
    // The Enter a scanner sends after the id is still to come, unless a box of the lookup was
    // up to take it.
    scanEnterPending_ = ctx_.prompter.boxesShown() == boxes;
}

void LoanDesk::focusAfterLookup(LookedUp side, Field& action) {
    // Where the clerk's next scan belongs: the operation once both sides are accepted, else
    // the side just refused (its id selected, so the next scan replaces it), else the side
    // still missing.
    if (readerOk_ && bookOk_)
        action.requestFocus();
    else if (side == LookedUp::Reader)
        (readerOk_ ? tsID : tzID).requestFocus();
    else
        (bookOk_ ? tzID : tsID).requestFocus();
}

Readers::ReaderPanel LoanDesk::readerPanel() {
    return {.name = &tzxm,
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
            .deposit = &yj};
}

Books::BookPanel LoanDesk::bookPanel() {
    return {.title = &tsmz,
            .type = &tsrx,
            .author = &tszz,
            .price = &tsjg,
            .attachments = &tsfj,
            .remark = &tsbz,
            .enteredAt = &nnsj,
            .state = &tszt,
            .stateSince = &tsztszq,
            .timesLent = &tszjcs};
}

void LoanDesk::showAnew(Field& action) {
    receipt_.clear();
    iniTZ();
    readerOk_ = false;
    iniTs();
    bookOk_ = false;
    action.setEnabled(false);
}

void LoanDesk::pressOnEnter(Field& button) {
    onKeyDown(button, [this, &button](int key) {
        const bool scanEnter = scanEnterPending_;
        scanEnterPending_ = false;
        if (key == kEnterKey && !scanEnter && button.isEnabled())
            run(button.name() + QStringLiteral("Click"));
    });
}

void LoanDesk::iniTZ() {
    tzID.setMaxBytes(ctx_.pub.ReaderIdMaxLen);
    tzID.setValue(QString());
    for (Field* text : {&tzxm, &df, &zjhm, &tzbz})
        text->setValue(QString());
    xp.setItemIndex(-1);
    tzrx.setItemIndex(0);
    // No figure of a previous reader stays to be read as this one's.
    for (Field* count : {&tssn, &tssj, &jyzj, &whsn})
        count->setValue(0);
    yj.setValue(QString());
    tzzt.setItemIndex(-1);
    currentReaderId_.clear();
    const QDateTime now = ctx_.clock.now();
    for (Field* date : {&khrq, &yxq, &tzztszq})
        date->setValue(now);
}

void LoanDesk::iniTs() {
    tsID.setMaxBytes(ctx_.pub.BookIdMaxLen);
    tsID.setValue(QString());
    for (Field* text : {&tsmz, &tsrx, &tszz, &tsfj, &tsjg, &tsbz})
        text->setValue(QString());
    tszt.setItemIndex(-1);
    tszjcs.setValue(0);
    currentBookId_.clear();
    const QDateTime now = ctx_.clock.now();
    for (Field* date : {&nnsj, &tsztszq})
        date->setValue(now);
}

bool LoanDesk::readerAccepted(const QString& refusal) {
    if (readerOk_)
        return true;
    ctx_.prompter.error(refusal);
    tzID.requestFocus();
    return false;
}

bool LoanDesk::bookAccepted(const QString& refusal) {
    if (bookOk_)
        return true;
    ctx_.prompter.error(refusal);
    tsID.requestFocus();
    return false;
}

void LoanDesk::clearReaderSide(Field& action) {
    iniTZ();
    readerOk_ = false;
    action.setEnabled(false);
    tzID.requestFocus();
}

void LoanDesk::clearBookSide(Field& action) {
    iniTs();
    bookOk_ = false;
    action.setEnabled(false);
    tsID.requestFocus();
}

std::optional<Books::BookRecord> LoanDesk::lookUpBookSide(const QString& id, Field& action) {
    const Books::BookLookup lookup = Books::lookUpBook(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound)
        clearBookSide(action);
    if (!lookup.found())
        return std::nullopt;
    return lookup.book;
}

void LoanDesk::showReaderRow(const Readers::ReaderRecord& reader, const QDateTime& now) {
    Readers::showReader(readerPanel(), reader);
    loadedReader_ = reader;
    shownReaderRemark_ = storedRemark(tzbz);
    yxq.setValue(reader.shownValidity(ctx_.pub.AutoExtendValidity, now).validity);
    const bool daily = tzrx.itemIndex() == Readers::Daily;
    if (daily)
        yxq.setValue(now);
    GroupBox6.setVisible(!daily);
}

void LoanDesk::showBookRow(const Books::BookRecord& book) {
    Books::showBook(bookPanel(), book);
    shownBookRemark_ = storedRemark(tsbz);
}

Circulation::DeskCopy LoanDesk::deskCopy() const {
    return {.reader = loadedReader_,
            .readerRemark = storedRemark(tzbz),
            .shownReaderRemark = shownReaderRemark_,
            .bookRemark = storedRemark(tsbz),
            .shownBookRemark = shownBookRemark_,
            .autoExtendValidity = ctx_.pub.AutoExtendValidity};
}

void LoanDesk::putId(Field& idField, const QString& id) {
    idField.setValue(id);
    scanEnterPending_ = false;
}

void LoanDesk::setReaderIdQuietly(const QString& id) {
    const QScopedValueRollback<bool> settingId(settingId_, true);
    tzID.setValue(id);
}

bool LoanDesk::stateForbids() const {
    const int state = tzzt.itemIndex();
    return state == Readers::Suspended || state == Readers::LostStopped;
}

QString LoanDesk::storedRemark(const Field& memo) {
    // The byte limit holds for what the clerk types; a longer remark stored by another screen
    // (the payment screen takes any length) is written back whole, never cut on the way.
    return Gbk::joinLines(memo.text());
}

bool LoanDesk::guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return false;
    }
    return true;
}

void LoanDesk::afterCommit(const QString& success,
                           const std::function<void(const Readers::ReaderRecord&)>& showStored,
                           Field& action) {
    ctx_.prompter.information(success);
    std::optional<Readers::ReaderRecord> reader;
    try {
        reader = Readers::loadReader(ctx_.dm.db(), currentReaderId_);
    } catch (const DbError&) {
        iniTZ();
        readerOk_ = false;
    }
    if (reader)
        showStored(*reader);
    clearBookSide(action);
}

} // namespace lms
