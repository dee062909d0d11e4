#include "books/Tfrm_GGBook.h"

#include "books/BookDomains.h"
#include "books/BookMessages.h"
#include "books/BookPrice.h"
#include "books/BookRecord.h"
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
    addField(QStringLiteral("id"), FieldKind::Text, QStringLiteral("图书编号：")).setMaxBytes(20);
    addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("<<"));
    addField(QStringLiteral("tsmz"), FieldKind::Text, QStringLiteral("图书名称："));
    addField(QStringLiteral("tsrx"), FieldKind::List, QStringLiteral("图书类型："));
    addField(QStringLiteral("tszz"), FieldKind::Text, QStringLiteral("作        者："));
    addField(QStringLiteral("tsfj"), FieldKind::Text, QStringLiteral("附        件："));
    addField(QStringLiteral("tsjg"), FieldKind::Text, QStringLiteral("价格 (元)："));
    addField(QStringLiteral("tsbz"), FieldKind::Memo, QStringLiteral("备注："))
        .setMaxBytes(Books::kRemarkBytes);
    addField(QStringLiteral("tszt"), FieldKind::List, QStringLiteral("图书状态："))
        .setItems(Books::states());
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("更改"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

    lookUpWhenFull(
        field(QStringLiteral("id")), [this] { return ctx_.pub.BookIdMaxLen; },
        [this] { Button3Click(); });
    addOperation(QStringLiteral("Button3Click"), [this] { Button3Click(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
}

void Tfrm_GGBook::FormShow() {
    iniall();
    loaded_ = false;
}

void Tfrm_GGBook::iniall() {
    // The id limit holds even when there are no book types to reset the rest with.
    field(QStringLiteral("id")).setMaxBytes(ctx_.pub.BookIdMaxLen);
    if (!Books::fillBookTypes(field(QStringLiteral("tsrx")), ctx_.dm, ctx_.prompter))
        return;
    field(QStringLiteral("id")).setValue(QString());
    for (const char* name : {"tsmz", "tszz", "tsfj", "tsjg", "tsbz"})
        field(QString::fromLatin1(name)).setValue(QString());
    field(QStringLiteral("tsrx")).setItemIndex(0);
    field(QStringLiteral("tszt")).setItemIndex(Books::OnShelf);
    loadedId_.clear();
    loadedTypeIndex_ = -1;
    loadedStateIndex_ = 0;
}

void Tfrm_GGBook::Button3Click() {
    const QString id = typedId(field(QStringLiteral("id")));
    const Books::BookLookup lookup = Books::lookUpBook(ctx_.dm, ctx_.prompter, id);
    if (lookup.outcome == LookupOutcome::NotFound) {
        iniall();
        loaded_ = false;
        field(QStringLiteral("id")).requestFocus();
        return;
    }
    if (!lookup.found()) {
        loaded_ = false;
        return;
    }
    loadedId_ = id;
    Books::showBook(*this, lookup.book);
    loadedTypeIndex_ = field(QStringLiteral("tsrx")).itemIndex();
    loadedStateIndex_ = field(QStringLiteral("tszt")).itemIndex();
    loaded_ = true;
}

void Tfrm_GGBook::Button1Click() {
    Field& id = field(QStringLiteral("id"));
    if (!keepsLookedUpId(id, loaded_, loadedId_, QStringLiteral("图书"), ctx_.prompter))
        return;
    if (field(QStringLiteral("tsmz")).text().trimmed().isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入图书名称！"));
        field(QStringLiteral("tsmz")).requestFocus();
        return;
    }
    const QString price = field(QStringLiteral("tsjg")).text().trimmed();
    if (price.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入图书价格！"));
        field(QStringLiteral("tsjg")).requestFocus();
        return;
    }
    // Returning charges a share of the price, so only a number is ever stored.
    if (!Books::parsePrice(price)) {
        ctx_.prompter.error(Books::invalidPriceMessage());
        field(QStringLiteral("tsjg")).requestFocus();
        return;
    }
    if (field(QStringLiteral("tsrx")).itemIndex() != loadedTypeIndex_ &&
        !ctx_.prompter.warningYesNo(
            QStringLiteral("修改图书类型会影响图书在系统中的图书分类！您确定要修改吗？"))) {
        field(QStringLiteral("tsrx")).requestFocus();
        return;
    }
    if (field(QStringLiteral("tszt")).itemIndex() != loadedStateIndex_ &&
        !ctx_.prompter.warningYesNo(QStringLiteral("修改图书状态会影响图书借阅、归还及查询系统对"
                                                   "图书的判断！您确定要修改吗？"))) {
        field(QStringLiteral("tszt")).requestFocus();
        return;
    }
    try {
        store(ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("图书信息更改成功!"));
    iniall();
    loaded_ = false;
    id.requestFocus();
}

void Tfrm_GGBook::store(const QDateTime& now) {
    const Field& type = field(QStringLiteral("tsrx"));
    if (!hasChoice(type))
        throw DbError(0, "book type not chosen");
    const Field& state = field(QStringLiteral("tszt"));
    QString sql = QStringLiteral(
        "UPDATE 图书 SET 图书名称 = ?, 图书类型 = ?, 作者 = ?, 价格 = ?, 附件 = ?, 备注 = ?");
    QVariantList values = {field(QStringLiteral("tsmz")).text().trimmed(),
                           type.text(),
                           field(QStringLiteral("tszz")).text().trimmed(),
                           field(QStringLiteral("tsjg")).text().trimmed(),
                           field(QStringLiteral("tsfj")).text().trimmed(),
                           Gbk::joinLines(field(QStringLiteral("tsbz")).text())};
    if (state.itemIndex() != loadedStateIndex_) {
        sql += QStringLiteral(", 当前状态 = ?, 状态设置期 = ?");
        values << state.text() << Dates::toStorage(now);
    }
    sql += QStringLiteral(" WHERE 图书编号 = ?");
    values << loadedId_;

    Database& db = ctx_.dm.db();
    Transaction transaction(db);
    Query(db, sql).bindAll(values).exec();
    if (db.scalar(QStringLiteral("SELECT changes()")).toInt() != 1)
        throw DbError(0, "the loaded book is gone");
    ctx_.dm.appendLog(QStringLiteral("更改图书信息"), ctx_.pub.CurrentUser, now,
                      QStringLiteral("被更改的图书编号：") + loadedId_);
    transaction.commit();
}

void Tfrm_GGBook::Button2Click() {
    close();
}

} // namespace lms
