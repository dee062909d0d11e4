#include "circulation/Tfrm_TZHBook.h"

#include "books/BookRecord.h"
#include "circulation/CirculationMessages.h"
#include "circulation/LoanStore.h"
#include "circulation/ReturnCharges.h"
#include "circulation/Tfrm_TZJBook.h"
#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "core/pubdata.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderLookup.h"

#include <QScopedValueRollback>

namespace lms {

using namespace Circulation;

Tfrm_TZHBook::Tfrm_TZHBook(const ScreenContext& ctx, Tfrm_TZJBook& borrowing, QObject* parent)
    : LoanDesk(QStringLiteral("frm_TZHBook"), QStringLiteral("读者还书"), ctx, parent),
      borrowing_(borrowing) {
    StringGrid1.setGridModel(&loans_);
    StringGrid1.setValue(-1);

    // The total follows every change of its parts, typed or filled in by the screen.
    onClick(psyx, [this] { psyxClick(); });
    for (Field* part : {&psyx, &pspz, &zjgj, &cqfh})
        onChange(*part, [this] { psyxClick(); });
    addOperation(QStringLiteral("showTZJS"), [this] { showTZJS(); });
    addOperation(QStringLiteral("StringGrid1DblClick"), [this] { StringGrid1DblClick(); });
    onKeyDown(StringGrid1, [this](int key) {
        if (key == kEnterKey)
            StringGrid1DblClick();
    });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
    onClick(Button3, [this] { Button3Click(); });
    for (Field* button : {&Button1, &Button2, &Button3})
        pressOnEnter(*button);
}

void Tfrm_TZHBook::FormShow() {
    showAnew(Button1);
    Button3.setEnabled(false);
    for (Field* amount : {&pspz, &zjgj, &cqfh})
        amount->setEnabled(ctx_.pub.AllowAmountEdit);
    // No reader is accepted yet, so no reader's loans are listed.
    loans_.clear();
    tsID.requestFocus();
}

void Tfrm_TZHBook::iniTs() {
    LoanDesk::iniTs();
    const QScopedValueRollback<bool> settling(settling_, true);
    pspz.setValue(QStringLiteral("0"));
    clearCharges();
}

void Tfrm_TZHBook::clearCharges() {
    // No loan is on screen: none of a previous book's dates, days or amounts stays to be read
    // as this one's.
    const QDateTime now = ctx_.clock.now();
    zjgj.setValue(QStringLiteral("0"));
    zjrq.setValue(now);
    zwgwrq.setValue(now);
    cqts.setValue(QStringLiteral("0"));
    cqfh.setValue(QStringLiteral("0"));
    psyx.setValue(false);
    cyjhz.setValue(false);
    psyxClick();
}

void Tfrm_TZHBook::allowReturn(bool allowed) {
    Button1.setEnabled(allowed);
}

void Tfrm_TZHBook::CheckisHavebookClick() {
    const QString id = typedId(tsID);
    std::optional<LoanRow> loan;
    bool known = true;
    if (!guarded([&] {
            known = ctx_.dm.isHaveBook(id);
            if (!known)
                loan = loanOfBook(ctx_.dm.db(), id);
        }))
        return;
    std::optional<Books::BookRecord> book;
    if (!known && loan) {
        // A loan whose book row is gone (kept from an old shop's file) is still returned and
        // charged, with what the loan knows of the book.
        book.emplace();
        book->id = id;
        book->title = loan->bookTitle;
    } else {
        book = lookUpBookSide(id, Button1);
        if (!book)
            return;
        if (!guarded([&] { loan = loanOfBook(ctx_.dm.db(), id); }))
            return;
    }
    const QDateTime now = ctx_.clock.now();
    currentBookId_ = id;
    {
        const QScopedValueRollback<bool> settling(settling_, true);
        showBookRow(*book);
        pspz.setValue(compensation(book->price, ctx_.pub.DamageRate));
    }
    bookOk_ = true;
    if (!loan) {
        {
            const QScopedValueRollback<bool> settling(settling_, true);
            clearCharges();
        }
        ctx_.prompter.error(bookNotLentMessage());
        bookOk_ = false;
    } else {
        {
            const QScopedValueRollback<bool> settling(settling_, true);
            zjrq.setValue(loan->lentAt);
            zwgwrq.setValue(loan->due);
            const qint64 late = overdueDays(loan->due, now);
            cqts.setValue(QString::number(late));
            cqfh.setValue(overdueFine(late, ctx_.pub.OverdueFinePerDay));
            psyxClick();
        }
        currentReaderId_ = loan->readerId;
        setReaderIdQuietly(loan->readerId);
        CheckisHaveReaderClick();
    }
    allowReturn(readerOk_ && bookOk_);
    focusAfterLookup(LookedUp::Book, Button1);
}

void Tfrm_TZHBook::CheckisHaveReaderClick() {
    const QString id = typedId(tzID);
    receipt_.lookingUp(id);
    const Readers::ReaderLookup lookup = Readers::lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (!lookup.found()) {
        // Not found, or not readable: no reader is accepted, and none of an earlier reader's
        // data stays to be written onto the loan's reader.
        clearReaderSide(Button1);
        Button3.setEnabled(false);
        loans_.clear();
        return;
    }
    const QDateTime now = ctx_.clock.now();
    currentReaderId_ = id;
    bool daily = false;
    {
        const QScopedValueRollback<bool> settling(settling_, true);
        showReaderRow(lookup.reader, now);
        daily = tzrx.itemIndex() == Readers::Daily;
        GroupBox12.setVisible(daily);
        zjgj.setValue(daily ? dailyRent(zjrq.value().toDateTime(), now, ctx_.pub.DailyRent)
                            : QStringLiteral("0"));
        psyxClick();
    }
    const qint64 left = Dates::daysBetween(now, yxq.value().toDateTime());
    if (left < ctx_.pub.ExpiryReminderDays && !daily)
        ctx_.prompter.warning(validityLeftMessage(left));
    if (stateForbids()) {
        ctx_.prompter.error(cannotReturnInStateMessage(tzzt.text()));
        readerOk_ = false;
        allowReturn(false);
        Button3.setEnabled(false);
    } else {
        readerOk_ = true;
        Button3.setEnabled(true);
        allowReturn(bookOk_);
    }
    focusAfterLookup(LookedUp::Reader, Button1);
    showTZJS();
}

void Tfrm_TZHBook::showTZJS(bool afterCommit) {
    // Only an accepted reader's loans are listed; a refused reader's are none of the clerk's
    // business here, and an earlier reader's would mislead.
    if (currentReaderId_.isEmpty() || !readerOk_) {
        loans_.clear();
        return;
    }
    try {
        loans_.show(openLoans(ctx_.dm.db(), currentReaderId_));
    } catch (const DbError&) {
        loans_.clear();
        if (!afterCommit)
            ctx_.prompter.error(Messages::databaseError());
    }
    StringGrid1.setValue(-1);
}

void Tfrm_TZHBook::StringGrid1DblClick() {
    const QString bookId = loans_.bookIdAt(StringGrid1.number());
    if (bookId.isEmpty())
        return;
    putId(tsID, bookId);
    if (Gbk::byteLength(bookId) != ctx_.pub.BookIdMaxLen)
        CheckisHavebookClick();
}

void Tfrm_TZHBook::psyxClick() {
    const std::optional<ReturnAmounts> amounts =
        returnAmounts(cqfh.text(), zjgj.text(), pspz.text(), psyx.checked());
    if (!amounts) {
        if (!settling_)
            ctx_.prompter.error(invalidNumberMessage());
        return;
    }
    zj.setValue(Numbers::twoDecimalForm(amounts->total));
}

void Tfrm_TZHBook::Button1Click() {
    if (!readerAccepted(returnWithoutReaderMessage()) || !bookAccepted(returnWithoutBookMessage()))
        return;
    if (!Dates::isStorable(yxq.value().toDateTime())) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        return;
    }
    const bool damaged = psyx.checked();
    // Every amount is a number before anything is stored.
    const std::optional<ReturnAmounts> amounts =
        returnAmounts(cqfh.text(), zjgj.text(), pspz.text(), damaged);
    if (!amounts) {
        ctx_.prompter.error(invalidNumberMessage());
        return;
    }
    zj.setValue(Numbers::twoDecimalForm(amounts->total));

    const Returning returning{.desk = deskCopy(),
                              .readerName = tzxm.text(),
                              .bookId = currentBookId_,
                              .bookTitle = tsmz.text(),
                              .lentAt = zjrq.value().toDateTime(),
                              .damagedOrLost = damaged,
                              .fromDeposit = cyjhz.checked(),
                              .amounts = *amounts,
                              .user = ctx_.pub.CurrentUser,
                              .now = ctx_.clock.now()};
    ReturnOutcome outcome = ReturnOutcome::Returned;
    StoredRows stored;
    if (!guarded([&] { outcome = giveBack(ctx_.dm, returning, &stored); }))
        return;
    if (outcome == ReturnOutcome::ReaderRefused) {
        // The reader's state was set at another window: the lookup names it.
        putId(tzID, currentReaderId_);
        CheckisHaveReaderClick();
        return;
    }
    if (outcome == ReturnOutcome::NoSuchLoan) {
        ctx_.prompter.error(noSuchLoanMessage(currentReaderId_, currentBookId_));
        return;
    }
    receipt_.keep(ReceiptSource::giveBack(stored.ledgerRow, stored.historyRow), currentReaderId_);
    // The reader panel shows what is stored now: one book fewer, the deposit after deduction.
    afterCommit(
        returnedMessage(),
        [this](const Readers::ReaderRecord& reader) {
            whsn.setValue(reader.booksOut);
            yj.setValue(Readers::depositText(reader));
            tzztszq.setValue(reader.stateSince);
        },
        Button1);
    showTZJS(true);
}

void Tfrm_TZHBook::Button3Click() {
    if (!readerAccepted(returnWithoutReaderMessage()))
        return;
    const QString readerId = currentReaderId_;
    close();
    ctx_.host.showModeless(borrowing_, true);
    borrowing_.putId(borrowing_.tzID, readerId);
}

void Tfrm_TZHBook::Button2Click() {
    close();
}

} // namespace lms
