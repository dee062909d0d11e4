#include "books/Tfrm_TJBook.h"

#include "books/BookDomains.h"
#include "books/BookEntry.h"
#include "books/BookMessages.h"
#include "books/BookPrice.h"
#include "books/BookStore.h"
#include "books/BookTypeList.h"
#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "labels/LabelRows.h"

namespace lms {

Tfrm_TJBook::Tfrm_TJBook(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_TJBook"), QStringLiteral("添加新书"), parent), ctx_(ctx) {
    lookUpWhenFull(
        id, [this] { return ctx_.pub.BookIdMaxLen; }, [this] { idChange(); });
    onExit(tsjg, [this] { tsjgExit(); });
    onClick(Button3, [this] { Button3Click(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
    onClick(Button4, [this] { Button4Click(); });
    onChange(id, [this] {
        if (!id.text().isEmpty())
            forgetStored();
    });
}

void Tfrm_TJBook::FormShow() {
    forgetStored();
    iniall();
}

void Tfrm_TJBook::forgetStored() {
    storedId_.clear();
    Button4.setEnabled(false);
}

void Tfrm_TJBook::iniall() {
    // The id limit holds even when there are no book types to reset the rest with.
    id.setMaxBytes(ctx_.pub.BookIdMaxLen);
    if (!Books::fillBookTypes(tsrx, ctx_.dm, ctx_.prompter))
        return;
    id.setValue(QString());
    tsmz.setValue(QString());
    tsrx.setItemIndex(0);
    for (Field* text : {&tszz, &tsfj, &tsjg, &tsbz})
        text->setValue(QString());
}

std::optional<bool> Tfrm_TJBook::isFree(const QString& bookId) {
    try {
        if (!ctx_.dm.isHaveBook(bookId))
            return true;
        ctx_.prompter.error(Books::alreadyExistsMessage(bookId));
        return false;
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return std::nullopt;
    }
}

void Tfrm_TJBook::idChange() {
    const std::optional<bool> free = isFree(typedId(id));
    if (!free)
        return;
    (*free ? tsmz : id).requestFocus();
}

void Tfrm_TJBook::Button3Click() {
    const QString bookId = typedId(id);
    const std::optional<bool> free = isFree(bookId);
    if (!free)
        return;
    if (!*free) {
        id.requestFocus();
        return;
    }
    ctx_.prompter.information(QStringLiteral("图书编号：") + bookId + QStringLiteral("可用！"));
    tsmz.requestFocus();
}

void Tfrm_TJBook::tsjgExit() {
    const QString price = tsjg.text();
    if (!price.isEmpty() && !Books::parsePrice(price)) {
        ctx_.prompter.error(Books::invalidPriceMessage());
        tsjg.requestFocus();
    }
}

void Tfrm_TJBook::Button1Click() {
    const QString bookId = typedId(id);
    const QString title = tsmz.text();
    const QString price = tsjg.text();
    if (const auto problem = Books::checkEntry(bookId, id.maxBytes(), title, price)) {
        ctx_.prompter.error(problem->message);
        Field* const focus[] = {&id, &tsmz, &tsjg}; // in the order of Books::EntryField
        focus[static_cast<int>(problem->field)]->requestFocus();
        return;
    }
    const std::optional<bool> free = isFree(bookId);
    if (!free || !*free)
        return;

    try {
        const bool added = Books::addBook(
            ctx_.dm,
            {.id = bookId,
             .type = tsrx.text(),
             .title = title,
             .author = tszz.text(),
             .attachments = tsfj.text(),
             .price = price,
             .remark = Gbk::truncateToBytes(Gbk::joinLines(tsbz.text()), Books::kRemarkBytes)},
            ctx_.pub.CurrentUser, ctx_.clock.now());
        if (!added) {
            ctx_.prompter.error(Books::alreadyExistsMessage(bookId));
            return;
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("添加图书成功!"));
    iniall();
    storedId_ = bookId;
    Button4.setEnabled(true);
    id.requestFocus();
}

void Tfrm_TJBook::Button4Click() {
    if (storedId_.isEmpty() || !printLabel_)
        return;
    // Another desk may have changed or deleted the book since.
    const Books::BookLookup stored = Books::lookUpBook(ctx_.dm, ctx_.prompter, storedId_);
    if (stored.found())
        printLabel_({Labels::bookLabel(stored.book)});
}

void Tfrm_TJBook::Button2Click() {
    close();
}

} // namespace lms
