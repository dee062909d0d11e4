#pragma once

#include "books/BookDomains.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"

namespace lms {

// Book deletion: shows a book read-only and deletes it unless it is lent out.
class Tfrm_SCBook : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_SCBook(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniTs();
    void CheckisHavebookClick();
    void Button1Click();
    void Button2Click();

    // The screen's fields in the order of the layout, named as its widgets; the book is shown,
    // not edited.
    Field& tsID = // the book's id; a full id looks itself up
        addField(QStringLiteral("tsID"), FieldKind::Text, QStringLiteral("图书编号："));
    Field& CheckisHavebook = // "<<": looks up a shorter id
        addField(QStringLiteral("CheckisHavebook"), FieldKind::Button, QStringLiteral("<<"));
    Field& GroupBox2 = // the book's data, shown only
        addField(QStringLiteral("GroupBox2"), FieldKind::Group, QStringLiteral("图书信息浏览："))
            .setEnabled(false);
    Field& tsmz = // title
        addField(QStringLiteral("tsmz"), FieldKind::Text, QStringLiteral("图书名称："));
    Field& tsrx = // book type
        addField(QStringLiteral("tsrx"), FieldKind::Text, QStringLiteral("图书类型："));
    Field& tszz = // author
        addField(QStringLiteral("tszz"), FieldKind::Text, QStringLiteral("作        者："));
    Field& tsfj = // attachments
        addField(QStringLiteral("tsfj"), FieldKind::Text, QStringLiteral("附        件："));
    Field& tsjg = // price in yuan
        addField(QStringLiteral("tsjg"), FieldKind::Text, QStringLiteral("价格 (元)："));
    Field& tszt = // state: on the shelf, lent, damaged or lost
        addField(QStringLiteral("tszt"), FieldKind::List, QStringLiteral("图书状态："))
            .setItems(Books::states())
            .setItemIndex(Books::OnShelf);
    Field& nnsj = // when the book was entered
        addField(QStringLiteral("nnsj"), FieldKind::Date, QStringLiteral("录入时间："));
    Field& tsztszq = // when its state was last set
        addField(QStringLiteral("tsztszq"), FieldKind::Date, QStringLiteral("状态设置时间："));
    Field& tszjcs = // how often it was lent
        addField(QStringLiteral("tszjcs"), FieldKind::Spin, QStringLiteral("租借次数："))
            .setUnbounded();
    Field& tsbz = // remark
        addField(QStringLiteral("tsbz"), FieldKind::Memo, QStringLiteral("图书备注："))
            .setEnabled(false);
    Field& Button1 = // deletes the book; usable only while deletion is allowed
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("删除"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

private:
    void allowDeletion(bool allowed);
    // The message for a book that is lent and so cannot be deleted.
    void refuseLentBook(const QString& id, const QString& state);

    ScreenContext ctx_;
    QString loadedId_;
};

} // namespace lms
