#pragma once

#include "books/BookDomains.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "labels/LabelPrinting.h"

#include <optional>

namespace lms {

// Book registration: stores a new book on the shelf with its type, price and remark, and logs it.
class Tfrm_TJBook : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_TJBook(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void idChange();
    void Button3Click();
    void tsjgExit();
    void Button1Click();
    void Button2Click();
    // "打印标签": the label of the book just stored, as stored.
    void Button4Click();
    void setLabelPrinting(Labels::PrintBookLabels print) { printLabel_ = std::move(print); }

    // The screen's fields in the order of the layout, named as its widgets.
    Field& id = // the new book's id; a full id checks itself
        addField(QStringLiteral("id"), FieldKind::Text, QStringLiteral("图书编号："))
            .setMaxBytes(20);
    Field& Button3 = // "<<": tells whether a shorter id is free
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
        addField(QStringLiteral("tsjg"), FieldKind::Text, QStringLiteral("价格(元)："));
    Field& tsbz = // remark
        addField(QStringLiteral("tsbz"), FieldKind::Memo, QStringLiteral("备注："))
            .setMaxBytes(Books::kRemarkBytes);
    Field& Button1 = // stores the book
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("添加"));
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));
    Field& Button4 = // usable from a book's storing until the next id is typed
        addField(QStringLiteral("Button4"), FieldKind::Button, QStringLiteral("打印标签"))
            .setEnabled(false);

private:
    // Whether the id is free; shows "already exists" (focus back to the id) or, on a database
    // failure, "连接数据库出错!". Nothing when the lookup failed.
    std::optional<bool> isFree(const QString& id);

    // The book just stored has no label to print any more.
    void forgetStored();

    ScreenContext ctx_;
    QString storedId_; // the book just stored, until the next id is typed
    Labels::PrintBookLabels printLabel_;
};

} // namespace lms
