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
      borrowing_(borrowing), receipt_(ctx) {
    addBookPanel();
    addReaderPanel();
    addField(QStringLiteral("GroupBox10"), FieldKind::Group,
             QStringLiteral("当前读者租借未还的图书："));
    addField(QStringLiteral("StringGrid1"), FieldKind::Grid).setGridModel(&loans_);
    field(QStringLiteral("StringGrid1")).setValue(-1);
    addField(QStringLiteral("GroupBox9"), FieldKind::Group).setEnabled(false);
    addField(QStringLiteral("zjrq"), FieldKind::Date, QStringLiteral("       租借日期："));
    addField(QStringLiteral("zwgwrq"), FieldKind::Date, QStringLiteral("最晚归还日期："));
    addField(QStringLiteral("cqts"), FieldKind::Text, QStringLiteral("超期天数："))
        .setValue(QStringLiteral("0"));
    addField(QStringLiteral("cqfh"), FieldKind::Text, QStringLiteral("超期罚款(元)："))
        .setValue(QStringLiteral("0"));
    addField(QStringLiteral("psyx"), FieldKind::Check,
             QStringLiteral("图书破损或遗失     赔偿金额(元)："))
        .setValue(false);
    addField(QStringLiteral("pspz"), FieldKind::Text).setValue(QStringLiteral("0"));
    Field& rentGroup = addField(QStringLiteral("GroupBox12"), FieldKind::Group);
    rentGroup.setVisible(false);
    addField(QStringLiteral("zjgj"), FieldKind::Text, QStringLiteral("租借租金共计："))
        .setValue(QStringLiteral("0"));
    // The total is worked out from its parts, never typed: it is shown like the rest of its
    // always disabled group.
    Field& total = addField(QStringLiteral("zj"), FieldKind::Text, QStringLiteral("总计(元)："));
    total.setValue(QStringLiteral("0"));
    total.setEnabled(false);
    addField(QStringLiteral("cyjhz"), FieldKind::Check, QStringLiteral("从押金中扣除"))
        .setValue(false);
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("归还"))
        .setEnabled(false);
    addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("继续借书"))
        .setEnabled(false);
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

    for (const char* name : {"psyx", "pspz", "zjgj", "cqfh"})
        onChange(QString::fromLatin1(name), [this] { psyxClick(); });
    addOperation(QStringLiteral("psyxClick"), [this] { psyxClick(); });
    addOperation(QStringLiteral("showTZJS"), [this] { showTZJS(); });
    addOperation(QStringLiteral("StringGrid1DblClick"), [this] { StringGrid1DblClick(); });
    onKeyDown(QStringLiteral("StringGrid1"), [this](int key) {
        if (key == kEnterKey)
            StringGrid1DblClick();
    });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
    addOperation(QStringLiteral("Button3Click"), [this] { Button3Click(); });
    receipt_.attach(addField(ReceiptSlip::kButton, FieldKind::Button, ReceiptSlip::kCaption));
    addOperation(ReceiptSlip::kButton + QStringLiteral("Click"), [this] { receipt_.print(); });
    for (const char* name : {"Button1", "Button2", "Button3"})
        pressOnEnter(QString::fromLatin1(name));
}

void Tfrm_TZHBook::FormShow() {
    receipt_.clear();
    iniTZ();
    readerOk_ = false;
    iniTs();
    bookOk_ = false;
    field(QStringLiteral("Button1")).setEnabled(false);
    field(QStringLiteral("Button3")).setEnabled(false);
    for (const char* name : {"pspz", "zjgj", "cqfh"})
        field(QString::fromLatin1(name)).setEnabled(ctx_.pub.AllowAmountEdit);
    // No reader is accepted yet, so no reader's loans are listed.
    loans_.clear();
    field(QStringLiteral("tsID")).requestFocus();
}

void Tfrm_TZHBook::iniTs() {
    LoanDesk::iniTs();
    {
        const QScopedValueRollback<bool> settling(settling_, true);
        field(QStringLiteral("zjgj")).setValue(QStringLiteral("0"));
        field(QStringLiteral("zjrq")).setValue(ctx_.clock.now());
        field(QStringLiteral("psyx")).setValue(false);
        field(QStringLiteral("cyjhz")).setValue(false);
    }
}

void Tfrm_TZHBook::allowReturn(bool allowed) {
    field(QStringLiteral("Button1")).setEnabled(allowed);
}

void Tfrm_TZHBook::CheckisHavebookClick() {
    Field& idField = field(QStringLiteral("tsID"));
    const QString id = typedId(idField);
    const Books::BookLookup lookup = Books::lookUpBook(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniTs();
        bookOk_ = false;
        allowReturn(false);
        idField.requestFocus();
        return;
    }
    if (!lookup.found())
        return;
    std::optional<LoanRow> loan;
    try {
        loan = loanOfBook(ctx_.dm.db(), id);
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    const QDateTime now = ctx_.clock.now();
    currentBookId_ = id;
    {
        const QScopedValueRollback<bool> settling(settling_, true);
        Books::showBook(bookPanel_, lookup.book);
        field(QStringLiteral("pspz"))
            .setValue(compensation(lookup.book.price, ctx_.pub.DamageRate));
    }
    bookOk_ = true;
    if (!loan) {
        ctx_.prompter.error(bookNotLentMessage());
        bookOk_ = false;
    } else {
        {
            const QScopedValueRollback<bool> settling(settling_, true);
            field(QStringLiteral("zjrq")).setValue(loan->lentAt);
            field(QStringLiteral("zwgwrq")).setValue(loan->due);
            const qint64 late = overdueDays(loan->due, now);
            field(QStringLiteral("cqts")).setValue(QString::number(late));
            field(QStringLiteral("cqfh")).setValue(overdueFine(late, ctx_.pub.OverdueFinePerDay));
            psyxClick();
        }
        currentReaderId_ = loan->readerId;
        setReaderIdQuietly(loan->readerId);
        CheckisHaveReaderClick();
    }
    const bool both = readerOk_ && bookOk_;
    allowReturn(both);
    field(both ? QStringLiteral("Button1") : QStringLiteral("tzID")).requestFocus();
}

void Tfrm_TZHBook::CheckisHaveReaderClick() {
    Field& idField = field(QStringLiteral("tzID"));
    const QString id = typedId(idField);
    const Readers::ReaderLookup lookup = Readers::lookUpReader(ctx_.dm, ctx_.prompter, id);
    if (!lookup.found()) {
        // Not found, or not readable: no reader is accepted, and none of an earlier reader's
        // data stays to be written onto the loan's reader.
        iniTZ();
        readerOk_ = false;
        idField.requestFocus();
        allowReturn(false);
        field(QStringLiteral("Button3")).setEnabled(false);
        loans_.clear();
        return;
    }
    const QDateTime now = ctx_.clock.now();
    currentReaderId_ = id;
    bool daily = false;
    {
        const QScopedValueRollback<bool> settling(settling_, true);
        showReaderRow(lookup.reader, now);
        daily = field(QStringLiteral("tzrx")).itemIndex() == Readers::Daily;
        field(QStringLiteral("GroupBox12")).setVisible(daily);
        field(QStringLiteral("zjgj"))
            .setValue(daily ? dailyRent(field(QStringLiteral("zjrq")).value().toDateTime(), now,
                                        ctx_.pub.DailyRent)
                            : QStringLiteral("0"));
        psyxClick();
    }
    const qint64 left = Dates::daysBetween(now, field(QStringLiteral("yxq")).value().toDateTime());
    if (left < ctx_.pub.ExpiryReminderDays && !daily)
        ctx_.prompter.warning(validityLeftMessage(left));
    if (stateForbids()) {
        ctx_.prompter.error(cannotReturnInStateMessage(field(QStringLiteral("tzzt")).text()));
        readerOk_ = false;
        allowReturn(false);
        field(QStringLiteral("Button3")).setEnabled(false);
    } else {
        readerOk_ = true;
        field(QStringLiteral("Button3")).setEnabled(true);
        allowReturn(bookOk_);
        field(bookOk_ ? QStringLiteral("Button1") : QStringLiteral("tsID")).requestFocus();
    }
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
    field(QStringLiteral("StringGrid1")).setValue(-1);
}

void Tfrm_TZHBook::StringGrid1DblClick() {
    const QString bookId = loans_.bookIdAt(field(QStringLiteral("StringGrid1")).number());
    if (bookId.isEmpty())
        return;
    putId(QStringLiteral("tsID"), bookId);
    if (Gbk::byteLength(bookId) != ctx_.pub.BookIdMaxLen)
        CheckisHavebookClick();
}

void Tfrm_TZHBook::psyxClick() {
    const std::optional<ReturnAmounts> amounts = returnAmounts(
        field(QStringLiteral("cqfh")).text(), field(QStringLiteral("zjgj")).text(),
        field(QStringLiteral("pspz")).text(), field(QStringLiteral("psyx")).checked());
    if (!amounts) {
        if (!settling_)
            ctx_.prompter.error(invalidNumberMessage());
        return;
    }
    field(QStringLiteral("zj")).setValue(Numbers::twoDecimalForm(amounts->total));
}

void Tfrm_TZHBook::Button1Click() {
    if (!readerOk_) {
        ctx_.prompter.error(returnWithoutReaderMessage());
        field(QStringLiteral("tzID")).requestFocus();
        return;
    }
    if (!bookOk_) {
        ctx_.prompter.error(returnWithoutBookMessage());
        field(QStringLiteral("tsID")).requestFocus();
        return;
    }
    if (!Dates::isStorable(field(QStringLiteral("yxq")).value().toDateTime())) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        return;
    }
    const bool damaged = field(QStringLiteral("psyx")).checked();
    // Every amount is a number before anything is stored.
    const std::optional<ReturnAmounts> amounts =
        returnAmounts(field(QStringLiteral("cqfh")).text(), field(QStringLiteral("zjgj")).text(),
                      field(QStringLiteral("pspz")).text(), damaged);
    if (!amounts) {
        ctx_.prompter.error(invalidNumberMessage());
        return;
    }
    field(QStringLiteral("zj")).setValue(Numbers::twoDecimalForm(amounts->total));

    Returning returning;
    returning.readerId = currentReaderId_;
    returning.readerName = field(QStringLiteral("tzxm")).text();
    returning.readerRemark = storedRemark(QStringLiteral("tzbz"));
    returning.validity = field(QStringLiteral("yxq")).value().toDateTime();
    returning.bookId = currentBookId_;
    returning.bookTitle = field(QStringLiteral("tsmz")).text();
    returning.bookRemark = storedRemark(QStringLiteral("tsbz"));
    returning.lentAt = field(QStringLiteral("zjrq")).value().toDateTime();
    returning.damagedOrLost = damaged;
    returning.fromDeposit = field(QStringLiteral("cyjhz")).checked();
    returning.amounts = *amounts;
    returning.user = ctx_.pub.CurrentUser;
    returning.now = ctx_.clock.now();
    ReturnOutcome outcome;
    StoredRows stored;
    try {
        outcome = giveBack(ctx_.dm, returning, &stored);
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (outcome == ReturnOutcome::NoSuchLoan) {
        ctx_.prompter.error(noSuchLoanMessage(currentReaderId_, currentBookId_));
        return;
    }
    receipt_.keep(ReceiptSource::giveBack(stored.ledgerRow, stored.historyRow));
    ctx_.prompter.information(returnedMessage());
    const std::optional<Readers::ReaderRecord> reader = readerAsStored();
    // The reader panel shows what is stored now: one book fewer, the deposit after deduction.
    if (reader) {
        field(QStringLiteral("whsn")).setValue(reader->booksOut);
        field(QStringLiteral("yj")).setValue(Readers::depositText(*reader));
        field(QStringLiteral("tzztszq")).setValue(reader->stateSince);
    }
    iniTs();
    bookOk_ = false;
    showTZJS(true);
    allowReturn(false);
    field(QStringLiteral("tsID")).requestFocus();
}

void Tfrm_TZHBook::Button3Click() {
    if (!readerOk_) {
        ctx_.prompter.error(returnWithoutReaderMessage());
        field(QStringLiteral("tzID")).requestFocus();
        return;
    }
    const QString readerId = currentReaderId_;
    close();
    ctx_.host.showModeless(borrowing_, true);
    borrowing_.putId(QStringLiteral("tzID"), readerId);
}

void Tfrm_TZHBook::Button2Click() {
    close();
}

} // namespace lms
