#pragma once

#include "books/BookDomains.h"
#include "books/BookRecord.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"

#include <QDateTime>

namespace lms {

// Book maintenance: looks a book up and stores the clerk's changes to its data, type and state,
// asking before a type or state change.
class Tfrm_GGBook : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_GGBook(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void Button3Click();
    void Button1Click();
    void Button2Click();

    // The screen's fields in the order of the layout, named as its widgets.
    Field& id = // the book's id; a full id looks itself up
        addField(QStringLiteral("id"), FieldKind::Text, QStringLiteral("图书编号："))
            .setMaxBytes(20);
    Field& Button3 = // "<<": looks up a shorter id
        addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("<<"));
    Field& tsmz = // title
        addField(QStringLiteral("tsmz"), FieldKind::Text, QStringLiteral("图书名称："));
    Field& tsrx = // book type, one of 图书类型
        addField(QStringLiteral("tsrx"), FieldKind::List, QStringLiteral("图书类型："));
    Field& tszz = // author
        addField(QStringLiteral("tszz"), FieldKind::Text, QStringLiteral("作        者："));
    Field& tsfj = // attachments (a disc, a map)
        addField(QStringLiteral("tsfj"), FieldKind::Text, QStringLiteral("附        件："));
    Field& tsjg = // price in yuan, a number
        addField(QStringLiteral("tsjg"), FieldKind::Text, QStringLiteral("价格 (元)："));
    Field& tsbz = // remark
        addField(QStringLiteral("tsbz"), FieldKind::Memo, QStringLiteral("备注："))
            .setMaxBytes(Books::kRemarkBytes);
    Field& tszt = // state: on the shelf, lent, damaged or lost
        addField(QStringLiteral("tszt"), FieldKind::List, QStringLiteral("图书状态："))
            .setItems(Books::states());
    Field& Button1 = // stores the change
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("更改"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

private:
    // Writes the change and its log record in one transaction; throws DbError.
    // False when the store refused the change; that is then said.
    bool store(const QDateTime& now);

    ScreenContext ctx_;
    // The loaded-book context, from a successful lookup to the next change or lookup.
    bool loaded_ = false;
    QString loadedId_;
    int loadedTypeIndex_ = -1;
    int loadedStateIndex_ = 0;
    Books::BookRecord loadedBook_; // as read by the lookup
};

} // namespace lms
