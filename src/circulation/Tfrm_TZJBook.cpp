#include "circulation/Tfrm_TZJBook.h"

#include "books/BookDomains.h"
#include "books/BookRecord.h"
#include "circulation/CirculationMessages.h"
#include "circulation/LoanStore.h"
#include "core/DateRules.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "core/pubdata.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderLookup.h"
#include "readers/ReaderMessages.h"

namespace lms {

using namespace Circulation;

Tfrm_TZJBook::Tfrm_TZJBook(const ScreenContext& ctx, QObject* parent)
    : LoanDesk(QStringLiteral("frm_TZJBook"), QStringLiteral("读者借书"), ctx, parent) {
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
    pressOnEnter(Button1);
    pressOnEnter(Button2);
}

void Tfrm_TZJBook::FormShow() {
    showAnew(Button1);
    tzID.requestFocus();
}

void Tfrm_TZJBook::allowLending() {
    Button1.setEnabled(readerOk_ && bookOk_);
}

void Tfrm_TZJBook::CheckisHaveReaderClick() {
    const QString id = typedId(tzID);
    receipt_.lookingUp(id);
    const Readers::ReaderLookup lookup = Readers::lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        clearReaderSide(Button1);
        return;
    }
    if (!lookup.found())
        return;
    const QDateTime now = ctx_.clock.now();
    currentReaderId_ = id;
    showReaderRow(lookup.reader, now);
    if (lookup.reader.deposit < 0)
        ctx_.prompter.warning(Readers::negativeDepositMessage());
    const QDateTime validity = yxq.value().toDateTime();
    if (Dates::dayNumber(validity) < Dates::dayNumber(now)) {
        ctx_.prompter.error(validityOverMessage());
        readerOk_ = false;
        Button1.setEnabled(false);
        focusAfterLookup(LookedUp::Reader, Button1);
        return;
    }
    const qint64 left = Dates::daysBetween(now, validity);
    if (left < ctx_.pub.ExpiryReminderDays && tzrx.itemIndex() != Readers::Daily)
        ctx_.prompter.warning(validityLeftMessage(left));
    if (stateForbids()) {
        ctx_.prompter.error(cannotBorrowInStateMessage(tzzt.text()));
        readerOk_ = false;
        Button1.setEnabled(false);
        focusAfterLookup(LookedUp::Reader, Button1);
        return;
    }
    readerOk_ = true;
    allowLending();
    focusAfterLookup(LookedUp::Reader, Button1);
}

void Tfrm_TZJBook::CheckisHavebookClick() {
    const QString id = typedId(tsID);
    const std::optional<Books::BookRecord> book = lookUpBookSide(id, Button1);
    if (!book)
        return;
    currentBookId_ = id;
    showBookRow(*book);
    if (tszt.itemIndex() != Books::OnShelf) {
        ctx_.prompter.error(bookNotLendableMessage(id, tszt.text()));
        bookOk_ = false;
        Button1.setEnabled(false);
        focusAfterLookup(LookedUp::Book, Button1);
        return;
    }
    bookOk_ = true;
    allowLending();
    focusAfterLookup(LookedUp::Book, Button1);
}

void Tfrm_TZJBook::Button1Click() {
    if (!readerAccepted(lendWithoutReaderMessage()) || !bookAccepted(lendWithoutBookMessage()))
        return;
    const QDateTime now = ctx_.clock.now();
    if (!Dates::isStorable(yxq.value().toDateTime()) ||
        !Dates::isStorable(Dates::plusDays(now, tssj.number()))) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        return;
    }
    const std::optional<double> deposit = Numbers::parseDecimal(yj.text());
    if (deposit && *deposit < 0 && !ctx_.prompter.warningYesNo(negativeDepositQuestion()))
        return;
    const int booksOut = whsn.number();
    if (booksOut >= tssn.number() && !ctx_.prompter.warningYesNo(limitReachedQuestion(booksOut)))
        return;

    const Lending lending{.desk = deskCopy(),
                          .readerName = tzxm.text(),
                          .loanDays = tssj.number(),
                          .bookId = currentBookId_,
                          .bookTitle = tsmz.text(),
                          .user = ctx_.pub.CurrentUser,
                          .now = now};
    LendOutcome outcome = LendOutcome::Lent;
    StoredRows stored;
    if (!guarded([&] { outcome = lend(ctx_.dm, lending, &stored); }))
        return;
    if (outcome == LendOutcome::BookNotOnShelf) {
        // Lent or written off in another window since it was looked up: look again, which
        // names its state and refuses it.
        putId(tsID, currentBookId_);
        if (bookOk_)
            CheckisHavebookClick();
        return;
    }
    if (outcome == LendOutcome::ReaderGone || outcome == LendOutcome::ReaderRefused) {
        // Deleted or changed in another window: the lookup says what holds now. A reader it
        // still accepts was changed in a way only the lending question tells (the limit).
        putId(tzID, currentReaderId_);
        CheckisHaveReaderClick();
        if (readerOk_)
            ctx_.prompter.error(Readers::changedElsewhereMessage(currentReaderId_));
        return;
    }
    receipt_.addLoan(currentReaderId_, stored.loanRow, stored.logRow);
    // The panel shows the counters and validity as stored.
    afterCommit(
        lentMessage(),
        [this](const Readers::ReaderRecord& reader) {
            whsn.setValue(reader.booksOut);
            jyzj.setValue(reader.loansTotal);
            tzztszq.setValue(reader.stateSince);
        },
        Button1);
}

void Tfrm_TZJBook::Button2Click() {
    close();
}

} // namespace lms
