#include "books/Tfrm_GGBook.h"

#include "books/BookDomains.h"
#include "books/BookMessages.h"
#include "books/BookPrice.h"
#include "books/BookRecord.h"
#include "books/BookStore.h"
#include "books/BookTypeList.h"
#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "core/form/StoredValues.h"

namespace lms {

Tfrm_GGBook::Tfrm_GGBook(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_GGBook"), QStringLiteral("更改图书信息"), parent), ctx_(ctx) {
    lookUpWhenFull(
        id, [this] { return ctx_.pub.BookIdMaxLen; }, [this] { Button3Click(); });
    onClick(Button3, [this] { Button3Click(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
}

void Tfrm_GGBook::FormShow() {
    iniall();
    loaded_ = false;
}

void Tfrm_GGBook::iniall() {
    // The id limit holds even when there are no book types to reset the rest with.
    id.setMaxBytes(ctx_.pub.BookIdMaxLen);
    if (!Books::fillBookTypes(tsrx, ctx_.dm, ctx_.prompter))
        return;
    id.setValue(QString());
    for (Field* text : {&tsmz, &tszz, &tsfj, &tsjg, &tsbz})
        text->setValue(QString());
    tsrx.setItemIndex(0);
    tszt.setItemIndex(Books::OnShelf);
    loadedId_.clear();
    loadedTypeIndex_ = -1;
    loadedStateIndex_ = 0;
}

void Tfrm_GGBook::Button3Click() {
    const QString typed = typedId(id);
    const Books::BookLookup lookup = Books::lookUpBook(ctx_.dm, ctx_.prompter, typed);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniall();
        loaded_ = false;
        id.requestFocus();
        return;
    }
    if (!lookup.found()) {
        loaded_ = false;
        return;
    }
    loadedId_ = typed;
    Books::showBook({.title = &tsmz,
                     .type = &tsrx,
                     .author = &tszz,
                     .price = &tsjg,
                     .attachments = &tsfj,
                     .remark = &tsbz,
                     .state = &tszt},
                    lookup.book);
    loadedTypeIndex_ = tsrx.itemIndex();
    loadedStateIndex_ = tszt.itemIndex();
    loadedBook_ = lookup.book;
    loaded_ = true;
}

void Tfrm_GGBook::Button1Click() {
    if (!keepsLookedUpId(id, loaded_, loadedId_, QStringLiteral("图书"), ctx_.prompter))
        return;
    if (tsmz.text().trimmed().isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入图书名称！"));
        tsmz.requestFocus();
        return;
    }
    const QString price = tsjg.text().trimmed();
    if (price.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入图书价格！"));
        tsjg.requestFocus();
        return;
    }
    // Returning charges a share of the price, so only a number is ever stored.
    if (!Books::parsePrice(price)) {
        ctx_.prompter.error(Books::invalidPriceMessage());
        tsjg.requestFocus();
        return;
    }
    if (tsrx.itemIndex() != loadedTypeIndex_ &&
        !ctx_.prompter.warningYesNo(
            QStringLiteral("修改图书类型会影响图书在系统中的图书分类！您确定要修改吗？"))) {
        tsrx.requestFocus();
        return;
    }
    if (tszt.itemIndex() != loadedStateIndex_ && tszt.itemIndex() == Books::Lent) {
        ctx_.prompter.error(Books::lentOnlyByLoanMessage());
        tszt.requestFocus();
        return;
    }
    if (tszt.itemIndex() != loadedStateIndex_ &&
        !ctx_.prompter.warningYesNo(QStringLiteral("修改图书状态会影响图书借阅、归还及查询系统对"
                                                   "图书的判断！您确定要修改吗？"))) {
        tszt.requestFocus();
        return;
    }
    try {
        if (!store(ctx_.clock.now()))
            return;
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("图书信息更改成功!"));
    iniall();
    loaded_ = false;
    id.requestFocus();
}

bool Tfrm_GGBook::store(const QDateTime& now) {
    if (!hasChoice(tsrx))
        throw DbError(0, "book type not chosen");
    Books::BookChange change{.id = loadedId_,
                             .title = tsmz.text().trimmed(),
                             .type = tsrx.text(),
                             .author = tszz.text().trimmed(),
                             .price = tsjg.text().trimmed(),
                             .attachments = tsfj.text().trimmed(),
                             .remark = Gbk::joinLines(tsbz.text()),
                             .newState = std::nullopt};
    if (tszt.itemIndex() != loadedStateIndex_)
        change.newState = tszt.text();
    switch (Books::changeBook(ctx_.dm, loadedBook_, change, ctx_.pub.CurrentUser, now)) {
    case Books::BookWrite::Written:
        return true;
    case Books::BookWrite::LentOnlyByLoan:
        ctx_.prompter.error(Books::lentOnlyByLoanMessage());
        tszt.requestFocus();
        return false;
    case Books::BookWrite::LoanOpen:
        ctx_.prompter.error(Books::lentStateKeptMessage(loadedId_));
        tszt.requestFocus();
        return false;
    case Books::BookWrite::Gone:
        ctx_.prompter.error(Books::notFoundMessage(loadedId_));
        break;
    case Books::BookWrite::ChangedElsewhere:
        ctx_.prompter.error(Books::changedElsewhereMessage(loadedId_));
        break;
    }
    // The clerk's typing stays on screen; a new lookup shows the book as stored now.
    loaded_ = false;
    id.requestFocus();
    return false;
}

void Tfrm_GGBook::Button2Click() {
    close();
}

} // namespace lms
