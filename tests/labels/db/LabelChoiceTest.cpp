// "打印图书标签…" and "打印读者证…": which books or readers get labels, read from the stored rows,
// and the label screen they go on to.
#include "LabelFixture.h"

#include "core/DateRules.h"
#include "core/screens/Tfrm_Main.h"
#include "labels/LabelScreens.h"
#include "support/FailingStatements.h"

namespace lms::test {
namespace {

class LabelChoice : public LabelScreenTest {
protected:
    LabelChoice() : main(*shop.dm, prompter, clock, host), labels(ctx, main) {
        main.setFlagEnabled(1, true);
        main.setFlagEnabled(6, true);
        for (const char* id : {"B3", "B1", "B2"})
            addBook(shop.dm->db(), QString::fromUtf8(id),
                    {{QStringLiteral("图书名称"), QStringLiteral("书") + QString::fromUtf8(id)},
                     {QStringLiteral("图书类型"), QString::fromUtf8(id) == QStringLiteral("B2")
                                                      ? QStringLiteral("漫画")
                                                      : QStringLiteral("小说")}});
    }

    // Runs the menu item with the chooser set by `choose`; the ids the label screen got, or
    // nothing when it was not shown.
    std::optional<QStringList> printFromMenu(const char* item,
                                             std::function<void(Tfrm_ChooseLabels&)> choose) {
        host.script(QStringLiteral("frm_ChooseLabels"), [choose](FormModel& screen) {
            choose(static_cast<Tfrm_ChooseLabels&>(screen));
        });
        std::optional<QStringList> ids;
        host.script(QStringLiteral("frm_PrintLabels"), [&ids](FormModel& screen) {
            ids = QStringList();
            for (const Labels::LabelContent& label :
                 static_cast<Tfrm_PrintLabels&>(screen).labels())
                *ids << label.id;
        });
        main.run(QString::fromUtf8(item) + QStringLiteral("Click"));
        return ids;
    }

    Tfrm_Main main;
    LabelScreens labels;
};

TEST_F(LabelChoice, BookLabelsOfAllBooksOfOneTypeOrOfOneBook) {
    struct Case {
        const char* scope;
        const char* id;
        QStringList printed;
    };
    const Case cases[] = {
        {"全部图书", "", {"B1", "B2", "B3"}},
        {"小说", "", {"B1", "B3"}},
        {"漫画", "", {"B2"}},
        {"全部图书", " B3 ", {"B3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scope) + c.id);
        const auto printed = printFromMenu("BookLabelMenu", [&c](Tfrm_ChooseLabels& choice) {
            EXPECT_EQ(choice.scope.items().value(0), QStringLiteral("全部图书"));
            choice.scope.setValue(QString::fromUtf8(c.scope));
            choice.id.type(QString::fromUtf8(c.id));
            choice.run(QStringLiteral("Button1Click"));
        });
        EXPECT_EQ(printed, std::optional(c.printed));
    }
    EXPECT_TRUE(prompter.boxes().empty());
    const QList<Labels::LabelContent>& shown = labels.bookLabels().labels();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, QStringLiteral("书B3"));
    EXPECT_EQ(shown[0].subtitle, QStringLiteral("小说"));
}

TEST_F(LabelChoice, NothingToPrintSaysSoAndStaysOnTheChooser) {
    const auto none = printFromMenu("BookLabelMenu", [](Tfrm_ChooseLabels& choice) {
        choice.scope.setValue(QStringLiteral("杂志"));
        choice.run(QStringLiteral("Button1Click"));
        EXPECT_EQ(choice.focusedField(), QStringLiteral("id"));
    });
    EXPECT_FALSE(none);
    EXPECT_EQ(prompter.single(), QStringLiteral("没有符合条件的图书!"));
    prompter.clear();
    const auto missing = printFromMenu("BookLabelMenu", [](Tfrm_ChooseLabels& choice) {
        choice.id.type(QStringLiteral("B9"));
        choice.run(QStringLiteral("Button1Click"));
    });
    EXPECT_FALSE(missing);
    EXPECT_EQ(prompter.single(), QStringLiteral("图书编号为：B9的图书在系统中不存在！\r\r"
                                                "请输入新的图书编号。"));
    prompter.clear();
    const auto cancelled = printFromMenu("BookLabelMenu", [](Tfrm_ChooseLabels& choice) {
        choice.run(QStringLiteral("Button2Click"));
    });
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(LabelChoice, AFailingDatabaseSaysSoAndPrintsNothing) {
    FailingStatements failing(shop.dm->db(), QStringLiteral("FROM 图书 "));
    const auto printed = printFromMenu("BookLabelMenu", [](Tfrm_ChooseLabels& choice) {
        choice.run(QStringLiteral("Button1Click"));
    });
    EXPECT_FALSE(printed);
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
}

TEST_F(LabelChoice, ReaderCardsShowTheValidityDateOrPayByTheDay) {
    Database& db = shop.dm->db();
    addReader(db, QStringLiteral("R2"),
              {{QStringLiteral("读者姓名"), QStringLiteral("张三")},
               {QStringLiteral("读者类型"), QStringLiteral("包年")},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2027, 1, 31, 23, 59))}});
    addReader(db, QStringLiteral("R1"),
              {{QStringLiteral("读者姓名"), QStringLiteral("李四")},
               {QStringLiteral("读者类型"), QStringLiteral("按日租借")},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 14, 10, 0))}});
    const auto all = printFromMenu("ReaderCardMenu", [](Tfrm_ChooseLabels& choice) {
        EXPECT_EQ(choice.scope.items(),
                  (QStringList{QStringLiteral("全部读者"), QStringLiteral("包月"),
                               QStringLiteral("包季度"), QStringLiteral("包年"),
                               QStringLiteral("按日租借")}));
        choice.run(QStringLiteral("Button1Click"));
    });
    EXPECT_EQ(all, std::optional(QStringList{QStringLiteral("R1"), QStringLiteral("R2")}));
    const QList<Labels::LabelContent>& cards = labels.readerCards().labels();
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards[0].kind, Labels::LabelContent::Kind::ReaderCard);
    EXPECT_EQ(cards[0].title, QStringLiteral("李四"));
    EXPECT_EQ(cards[0].subtitle, QStringLiteral("按日租借"));
    EXPECT_EQ(cards[0].validity, QStringLiteral("按日租借"));
    EXPECT_EQ(cards[1].title, QStringLiteral("张三"));
    EXPECT_EQ(cards[1].subtitle, QStringLiteral("包年"));
    EXPECT_EQ(cards[1].validity, QStringLiteral("2027-01-31"));

    const auto yearly = printFromMenu("ReaderCardMenu", [](Tfrm_ChooseLabels& choice) {
        choice.scope.setValue(QStringLiteral("包年"));
        choice.run(QStringLiteral("Button1Click"));
    });
    EXPECT_EQ(yearly, std::optional(QStringList{QStringLiteral("R2")}));
    const auto one = printFromMenu("ReaderCardMenu", [](Tfrm_ChooseLabels& choice) {
        choice.id.type(QStringLiteral("R1"));
        choice.keyDown(QStringLiteral("id"), kEnterKey);
    });
    EXPECT_EQ(one, std::optional(QStringList{QStringLiteral("R1")}));
    EXPECT_TRUE(prompter.boxes().empty());
}

// The shop's name, as the settings store it, is on every card, from the menu and from a
// listing; with none stored, the line stays empty.
TEST_F(LabelChoice, CardsCarryTheStoredShopsName) {
    addReader(shop.dm->db(), QStringLiteral("R1"));
    const auto cardNames = [this] {
        QStringList names;
        host.script(QStringLiteral("frm_PrintLabels"), [](FormModel&) {});
        labels.printCards({QStringLiteral("R1")});
        for (const Labels::LabelContent& card : labels.readerCards().labels())
            names << card.shopName;
        return names;
    };
    EXPECT_EQ(cardNames(), QStringList{QString()});

    shop.pub.ShopName = QStringLiteral("书香租书屋");
    ASSERT_TRUE(shop.dm->WriteSysSet());
    shop.pub.ShopName.clear();
    ASSERT_TRUE(shop.dm->ReadSysSet());
    EXPECT_EQ(cardNames(), QStringList{QStringLiteral("书香租书屋")});
    const auto printed = printFromMenu("ReaderCardMenu", [](Tfrm_ChooseLabels& choice) {
        choice.run(QStringLiteral("Button1Click"));
    });
    EXPECT_EQ(printed, std::optional(QStringList{QStringLiteral("R1")}));
    ASSERT_EQ(labels.readerCards().labels().size(), 1);
    EXPECT_EQ(labels.readerCards().labels().front().shopName, QStringLiteral("书香租书屋"));
}

TEST_F(LabelChoice, CardsOfReadersGoneMeanwhileAreLeftOut) {
    addReader(shop.dm->db(), QStringLiteral("R1"));
    std::optional<QStringList> shown;
    host.script(QStringLiteral("frm_PrintLabels"), [&shown](FormModel& screen) {
        shown = QStringList();
        for (const Labels::LabelContent& card : static_cast<Tfrm_PrintLabels&>(screen).labels())
            *shown << card.id;
    });
    labels.printCards({QStringLiteral("R9"), QStringLiteral("R1")});
    EXPECT_EQ(shown, std::optional(QStringList{QStringLiteral("R1")}));
    labels.printCards({QStringLiteral("R9")});
    EXPECT_EQ(prompter.single(), QStringLiteral("没有符合条件的读者!"));
}

} // namespace
} // namespace lms::test
