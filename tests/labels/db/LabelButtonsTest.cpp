// The label buttons of the other screens: the book or reader just registered, and the rows of
// the two listings (the one the clerk chose, else every row listed).
#include "LabelFixture.h"

#include "books/Tfrm_TJBook.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallReader.h"
#include "readers/Tfrm_TJReader.h"

namespace lms::test {
namespace {

class LabelButtons : public LabelScreenTest {
protected:
    QList<QList<Labels::LabelContent>> bookPrints;
    QList<QStringList> cardPrints;
    const Labels::PrintBookLabels printBooks = [this](const QList<Labels::LabelContent>& l) {
        bookPrints << l;
    };
    const Labels::PrintReaderCards printCards = [this](const QStringList& ids) {
        cardPrints << ids;
    };
};

TEST_F(LabelButtons, RegistrationPrintsTheStoredBookOnlyUntilTheNextIdIsTyped) {
    Tfrm_TJBook screen(ctx);
    screen.setLabelPrinting(printBooks);
    screen.FormShow();
    EXPECT_FALSE(screen.Button4.isEnabled());
    screen.run(QStringLiteral("Button4Click"));
    EXPECT_TRUE(bookPrints.isEmpty());

    screen.id.type(QStringLiteral(" B7"));
    screen.tsmz.type(QStringLiteral(" 三国演义 "));
    screen.tsrx.setValue(QStringLiteral("历史"));
    screen.tsjg.type(QStringLiteral("12"));
    screen.run(QStringLiteral("Button1Click"));
    ASSERT_EQ(prompter.single(), QStringLiteral("添加图书成功!"));
    EXPECT_TRUE(screen.Button4.isEnabled());
    screen.run(QStringLiteral("Button4Click"));
    ASSERT_EQ(bookPrints.size(), 1);
    ASSERT_EQ(bookPrints[0].size(), 1);
    EXPECT_EQ(bookPrints[0][0].id, QStringLiteral("B7"));
    EXPECT_EQ(bookPrints[0][0].title, QStringLiteral(" 三国演义 "));
    EXPECT_EQ(bookPrints[0][0].subtitle, QStringLiteral("历史"));

    screen.id.type(QStringLiteral("B"));
    EXPECT_FALSE(screen.Button4.isEnabled());
    screen.run(QStringLiteral("Button4Click"));
    EXPECT_EQ(bookPrints.size(), 1);
}

TEST_F(LabelButtons, RegistrationPrintsTheStoredReadersCardUntilTheNextIdIsTyped) {
    Tfrm_TJReader screen(ctx);
    screen.setCardPrinting(printCards);
    screen.FormShow();
    EXPECT_FALSE(screen.Button4.isEnabled());
    screen.ID.type(QStringLiteral(" R5 "));
    screen.xm.type(QStringLiteral("王五"));
    screen.run(QStringLiteral("Button1Click"));
    ASSERT_EQ(prompter.single(), QStringLiteral("添加读者成功!"));
    ASSERT_TRUE(screen.Button4.isEnabled());
    screen.run(QStringLiteral("Button4Click"));
    EXPECT_EQ(cardPrints, QList<QStringList>{{QStringLiteral("R5")}});

    // A showing of the screen starts without one.
    screen.FormShow();
    EXPECT_FALSE(screen.Button4.isEnabled());
}

class ListingLabels : public LabelButtons {
protected:
    ListingLabels() {
        for (const char* id : {"B1", "B2", "B3"})
            addBook(shop.dm->db(), QString::fromUtf8(id),
                    {{QStringLiteral("图书名称"), QStringLiteral("书") + QString::fromUtf8(id)},
                     {QStringLiteral("图书类型"), QStringLiteral("文学")}});
        for (const char* id : {"R1", "R2"})
            addReader(shop.dm->db(), QString::fromUtf8(id));
    }
    static QStringList idsOf(const QList<Labels::LabelContent>& labels) {
        QStringList ids;
        for (const Labels::LabelContent& label : labels)
            ids << label.id;
        return ids;
    }
};

TEST_F(ListingLabels, TheBookListingPrintsEveryListedRowOrTheOneTheClerkChose) {
    Tfrm_QallBook listing(ctx);
    listing.setLabelPrinting(printBooks);
    listing.FormShow();
    ASSERT_EQ(listing.results().rowCount(), 3);
    EXPECT_TRUE(listing.Button5.isEnabled());
    listing.run(QStringLiteral("Button5Click"));
    ASSERT_EQ(bookPrints.size(), 1);
    QStringList listed;
    for (int row = 0; row < 3; ++row)
        listed << listing.results().cellText(row, 1);
    EXPECT_EQ(idsOf(bookPrints[0]), listed);
    EXPECT_EQ(bookPrints[0][0].title, QStringLiteral("书") + listed[0]);
    EXPECT_EQ(bookPrints[0][0].subtitle, QStringLiteral("文学"));

    listing.field(QStringLiteral("StringGrid1")).setValue(1);
    listing.run(QStringLiteral("Button5Click"));
    ASSERT_EQ(bookPrints.size(), 2);
    EXPECT_EQ(idsOf(bookPrints[1]), QStringList{listed[1]});

    // A new listing forgets the choice.
    listing.run(QStringLiteral("Button2Click"));
    listing.run(QStringLiteral("Button5Click"));
    ASSERT_EQ(bookPrints.size(), 3);
    EXPECT_EQ(bookPrints[2].size(), 3);
}

TEST_F(ListingLabels, TheButtonRestsWhileTheListingIsIncomplete) {
    Tfrm_QallBook listing(ctx);
    listing.setLabelPrinting(printBooks);
    bool restedMeanwhile = false;
    host.whileWorking = [&](FormModel&) {
        restedMeanwhile = !listing.Button5.isEnabled();
        listing.run(QStringLiteral("Button5Click"));
        return true;
    };
    for (int i = 4; i < 400; ++i)
        addBook(shop.dm->db(), QStringLiteral("X%1").arg(i));
    listing.FormShow();
    EXPECT_TRUE(restedMeanwhile);
    EXPECT_TRUE(bookPrints.isEmpty());
    EXPECT_TRUE(listing.Button5.isEnabled());
}

TEST_F(ListingLabels, TheReaderListingHandsTheListedOrChosenReadersIds) {
    Tfrm_QallReader listing(ctx);
    listing.setCardPrinting(printCards);
    listing.FormShow();
    ASSERT_EQ(listing.results().rowCount(), 2);
    listing.run(QStringLiteral("Button5Click"));
    listing.field(QStringLiteral("StringGrid1")).setValue(0);
    listing.run(QStringLiteral("Button5Click"));
    const QString first = listing.results().cellText(0, 1);
    const QString second = listing.results().cellText(1, 1);
    EXPECT_EQ(cardPrints, (QList<QStringList>{{first, second}, {first}}));
}

} // namespace
} // namespace lms::test
