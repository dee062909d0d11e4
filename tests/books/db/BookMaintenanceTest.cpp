// Changing a book: the lookup, type and state changes asked in order, the price that must be a
// number, the loaded id that cannot be changed, and a change stored whole or not at all.
#include "BookFixture.h"

#include "books/Tfrm_GGBook.h"
#include "core/GbkText.h"

namespace lms::test {
namespace {

const QString kDbError = QStringLiteral("连接数据库出错!");
const QString kTypeQuestion =
    QStringLiteral("修改图书类型会影响图书在系统中的图书分类！您确定要修改吗？");
const QString kStateQuestion =
    QStringLiteral("修改图书状态会影响图书借阅、归还及查询系统对图书的判断！您确定要修改吗？");
const QString kDone = QStringLiteral("图书信息更改成功!");

class BookMaintenance : public BookScreenTest {
protected:
    BookMaintenance() : screen(ctx) { screen.FormShow(); }

    Field& f(const char* name) { return screen.field(QString::fromUtf8(name)); }

    void lookUp(const QString& id) {
        f("id").type(QString());
        f("id").type(id);
        if (Gbk::byteLength(id) != shop.pub.BookIdMaxLen)
            screen.run(QStringLiteral("Button3Click"));
    }
    void change() { screen.run(QStringLiteral("Button1Click")); }

    Tfrm_GGBook screen;
};

TEST_F(BookMaintenance, AFullIdLooksItselfUpAndShowsTheBook) {
    addBook(QStringLiteral("B001"), {{QStringLiteral("图书类型"), QStringLiteral("历史")},
                                     {QStringLiteral("备注"), QStringLiteral("旧\r\n书")},
                                     {QStringLiteral("当前状态"), QStringLiteral("破损遗失")}});
    f("id").type(QStringLiteral("B001"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(f("tsmz").text(), QStringLiteral("三国演义"));
    EXPECT_EQ(f("tsrx").text(), QStringLiteral("历史"));
    EXPECT_EQ(f("tszz").text(), QStringLiteral("罗贯中"));
    EXPECT_EQ(f("tsjg").text(), QStringLiteral("25.5"));
    EXPECT_EQ(f("tsfj").text(), QStringLiteral("光盘"));
    EXPECT_EQ(f("tsbz").text(), QStringLiteral("旧\r\n书"));
    EXPECT_EQ(f("tszt").text(), QStringLiteral("破损遗失"));
}

// The id limit was lowered while the screen held a longer id: "<<" and "更改" act on the id shown.
TEST_F(BookMaintenance, AnIdLongerThanALoweredLimitIsTheOneActedOn) {
    addBook(QStringLiteral("B000"), {{QStringLiteral("图书名称"), QStringLiteral("短")}});
    addBook(QStringLiteral("B0000001"), {{QStringLiteral("图书名称"), QStringLiteral("长")}});
    f("id").setMaxBytes(8);
    f("id").type(QStringLiteral("B0000001"));
    f("id").setMaxBytes(4);
    screen.run(QStringLiteral("Button3Click"));
    EXPECT_EQ(f("tsmz").text(), QStringLiteral("长"));
    f("tszz").type(QStringLiteral("新作者"));
    change();
    EXPECT_EQ(prompter.lastText(), kDone);
    EXPECT_EQ(bookColumn(QStringLiteral("B0000001"), QStringLiteral("作者")).toString(),
              QStringLiteral("新作者"));
    EXPECT_EQ(bookColumn(QStringLiteral("B000"), QStringLiteral("作者")).toString(),
              QStringLiteral("罗贯中"));
}

TEST_F(BookMaintenance, ChangingOnlyTheRemarkAsksNothingAndKeepsTheState) {
    addBook(QStringLiteral("B001"), {{QStringLiteral("备注"), QStringLiteral("旧\r\n书")}});
    lookUp(QStringLiteral("B001"));
    f("tsmz").type(QStringLiteral("  水浒传 "));
    f("tszz").type(QStringLiteral(" 施耐庵 "));
    f("tsjg").type(QStringLiteral(" 30 "));
    f("tsfj").type(QStringLiteral(" 无 "));
    change();
    EXPECT_EQ(prompter.single(), kDone);
    const QString id = QStringLiteral("B001");
    EXPECT_EQ(bookColumn(id, QStringLiteral("图书名称")).toString(), QStringLiteral("水浒传"));
    EXPECT_EQ(bookColumn(id, QStringLiteral("作者")).toString(), QStringLiteral("施耐庵"));
    EXPECT_EQ(bookColumn(id, QStringLiteral("价格")).toString(), QStringLiteral("30"));
    EXPECT_EQ(bookColumn(id, QStringLiteral("附件")).toString(), QStringLiteral("无"));
    EXPECT_EQ(bookColumn(id, QStringLiteral("备注")).toString(), QStringLiteral("旧书"));
    EXPECT_EQ(bookColumn(id, QStringLiteral("当前状态")).toString(), QStringLiteral("未借出"));
    EXPECT_EQ(bookDate(id, QStringLiteral("状态设置期")), at(2026, 2, 1, 10, 0));
    EXPECT_EQ(bookDate(id, QStringLiteral("录入时间")), at(2026, 1, 2, 11, 0));
    EXPECT_EQ(logExplanations(), QStringList{logLine(QStringLiteral("更改图书信息"),
                                                     QStringLiteral("被更改的图书编号：B001"))});
    EXPECT_EQ(f("id").text(), QString());
    EXPECT_EQ(f("tszt").text(), QStringLiteral("未借出"));
    prompter.clear();
    change();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("请先在图书编号输入框中输入图书编号查询后再更改！"));
}

TEST_F(BookMaintenance, TypeAndStateChangesAreAskedTypeFirstAndNoWritesNothing) {
    addBook(QStringLiteral("B001"));
    struct Case {
        std::vector<bool> answers;
        QStringList asked;
        bool stored;
        const char* focus;
    };
    const Case cases[] = {
        {{false}, {kTypeQuestion}, false, "tsrx"},
        {{true, false}, {kTypeQuestion, kStateQuestion}, false, "tszt"},
        {{true, true}, {kTypeQuestion, kStateQuestion, kDone}, true, "id"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked.size());
        lookUp(QStringLiteral("B001"));
        f("tsrx").setItemIndex(3);
        f("tszt").setItemIndex(2);
        prompter.clear();
        for (bool answer : c.answers)
            prompter.answer(answer);
        change();
        EXPECT_EQ(prompter.texts(), c.asked);
        EXPECT_EQ(prompter.box(0).buttons, Prompter::Buttons::YesNo);
        EXPECT_EQ(screen.focusedField(), QString::fromUtf8(c.focus));
        EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("图书类型")).toString(),
                  c.stored ? QStringLiteral("科技") : QStringLiteral("小说"));
        EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("当前状态")).toString(),
                  c.stored ? QStringLiteral("破损遗失") : QStringLiteral("未借出"));
        EXPECT_EQ(bookDate(QStringLiteral("B001"), QStringLiteral("状态设置期")),
                  c.stored ? clock.now() : at(2026, 2, 1, 10, 0));
        EXPECT_EQ(shop.count(QStringLiteral("日志")), c.stored ? 1 : 0);
    }
}

TEST_F(BookMaintenance, ChoosingTheSameStateAgainAsksNothing) {
    addBook(QStringLiteral("B001"), {{QStringLiteral("当前状态"), QStringLiteral("破损遗失")}});
    lookUp(QStringLiteral("B001"));
    f("tszt").setItemIndex(0);
    f("tszt").setItemIndex(2);
    change();
    EXPECT_EQ(prompter.single(), kDone);
    EXPECT_EQ(bookDate(QStringLiteral("B001"), QStringLiteral("状态设置期")),
              at(2026, 2, 1, 10, 0));
}

TEST_F(BookMaintenance, ABookWhoseTypeWasDeletedCannotBeStoredUntilATypeIsPicked) {
    addBook(QStringLiteral("B001"), {{QStringLiteral("图书类型"), QStringLiteral("旧类型")}});
    lookUp(QStringLiteral("B001"));
    EXPECT_EQ(f("tsrx").itemIndex(), -1);
    change();
    EXPECT_EQ(prompter.single(), kDbError);
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    prompter.clear();
    f("tsrx").setItemIndex(0);
    prompter.answer(true);
    change();
    EXPECT_EQ(prompter.texts(), (QStringList{kTypeQuestion, kDone}));
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("图书类型")).toString(),
              QStringLiteral("小说"));
}

TEST_F(BookMaintenance, RequiredFieldsAndAPriceThatIsNoNumberWriteNothing) {
    addBook(QStringLiteral("B001"));
    lookUp(QStringLiteral("B001"));
    struct Case {
        const char *title, *price;
        QString message;
        const char* focus;
    };
    const Case cases[] = {
        {" ", "1", QStringLiteral("请输入图书名称！"), "tsmz"},
        {"T", "  ", QStringLiteral("请输入图书价格！"), "tsjg"},
        {"T", "abc", QStringLiteral("输入错误！请输入正确有效的数字。"), "tsjg"},
        {"T", "-", QStringLiteral("输入错误！请输入正确有效的数字。"), "tsjg"},
        {"T", "1e400", QStringLiteral("输入错误！请输入正确有效的数字。"), "tsjg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + "/" + c.price);
        f("tsmz").type(QString::fromUtf8(c.title));
        f("tsjg").type(QString::fromUtf8(c.price));
        prompter.clear();
        change();
        EXPECT_EQ(prompter.single(), c.message);
        EXPECT_EQ(screen.focusedField(), QString::fromUtf8(c.focus));
        EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("价格")).toString(),
                  QStringLiteral("25.5"));
    }
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
}

TEST_F(BookMaintenance, AnEditedIdIsPutBackAndLookedUpAfresh) {
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B2"));
    lookUp(QStringLiteral("B001"));
    f("tsmz").type(QStringLiteral("改了"));
    f("id").type(QStringLiteral("B2"));
    change();
    EXPECT_EQ(prompter.single(), QStringLiteral("图书编号不能更改！原图书编号为：B001 "
                                                "系统自动改回原来的编号。"));
    EXPECT_EQ(f("id").text(), QStringLiteral("B001"));
    EXPECT_EQ(f("tsmz").text(), QStringLiteral("三国演义"));
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
}

TEST_F(BookMaintenance, AnUnknownIdResetsTheScreenAndUnloadsTheBook) {
    addBook(QStringLiteral("B001"));
    lookUp(QStringLiteral("B001"));
    lookUp(QStringLiteral("Z"));
    EXPECT_EQ(prompter.single(), QStringLiteral("图书编号为：Z的图书在系统中不存在！") + QChar(13) +
                                     QChar(13) + QStringLiteral("请输入新的图书编号。"));
    EXPECT_EQ(f("tsmz").text(), QString());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("id"));
    prompter.clear();
    f("tsmz").type(QStringLiteral("T"));
    f("tsjg").type(QStringLiteral("1"));
    change();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("请先在图书编号输入框中输入图书编号查询后再更改！"));
}

TEST_F(BookMaintenance, ADatabaseFailureWritesNothingAndKeepsTheBookLoaded) {
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B002"));
    lookUp(QStringLiteral("B001"));
    f("tsmz").type(QStringLiteral("x' WHERE 1=1; --"));
    for (const char* failing : {"UPDATE 图书", "INSERT INTO 日志"}) {
        SCOPED_TRACE(failing);
        prompter.clear();
        FailingStatements failure(shop.dm->db(), QString::fromUtf8(failing));
        change();
        EXPECT_EQ(prompter.single(), kDbError);
        EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("图书名称")).toString(),
                  QStringLiteral("三国演义"));
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    }
    prompter.clear();
    change();
    EXPECT_EQ(prompter.single(), kDone);
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("图书名称")).toString(),
              QStringLiteral("x' WHERE 1=1; --"));
    EXPECT_EQ(bookColumn(QStringLiteral("B002"), QStringLiteral("图书名称")).toString(),
              QStringLiteral("三国演义"));
}

} // namespace
} // namespace lms::test
