#include "books/Tfrm_SCBook.h"

#include "books/BookDomains.h"
#include "books/BookRecord.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"

#include <climits>

namespace lms {

Tfrm_SCBook::Tfrm_SCBook(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_SCBook"), QStringLiteral("删除图书"), parent), ctx_(ctx) {
    addField(QStringLiteral("tsID"), FieldKind::Text, QStringLiteral("图书编号："));
    addField(QStringLiteral("CheckisHavebook"), FieldKind::Button, QStringLiteral("<<"));
    addField(QStringLiteral("GroupBox2"), FieldKind::Group, QStringLiteral("图书信息浏览："))
        .setEnabled(false);
    addField(QStringLiteral("tsmz"), FieldKind::Text, QStringLiteral("图书名称："));
    addField(QStringLiteral("tsrx"), FieldKind::Text, QStringLiteral("图书类型："));
    addField(QStringLiteral("tszz"), FieldKind::Text, QStringLiteral("作        者："));
    addField(QStringLiteral("tsfj"), FieldKind::Text, QStringLiteral("附        件："));
    addField(QStringLiteral("tsjg"), FieldKind::Text, QStringLiteral("价格 (元)："));
    Field& state = addField(QStringLiteral("tszt"), FieldKind::List, QStringLiteral("图书状态："));
    state.setItems(Books::states());
    state.setItemIndex(Books::OnShelf);
    addField(QStringLiteral("nnsj"), FieldKind::Date, QStringLiteral("录入时间："));
    addField(QStringLiteral("tsztszq"), FieldKind::Date, QStringLiteral("状态设置时间："));
    addField(QStringLiteral("tszjcs"), FieldKind::Spin, QStringLiteral("租借次数："))
        .setUnbounded();
    addField(QStringLiteral("tsbz"), FieldKind::Memo, QStringLiteral("图书备注："))
        .setEnabled(false);
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("删除"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

    lookUpWhenFull(
        field(QStringLiteral("tsID")), [this] { return ctx_.pub.BookIdMaxLen; },
        [this] { CheckisHavebookClick(); });
    addOperation(QStringLiteral("CheckisHavebookClick"), [this] { CheckisHavebookClick(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
}

void Tfrm_SCBook::FormShow() {
    iniTs();
    allowDeletion(false);
}

void Tfrm_SCBook::allowDeletion(bool allowed) {
    // Deletion is allowed exactly while the button is usable.
    field(QStringLiteral("Button1")).setEnabled(allowed);
}

void Tfrm_SCBook::iniTs() {
    Field& id = field(QStringLiteral("tsID"));
    id.setMaxBytes(ctx_.pub.BookIdMaxLen);
    id.setValue(QString());
    for (const char* name : {"tsmz", "tsrx", "tszz", "tsfj", "tsjg", "tsbz"})
        field(QString::fromLatin1(name)).setValue(QString());
    loadedId_.clear();
    const QDateTime now = ctx_.clock.now();
    field(QStringLiteral("nnsj")).setValue(now);
    field(QStringLiteral("tsztszq")).setValue(now);
}

void Tfrm_SCBook::CheckisHavebookClick() {
    Field& idField = field(QStringLiteral("tsID"));
    const QString id = typedId(idField);
    const Books::BookLookup lookup = Books::lookUpBook(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniTs();
        allowDeletion(false);
        idField.requestFocus();
        return;
    }
    if (!lookup.found()) {
        loadedId_.clear();
        allowDeletion(false);
        return;
    }
    loadedId_ = id;
    Books::showBook(*this, lookup.book);
    if (lookup.book.stateIndex() == Books::Lent) {
        ctx_.prompter.error(QStringLiteral("图书编号为：") + id +
                            QStringLiteral("的图书当前状态为：") +
                            field(QStringLiteral("tszt")).text() + QStringLiteral(" 不能删除！") +
                            QChar(13) + QChar(13) + QStringLiteral("请先归还图书之后再删除！"));
        allowDeletion(false);
        idField.requestFocus();
        return;
    }
    allowDeletion(true);
    field(QStringLiteral("Button1")).requestFocus();
}

void Tfrm_SCBook::Button1Click() {
    if (!field(QStringLiteral("Button1")).isEnabled() || loadedId_.isEmpty()) {
        ctx_.prompter.error(
            QStringLiteral("请先在图书编号输入框中输入图书编号查询后，当充许删除时才能删除！"));
        field(QStringLiteral("tsID")).requestFocus();
        return;
    }
    const QDateTime now = ctx_.clock.now();
    try {
        Database& db = ctx_.dm.db();
        Transaction transaction(db);
        Query(db, QStringLiteral("DELETE FROM 图书 WHERE 图书编号 = ?")).bind(1, loadedId_).exec();
        if (db.scalar(QStringLiteral("SELECT changes()")).toInt() != 1)
            throw DbError(0, "the loaded book is gone");
        ctx_.dm.appendLog(QStringLiteral("删除图书"), ctx_.pub.CurrentUser, now,
                          QStringLiteral(" 被删除的图书编号：") + loadedId_);
        transaction.commit();
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("删除图书成功!"));
    iniTs();
    allowDeletion(false);
    field(QStringLiteral("tsID")).requestFocus();
}

void Tfrm_SCBook::Button2Click() {
    close();
}

} // namespace lms
