// The book types on the parameters screen: listing, adding exactly what was typed, refusing
// duplicates, deleting with a confirmation.
#include "AdminFixture.h"
#include "admin/Tfrm_CSSet.h"

namespace lms {
namespace {

using test::AdminTest;

class BookTypes : public AdminTest {
protected:
    BookTypes() { screen.FormShow(); }

    QStringList storedTypes() {
        Query q(db(), QStringLiteral("SELECT 图书类型名称 FROM 图书类型 ORDER BY rowid"));
        QStringList names;
        while (q.next())
            names << q.text(0);
        return names;
    }
    void add(const std::optional<QString>& answer) {
        prompter.answerInput(answer);
        screen.Button4Click();
    }
    Field& tsrx() { return screen.field(QStringLiteral("tsrx")); }

    Tfrm_CSSet screen{ctx};
};

TEST_F(BookTypes, TheListShowsTheStoredTypesInOrderWithTheFirstSelected) {
    EXPECT_EQ(tsrx().items(), storedTypes());
    EXPECT_EQ(tsrx().items().size(), 7);
    EXPECT_EQ(tsrx().text(), QStringLiteral("小说"));
}

TEST_F(BookTypes, ANewTypeIsStoredExactlyAsTypedWithItsBlanks) {
    add(QStringLiteral("  诗歌 "));
    EXPECT_EQ(prompter.single(), QStringLiteral("添加新图书类型成功!"));
    EXPECT_EQ(storedTypes().last(), QStringLiteral("  诗歌 "));
    EXPECT_EQ(tsrx().items().last(), QStringLiteral("  诗歌 "));
    EXPECT_EQ(tsrx().text(), QStringLiteral("小说"));
    EXPECT_EQ(logRecords(),
              QStringList{QStringLiteral("添加新图书类型|admin|图书类型名称：  诗歌 ")});
}

TEST_F(BookTypes, AnEmptyOrCancelledAnswerEndsSilently) {
    add(QString());
    add(std::nullopt);
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(storedTypes().size(), 7);
    EXPECT_TRUE(logRecords().isEmpty());
}

TEST_F(BookTypes, ADuplicateIsRefusedButADifferentlySpacedNameIsNot) {
    add(QStringLiteral("历史"));
    EXPECT_EQ(prompter.single(), QStringLiteral("此图书类型已存在！"));
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Error);
    EXPECT_EQ(storedTypes().size(), 7);
    EXPECT_TRUE(logRecords().isEmpty());
    prompter.clear();
    add(QStringLiteral("历史 "));
    EXPECT_EQ(prompter.single(), QStringLiteral("添加新图书类型成功!"));
}

TEST_F(BookTypes, WhenTheDuplicateCheckFailsTheUniqueIndexStillRefuses) {
    faults.failOn(QStringLiteral("SELECT 1 FROM 图书类型"));
    add(QStringLiteral("科技"));
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("连接数据库出错!"), QStringLiteral("连接数据库出错!")}));
    EXPECT_EQ(storedTypes().size(), 7);
    EXPECT_TRUE(logRecords().isEmpty());
}

// Odd names reach the database as plain values and touch no other row.
TEST_F(BookTypes, OddNamesAreStoredAsGiven) {
    const QStringList names = {QStringLiteral("O'Reilly"),
                               QStringLiteral("100%"),
                               QStringLiteral("%"),
                               QStringLiteral("x' OR '1'='1"),
                               QStringLiteral("'); DELETE FROM 图书类型; --"),
                               QStringLiteral("\"quoted\""),
                               QString(10000, QLatin1Char('w')),
                               QStringLiteral("漫画😀📚"),
                               QStringLiteral("\t")};
    QStringList expected = storedTypes();
    for (const QString& name : names) {
        prompter.clear();
        add(name);
        EXPECT_EQ(prompter.single(), QStringLiteral("添加新图书类型成功!"))
            << name.left(20).toStdString();
        expected << name;
    }
    EXPECT_EQ(storedTypes(), expected);
    EXPECT_EQ(tsrx().items(), expected);
    // The second apostrophe name is now a duplicate like any other.
    prompter.clear();
    add(QStringLiteral("x' OR '1'='1"));
    EXPECT_EQ(prompter.single(), QStringLiteral("此图书类型已存在！"));
}

TEST_F(BookTypes, DeletingNeedsASelectionAndAConfirmation) {
    tsrx().setValue(QString());
    screen.Button5Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("请先选择要删除的图书类型!"));

    prompter.clear();
    tsrx().setValue(QStringLiteral("历史"));
    prompter.answer(false);
    screen.Button5Click();
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(
        prompter.box(0).text,
        QStringLiteral("删除图书类型会影响系统中图书的分类，\r\r您确实要删除图书类型： 历史 吗？"));
    EXPECT_EQ(prompter.box(0).icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.box(0).buttons, Prompter::Buttons::OkCancel);
    EXPECT_TRUE(storedTypes().contains(QStringLiteral("历史")));

    prompter.clear();
    prompter.answer(true);
    screen.Button5Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("图书类型:历史已成功删除!"));
    EXPECT_FALSE(storedTypes().contains(QStringLiteral("历史")));
    EXPECT_EQ(tsrx().text(), QStringLiteral("小说"));
    EXPECT_EQ(logRecords(),
              QStringList{QStringLiteral("删除图书类型|admin|被删除的图书类型：历史")});
}

TEST_F(BookTypes, BooksKeepTheNameOfADeletedType) {
    Query(db(), QStringLiteral("INSERT INTO 图书 (图书编号, 图书类型) VALUES ('B1', '漫画')"))
        .exec();
    tsrx().setValue(QStringLiteral("漫画"));
    prompter.answer(true);
    screen.Button5Click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT 图书类型 FROM 图书")).toString(),
              QStringLiteral("漫画"));
}

TEST_F(BookTypes, DeletingTheLastTypeLeavesAnEmptyListWithNothingSelected) {
    while (!tsrx().items().isEmpty()) {
        tsrx().setItemIndex(0);
        prompter.answer(true);
        screen.Button5Click();
    }
    EXPECT_TRUE(storedTypes().isEmpty());
    EXPECT_EQ(tsrx().text(), QString());
    EXPECT_EQ(tsrx().itemIndex(), -1);
    prompter.clear();
    screen.Button5Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("请先选择要删除的图书类型!"));
}

TEST_F(BookTypes, AFailedDeleteLeavesTheTypeAndWritesNoLog) {
    tsrx().setValue(QStringLiteral("杂志"));
    prompter.answer(true);
    faults.failOn(QStringLiteral("INSERT INTO 日志"));
    screen.Button5Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_TRUE(storedTypes().contains(QStringLiteral("杂志")));
    EXPECT_TRUE(logRecords().isEmpty());
}

} // namespace
} // namespace lms
