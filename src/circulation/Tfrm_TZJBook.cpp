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
    : LoanDesk(QStringLiteral("frm_TZJBook"), QStringLiteral("读者借书"), ctx, parent),
      receipt_(ctx) {
    addReaderPanel();
    addBookPanel();
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("借出"))
        .setEnabled(false);
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
    receipt_.attach(addField(ReceiptSlip::kButton, FieldKind::Button, ReceiptSlip::kCaption));
    addOperation(ReceiptSlip::kButton + QStringLiteral("Click"), [this] { receipt_.print(); });
    pressOnEnter(QStringLiteral("Button1"));
    pressOnEnter(QStringLiteral("Button2"));
}

void Tfrm_TZJBook::FormShow() {
    receipt_.clear();
    iniTZ();
    readerOk_ = false;
    iniTs();
    bookOk_ = false;
    field(QStringLiteral("Button1")).setEnabled(false);
    field(QStringLiteral("tzID")).requestFocus();
}

void Tfrm_TZJBook::allowLending() {
    Field& lendButton = field(QStringLiteral("Button1"));
    lendButton.setEnabled(readerOk_ && bookOk_);
}

void Tfrm_TZJBook::CheckisHaveReaderClick() {
    Field& idField = field(QStringLiteral("tzID"));
    Field& lendButton = field(QStringLiteral("Button1"));
    const QString id = typedId(idField);
    const Readers::ReaderLookup lookup = Readers::lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniTZ();
        readerOk_ = false;
        idField.requestFocus();
        lendButton.setEnabled(false);
        return;
    }
    if (!lookup.found())
        return;
    const QDateTime now = ctx_.clock.now();
    currentReaderId_ = id;
    showReaderRow(lookup.reader, now);
    if (lookup.reader.deposit < 0)
        ctx_.prompter.warning(Readers::negativeDepositMessage());
    const QDateTime validity = field(QStringLiteral("yxq")).value().toDateTime();
    if (Dates::dayNumber(validity) < Dates::dayNumber(now)) {
        ctx_.prompter.error(validityOverMessage());
        readerOk_ = false;
        lendButton.setEnabled(false);
        return;
    }
    const qint64 left = Dates::daysBetween(now, validity);
    if (left < ctx_.pub.ExpiryReminderDays &&
        field(QStringLiteral("tzrx")).itemIndex() != Readers::Daily)
        ctx_.prompter.warning(validityLeftMessage(left));
    if (stateForbids()) {
        ctx_.prompter.error(cannotBorrowInStateMessage(field(QStringLiteral("tzzt")).text()));
        readerOk_ = false;
        lendButton.setEnabled(false);
        return;
    }
    readerOk_ = true;
    allowLending();
    field(bookOk_ ? QStringLiteral("Button1") : QStringLiteral("tsID")).requestFocus();
}

void Tfrm_TZJBook::CheckisHavebookClick() {
    Field& idField = field(QStringLiteral("tsID"));
    Field& lendButton = field(QStringLiteral("Button1"));
    const QString id = typedId(idField);
    const Books::BookLookup lookup = Books::lookUpBook(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniTs();
        bookOk_ = false;
        lendButton.setEnabled(false);
        idField.requestFocus();
        return;
    }
    if (!lookup.found())
        return;
    currentBookId_ = id;
    Books::showBook(bookPanel_, lookup.book);
    const Field& state = field(QStringLiteral("tszt"));
    if (state.itemIndex() != Books::OnShelf) {
        ctx_.prompter.error(bookNotLendableMessage(id, state.text()));
        bookOk_ = false;
        lendButton.setEnabled(false);
        idField.requestFocus();
        return;
    }
    bookOk_ = true;
    allowLending();
    field(readerOk_ ? QStringLiteral("Button1") : QStringLiteral("tzID")).requestFocus();
}

void Tfrm_TZJBook::Button1Click() {
    if (!readerOk_) {
        ctx_.prompter.error(lendWithoutReaderMessage());
        field(QStringLiteral("tzID")).requestFocus();
        return;
    }
    if (!bookOk_) {
        ctx_.prompter.error(lendWithoutBookMessage());
        field(QStringLiteral("tsID")).requestFocus();
        return;
    }
    const QDateTime now = ctx_.clock.now();
    if (!Dates::isStorable(field(QStringLiteral("yxq")).value().toDateTime()) ||
        !Dates::isStorable(Dates::plusDays(now, field(QStringLiteral("tssj")).number()))) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        return;
    }
    const std::optional<double> deposit = Numbers::parseDecimal(field(QStringLiteral("yj")).text());
    if (deposit && *deposit < 0 && !ctx_.prompter.warningYesNo(negativeDepositQuestion()))
        return;
    const int booksOut = field(QStringLiteral("whsn")).number();
    if (booksOut >= field(QStringLiteral("tssn")).number() &&
        !ctx_.prompter.warningYesNo(limitReachedQuestion(booksOut)))
        return;

    Lending lending;
    lending.readerId = currentReaderId_;
    lending.readerName = field(QStringLiteral("tzxm")).text();
    lending.readerRemark = storedRemark(QStringLiteral("tzbz"));
    lending.validity = field(QStringLiteral("yxq")).value().toDateTime();
    lending.loanDays = field(QStringLiteral("tssj")).number();
    lending.bookId = currentBookId_;
    lending.bookTitle = field(QStringLiteral("tsmz")).text();
    lending.bookRemark = storedRemark(QStringLiteral("tsbz"));
    lending.user = ctx_.pub.CurrentUser;
    lending.now = now;
    LendOutcome outcome;
    StoredRows stored;
    try {
        outcome = lend(ctx_.dm, lending, &stored);
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (outcome == LendOutcome::BookNotOnShelf) {
        // Lent or written off in another window since it was looked up: look again, which
        // names its state and refuses it.
        putId(QStringLiteral("tsID"), currentBookId_);
        if (bookOk_)
            CheckisHavebookClick();
        return;
    }
    receipt_.addLoan(currentReaderId_, stored.loanRow, stored.logRow);
    ctx_.prompter.information(lentMessage());
    const std::optional<Readers::ReaderRecord> reader = readerAsStored();
    // The panel shows the counters and validity as stored.
    if (reader) {
        field(QStringLiteral("whsn")).setValue(reader->booksOut);
        field(QStringLiteral("jyzj")).setValue(reader->loansTotal);
        field(QStringLiteral("tzztszq")).setValue(reader->stateSince);
    }
    iniTs();
    bookOk_ = false;
    field(QStringLiteral("tsID")).requestFocus();
    field(QStringLiteral("Button1")).setEnabled(false);
}

void Tfrm_TZJBook::Button2Click() {
    close();
}

} // namespace lms
