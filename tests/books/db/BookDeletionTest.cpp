// Deleting a book: a lent book cannot go, a damaged or lost one can, and the row goes with its
// log record or not at all.
#include "BookFixture.h"

#include "books/Tfrm_SCBook.h"
#include "core/GbkText.h"

namespace lms::test {
namespace {

const QString kDbError = QStringLiteral("连接数据库出错!");

class BookDeletion : public BookScreenTest {
protected:
    BookDeletion() : screen(ctx) { screen.FormShow(); }

    Field& f(const char* name) { return screen.field(QString::fromUtf8(name)); }

    void lookUp(const QString& id) {
        f("tsID").type(QString());
        f("tsID").type(id);
        if (Gbk::byteLength(id) != shop.pub.BookIdMaxLen)
            screen.run(QStringLiteral("CheckisHavebookClick"));
    }
    bool deletable() { return f("Button1").isEnabled(); }

    Tfrm_SCBook screen;
};

TEST_F(BookDeletion, ALentBookIsShownButCannotBeDeleted) {
    addBook(QStringLiteral("B001"), {{QStringLiteral("当前状态"), QStringLiteral("已借出")}});
    lookUp(QStringLiteral("B001"));
    EXPECT_EQ(prompter.single(),
              QStringLiteral("图书编号为：B001的图书当前状态为：已借出 不能删除！") + QChar(13) +
                  QChar(13) + QStringLiteral("请先归还图书之后再删除！"));
    EXPECT_FALSE(deletable());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tsID"));
    EXPECT_EQ(f("tsmz").text(), QStringLiteral("三国演义"));
    EXPECT_EQ(f("tsrx").text(), QStringLiteral("小说"));
    EXPECT_EQ(f("tszjcs").number(), 3);
    EXPECT_EQ(f("nnsj").value().toDateTime(), at(2026, 1, 2, 11, 0));
    EXPECT_EQ(f("tsztszq").value().toDateTime(), at(2026, 2, 1, 10, 0));
    prompter.clear();
    screen.Button1Click();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("请先在图书编号输入框中输入图书编号查询后，当充许删除时才能删除！"));
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 1);
}

TEST_F(BookDeletion, ABookOnTheShelfDamagedOrOfAnUnknownStateIsDeletedWithItsLogRecord) {
    const char* states[] = {"未借出", "破损遗失", "别的"};
    int n = 0;
    for (const char* state : states) {
        SCOPED_TRACE(state);
        const QString id = QStringLiteral("D%1").arg(++n);
        addBook(id, {{QStringLiteral("当前状态"), QString::fromUtf8(state)}});
        addBook(id + QStringLiteral("X"));
        prompter.clear();
        lookUp(id);
        EXPECT_TRUE(prompter.boxes().empty());
        ASSERT_TRUE(deletable());
        EXPECT_EQ(screen.focusedField(), QStringLiteral("Button1"));
        screen.run(QStringLiteral("Button1Click"));
        EXPECT_EQ(prompter.single(), QStringLiteral("删除图书成功!"));
        EXPECT_FALSE(bookColumn(id, QStringLiteral("图书编号")).isValid());
        EXPECT_TRUE(bookColumn(id + QStringLiteral("X"), QStringLiteral("图书编号")).isValid());
        EXPECT_EQ(logExplanations().last(),
                  logLine(QStringLiteral("删除图书"), QStringLiteral(" 被删除的图书编号：") + id));
        EXPECT_FALSE(deletable());
        EXPECT_EQ(f("tsID").text(), QString());
    }
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 3);
}

TEST_F(BookDeletion, ASecondLookupReplacesTheLoadedBook) {
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B002"), {{QStringLiteral("当前状态"), QStringLiteral("已借出")}});
    lookUp(QStringLiteral("B001"));
    ASSERT_TRUE(deletable());
    lookUp(QStringLiteral("B002"));
    EXPECT_FALSE(deletable());
    screen.Button1Click();
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 2);
    lookUp(QStringLiteral("Q"));
    EXPECT_EQ(prompter.lastBox().text, QStringLiteral("图书编号为：Q的图书在系统中不存在！") +
                                           QChar(13) + QChar(13) +
                                           QStringLiteral("请输入新的图书编号。"));
    EXPECT_EQ(f("tsmz").text(), QString());
}

TEST_F(BookDeletion, ADatabaseFailureKeepsTheBookAndWritesNoRecord) {
    addBook(QStringLiteral("B001"));
    lookUp(QStringLiteral("B001"));
    for (const char* failing : {"DELETE FROM 图书", "INSERT INTO 日志"}) {
        SCOPED_TRACE(failing);
        prompter.clear();
        FailingStatements failure(shop.dm->db(), QString::fromUtf8(failing));
        screen.run(QStringLiteral("Button1Click"));
        EXPECT_EQ(prompter.single(), kDbError);
        EXPECT_EQ(shop.count(QStringLiteral("图书")), 1);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
        EXPECT_TRUE(deletable());
    }
    prompter.clear();
    {
        FailingStatements failure(shop.dm->db(), QStringLiteral("FROM 图书"));
        lookUp(QStringLiteral("B001"));
    }
    EXPECT_EQ(prompter.single(), kDbError);
    EXPECT_FALSE(deletable()) << "a failed lookup loads nothing";
}

} // namespace
} // namespace lms::test
