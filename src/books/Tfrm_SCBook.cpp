#include "books/Tfrm_SCBook.h"

#include "books/BookDomains.h"
#include "books/BookMessages.h"
#include "books/BookRecord.h"
#include "books/BookStore.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_SCBook::Tfrm_SCBook(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_SCBook"), QStringLiteral("删除图书"), parent), ctx_(ctx) {
    lookUpWhenFull(
        tsID, [this] { return ctx_.pub.BookIdMaxLen; }, [this] { CheckisHavebookClick(); });
    onClick(CheckisHavebook, [this] { CheckisHavebookClick(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
}

void Tfrm_SCBook::FormShow() {
    iniTs();
    allowDeletion(false);
}

void Tfrm_SCBook::allowDeletion(bool allowed) {
    // Deletion is allowed exactly while the button is usable.
    Button1.setEnabled(allowed);
}

void Tfrm_SCBook::iniTs() {
    tsID.setMaxBytes(ctx_.pub.BookIdMaxLen);
    tsID.setValue(QString());
    for (Field* text : {&tsmz, &tsrx, &tszz, &tsfj, &tsjg, &tsbz})
        text->setValue(QString());
    // No state or count of a previous book stays on screen.
    tszt.setItemIndex(-1);
    tszjcs.setValue(0);
    loadedId_.clear();
    const QDateTime now = ctx_.clock.now();
    nnsj.setValue(now);
    tsztszq.setValue(now);
}

void Tfrm_SCBook::CheckisHavebookClick() {
    const QString id = typedId(tsID);
    const Books::BookLookup lookup = Books::lookUpBook(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniTs();
        allowDeletion(false);
        tsID.requestFocus();
        return;
    }
    if (!lookup.found()) {
        loadedId_.clear();
        allowDeletion(false);
        return;
    }
    loadedId_ = id;
    Books::showBook({.title = &tsmz,
                     .type = &tsrx,
                     .author = &tszz,
                     .price = &tsjg,
                     .attachments = &tsfj,
                     .remark = &tsbz,
                     .enteredAt = &nnsj,
                     .state = &tszt,
                     .stateSince = &tsztszq,
                     .timesLent = &tszjcs},
                    lookup.book);
    if (lookup.book.stateIndex() == Books::Lent) {
        refuseLentBook(id, tszt.text());
        return;
    }
    allowDeletion(true);
    Button1.requestFocus();
}

void Tfrm_SCBook::refuseLentBook(const QString& id, const QString& state) {
    ctx_.prompter.error(QStringLiteral("图书编号为：") + id + QStringLiteral("的图书当前状态为：") +
                        state + QStringLiteral(" 不能删除！") + QChar(13) + QChar(13) +
                        QStringLiteral("请先归还图书之后再删除！"));
    allowDeletion(false);
    tsID.requestFocus();
}

void Tfrm_SCBook::Button1Click() {
    if (!Button1.isEnabled() || loadedId_.isEmpty()) {
        ctx_.prompter.error(
            QStringLiteral("请先在图书编号输入框中输入图书编号查询后，当充许删除时才能删除！"));
        tsID.requestFocus();
        return;
    }
    Books::BookDeletion deletion = Books::BookDeletion::Deleted;
    try {
        deletion = Books::deleteBook(ctx_.dm, loadedId_, ctx_.pub.CurrentUser, ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    // Lent or deleted at another desk since it was looked up.
    if (deletion == Books::BookDeletion::Lent) {
        refuseLentBook(loadedId_, Books::states().at(Books::Lent));
        return;
    }
    if (deletion == Books::BookDeletion::Gone) {
        ctx_.prompter.error(Books::notFoundMessage(loadedId_));
        iniTs();
        allowDeletion(false);
        tsID.requestFocus();
        return;
    }
    ctx_.prompter.information(QStringLiteral("删除图书成功!"));
    iniTs();
    allowDeletion(false);
    tsID.requestFocus();
}

void Tfrm_SCBook::Button2Click() {
    close();
}

} // namespace lms
