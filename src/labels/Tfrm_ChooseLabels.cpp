#include "labels/Tfrm_ChooseLabels.h"

#include "books/BookMessages.h"
#include "books/BookStore.h"
#include "books/BookTypes.h"
#include "core/DbError.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "labels/LabelRows.h"
#include "readers/ReaderMessages.h"

namespace lms {

namespace {

const QStringList kReaderTypes = {QStringLiteral("包月"), QStringLiteral("包季度"),
                                  QStringLiteral("包年"), Labels::kDailyType};

} // namespace

Tfrm_ChooseLabels::Tfrm_ChooseLabels(const ScreenContext& ctx, Kind kind,
                                     std::function<QString()> shopName, QObject* parent)
    : FormModel(QStringLiteral("frm_ChooseLabels"),
                kind == Kind::Book ? QStringLiteral("打印图书标签") : QStringLiteral("打印读者证"),
                parent),
      ctx_(ctx), kind_(kind), shopName_(std::move(shopName)) {
    id.setCaption(kind == Kind::Book ? QStringLiteral("或只打印图书编号：")
                                     : QStringLiteral("或只打印读者编号："));
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
    // A scanned id ends with Enter.
    onKeyDown(id, [this](int key) {
        if (key == kEnterKey)
            Button1Click();
    });
}

QList<Labels::LabelContent> Tfrm_ChooseLabels::choose() {
    chosen_.clear();
    ctx_.host.showModal(*this);
    return chosen_;
}

void Tfrm_ChooseLabels::FormShow() {
    QStringList items = {kind_ == Kind::Book ? QStringLiteral("全部图书")
                                             : QStringLiteral("全部读者")};
    if (kind_ == Kind::Book) {
        try {
            items << Books::loadBookTypes(ctx_.dm.db());
        } catch (const DbError&) {
            ctx_.prompter.error(Messages::databaseError());
        }
    } else {
        items << kReaderTypes;
    }
    scope.setItems(items);
    scope.setItemIndex(0);
    id.setValue(QString());
    id.setMaxBytes(kind_ == Kind::Book ? ctx_.pub.BookIdMaxLen : ctx_.pub.ReaderIdMaxLen);
    Button1.requestFocus();
}

QList<Labels::LabelContent> Tfrm_ChooseLabels::read(const QString& typedId, const QString& type) {
    Database& db = ctx_.dm.db();
    if (kind_ == Kind::Book) {
        if (typedId.isEmpty())
            return Labels::bookLabels(db, type);
        if (const std::optional<Books::BookRecord> book = Books::loadBook(db, typedId))
            return {Labels::bookLabel(*book)};
        ctx_.prompter.error(Books::notFoundMessage(typedId));
        return {};
    }
    if (typedId.isEmpty())
        return Labels::readerCards(db, shopName_(), type);
    const QList<Labels::LabelContent> card = Labels::readerCardsOf(db, {typedId}, shopName_());
    if (card.isEmpty())
        ctx_.prompter.error(Readers::notFoundMessage(typedId));
    return card;
}

void Tfrm_ChooseLabels::Button1Click() {
    const QString typedIdText = typedId(id);
    const QString type = scope.itemIndex() > 0 ? scope.text() : QString();
    const int boxes = ctx_.prompter.boxesShown();
    QList<Labels::LabelContent> labels;
    try {
        labels = read(typedIdText, type);
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (labels.isEmpty()) {
        // A missing id has said so already.
        if (ctx_.prompter.boxesShown() == boxes)
            ctx_.prompter.information(kind_ == Kind::Book ? QStringLiteral("没有符合条件的图书!")
                                                          : QStringLiteral("没有符合条件的读者!"));
        id.requestFocus();
        return;
    }
    chosen_ = labels;
    close(Result::Accepted);
}

} // namespace lms
