#include "books/Tfrm_TJBook.h"

#include "books/BookDomains.h"
#include "books/BookMessages.h"
#include "books/BookPrice.h"
#include "books/BookTypeList.h"
#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_TJBook::Tfrm_TJBook(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_TJBook"), QStringLiteral("添加新书"), parent), ctx_(ctx) {
    addField(QStringLiteral("id"), FieldKind::Text, QStringLiteral("图书编号：")).setMaxBytes(20);
    addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("<<"));
    addField(QStringLiteral("tsmz"), FieldKind::Text, QStringLiteral("图书名称："));
    addField(QStringLiteral("tsrx"), FieldKind::List, QStringLiteral("图书类型："));
    addField(QStringLiteral("tszz"), FieldKind::Text, QStringLiteral("作        者："));
    addField(QStringLiteral("tsfj"), FieldKind::Text, QStringLiteral("附        件："));
    addField(QStringLiteral("tsjg"), FieldKind::Text, QStringLiteral("价格(元)："));
    addField(QStringLiteral("tsbz"), FieldKind::Memo, QStringLiteral("备注："))
        .setMaxBytes(Books::kRemarkBytes);
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("添加"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

    lookUpWhenFull(
        field(QStringLiteral("id")), [this] { return ctx_.pub.BookIdMaxLen; },
        [this] { idChange(); });
    onExit(QStringLiteral("tsjg"), [this] { tsjgExit(); });
    addOperation(QStringLiteral("Button3Click"), [this] { Button3Click(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
}

void Tfrm_TJBook::FormShow() {
    iniall();
}

void Tfrm_TJBook::iniall() {
    // The id limit holds even when there are no book types to reset the rest with.
    field(QStringLiteral("id")).setMaxBytes(ctx_.pub.BookIdMaxLen);
    if (!Books::fillBookTypes(field(QStringLiteral("tsrx")), ctx_.dm, ctx_.prompter))
        return;
    field(QStringLiteral("id")).setValue(QString());
    field(QStringLiteral("tsmz")).setValue(QString());
    field(QStringLiteral("tsrx")).setItemIndex(0);
    for (const char* name : {"tszz", "tsfj", "tsjg", "tsbz"})
        field(QString::fromLatin1(name)).setValue(QString());
}

std::optional<bool> Tfrm_TJBook::isFree(const QString& id) {
    try {
        if (!ctx_.dm.isHaveBook(id))
            return true;
        ctx_.prompter.error(Books::alreadyExistsMessage(id));
        return false;
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return std::nullopt;
    }
}

void Tfrm_TJBook::idChange() {
    const std::optional<bool> free = isFree(typedId(field(QStringLiteral("id"))));
    if (!free)
        return;
    field(*free ? QStringLiteral("tsmz") : QStringLiteral("id")).requestFocus();
}

void Tfrm_TJBook::Button3Click() {
    const QString id = typedId(field(QStringLiteral("id")));
    const std::optional<bool> free = isFree(id);
    if (!free)
        return;
    if (!*free) {
        field(QStringLiteral("id")).requestFocus();
        return;
    }
    ctx_.prompter.information(QStringLiteral("图书编号：") + id + QStringLiteral("可用！"));
    field(QStringLiteral("tsmz")).requestFocus();
}

void Tfrm_TJBook::tsjgExit() {
    const QString price = field(QStringLiteral("tsjg")).text();
    if (!price.isEmpty() && !Books::parsePrice(price)) {
        ctx_.prompter.error(Books::invalidPriceMessage());
        field(QStringLiteral("tsjg")).requestFocus();
    }
}

void Tfrm_TJBook::Button1Click() {
    const QString id = typedId(field(QStringLiteral("id")));
    if (id.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入图书编号！"));
        field(QStringLiteral("id")).requestFocus();
        return;
    }
    if (!idFitsLimit(field(QStringLiteral("id")), QStringLiteral("图书"), ctx_.prompter))
        return;
    const QString title = field(QStringLiteral("tsmz")).text();
    if (title.trimmed().isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入图书名称！"));
        field(QStringLiteral("tsmz")).requestFocus();
        return;
    }
    const QString price = field(QStringLiteral("tsjg")).text();
    if (price.trimmed().isEmpty()) {
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
    const std::optional<bool> free = isFree(id);
    if (!free || !*free)
        return;

    const QString type = field(QStringLiteral("tsrx")).text();
    const QDateTime now = ctx_.clock.now();
    try {
        Database& db = ctx_.dm.db();
        Transaction transaction(db);
        Query(db,
              QStringLiteral("INSERT INTO 图书 (图书编号, 图书类型, 图书名称, 作者, 附件, 价格, "
                             "备注, 当前状态, 状态设置期, 录入时间) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
            .bindAll({id, type, title, field(QStringLiteral("tszz")).text(),
                      field(QStringLiteral("tsfj")).text(), price,
                      Gbk::truncateToBytes(Gbk::joinLines(field(QStringLiteral("tsbz")).text()),
                                           Books::kRemarkBytes),
                      Books::states().at(Books::OnShelf), Dates::toStorage(now),
                      Dates::toStorage(now)})
            .exec();
        ctx_.dm.appendLog(QStringLiteral("添加图书"), ctx_.pub.CurrentUser, now,
                          QStringLiteral("图书编号：") + id + QStringLiteral("  图书名称：") +
                              title + QStringLiteral("  图书类型：") + type);
        transaction.commit();
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("添加图书成功!"));
    iniall();
    field(QStringLiteral("id")).requestFocus();
}

void Tfrm_TJBook::Button2Click() {
    close();
}

} // namespace lms
