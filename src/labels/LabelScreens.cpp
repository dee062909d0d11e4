#include "labels/LabelScreens.h"

#include "books/Tfrm_TJBook.h"
#include "core/DbError.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Prompter.h"
#include "core/screens/Tfrm_Main.h"
#include "labels/LabelRows.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallReader.h"
#include "readers/Tfrm_TJReader.h"

namespace lms {

LabelScreens::LabelScreens(const ScreenContext& ctx, Tfrm_Main& main)
    : ctx_(ctx), bookLabels_(ctx, Labels::LabelContent::Kind::Book),
      readerCards_(ctx, Labels::LabelContent::Kind::ReaderCard),
      bookChoice_(ctx, Labels::LabelContent::Kind::Book, [this] { return shopName(); }),
      readerChoice_(ctx, Labels::LabelContent::Kind::ReaderCard, [this] { return shopName(); }) {
    main.registerCommand(QStringLiteral("BookLabelMenu"), [this] {
        if (const QList<Labels::LabelContent> labels = bookChoice_.choose(); !labels.isEmpty())
            bookLabels_.print(labels);
    });
    main.registerCommand(QStringLiteral("ReaderCardMenu"), [this] {
        if (const QList<Labels::LabelContent> cards = readerChoice_.choose(); !cards.isEmpty())
            readerCards_.print(cards);
    });
}

void LabelScreens::attach(Tfrm_TJBook& registration, Tfrm_QallBook& listing) {
    const Labels::PrintBookLabels print = [this](const QList<Labels::LabelContent>& labels) {
        bookLabels_.print(labels);
    };
    registration.setLabelPrinting(print);
    listing.setLabelPrinting(print);
}

void LabelScreens::attach(Tfrm_TJReader& registration, Tfrm_QallReader& listing) {
    const Labels::PrintReaderCards print = [this](const QStringList& ids) { printCards(ids); };
    registration.setCardPrinting(print);
    listing.setCardPrinting(print);
}

void LabelScreens::printCards(const QStringList& readerIds) {
    QList<Labels::LabelContent> cards;
    try {
        cards = Labels::readerCardsOf(ctx_.dm.db(), readerIds, shopName());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (cards.isEmpty()) {
        ctx_.prompter.information(QStringLiteral("没有符合条件的读者!"));
        return;
    }
    readerCards_.print(cards);
}

QString LabelScreens::shopName() const {
    return ctx_.pub.ShopName;
}

} // namespace lms
