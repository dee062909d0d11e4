// Registering books: the book types offered, the id check, the price that must be a number, and
// the book row stored with its log record or not at all.
#include "BookFixture.h"

#include "books/Tfrm_TJBook.h"

namespace lms::test {
namespace {

const QString kDbError = QStringLiteral("连接数据库出错!");
const QString kBadPrice = QStringLiteral("输入错误！请输入正确有效的数字。");

QString alreadyExists(const QString& id) {
    return QStringLiteral("图书编号为：") + id + QStringLiteral("的图书在系统中已存在！") +
           QChar(13) + QStringLiteral("请输入新的图书编号。");
}

class BookRegistration : public BookScreenTest {
protected:
    BookRegistration() : screen(ctx) { screen.FormShow(); }

    Field& f(const char* name) { return screen.field(QString::fromUtf8(name)); }

    void fill(const QString& id, const QString& title, const QString& price) {
        f("id").type(id);
        f("tsmz").type(title);
        f("tsjg").type(price);
    }
    void add() { screen.run(QStringLiteral("Button1Click")); }

    Tfrm_TJBook screen;
};

TEST_F(BookRegistration, OffersTheBookTypesInTheOrderTheyWereAdded) {
    EXPECT_EQ(f("tsrx").items(),
              (QStringList{QStringLiteral("小说"), QStringLiteral("文学"), QStringLiteral("历史"),
                           QStringLiteral("科技"), QStringLiteral("少儿"), QStringLiteral("漫画"),
                           QStringLiteral("杂志")}));
    EXPECT_EQ(f("tsrx").text(), QStringLiteral("小说"));
    EXPECT_EQ(f("id").maxBytes(), 4);
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(BookRegistration, AddingStoresTheBookOnTheShelfWithItsLogRecord) {
    fill(QStringLiteral(" B1 "), QStringLiteral(" 红楼梦 "), QStringLiteral(" 12.5 "));
    f("tsrx").setItemIndex(1);
    f("tszz").type(QStringLiteral(" 曹雪芹"));
    f("tsfj").type(QStringLiteral("书签 "));
    f("tsbz").type(QStringLiteral("上册\r\n下册"));
    add();
    EXPECT_EQ(prompter.single(), QStringLiteral("添加图书成功!"));
    const QString id = QStringLiteral("B1");
    EXPECT_EQ(bookColumn(id, QStringLiteral("图书类型")).toString(), QStringLiteral("文学"));
    EXPECT_EQ(bookColumn(id, QStringLiteral("图书名称")).toString(), QStringLiteral(" 红楼梦 "));
    EXPECT_EQ(bookColumn(id, QStringLiteral("作者")).toString(), QStringLiteral(" 曹雪芹"));
    EXPECT_EQ(bookColumn(id, QStringLiteral("附件")).toString(), QStringLiteral("书签 "));
    EXPECT_EQ(bookColumn(id, QStringLiteral("价格")).toString(), QStringLiteral(" 12.5 "));
    EXPECT_EQ(bookColumn(id, QStringLiteral("备注")).toString(), QStringLiteral("上册下册"));
    EXPECT_EQ(bookColumn(id, QStringLiteral("当前状态")).toString(), QStringLiteral("未借出"));
    EXPECT_EQ(bookDate(id, QStringLiteral("状态设置期")), clock.now());
    EXPECT_EQ(bookDate(id, QStringLiteral("录入时间")), clock.now());
    EXPECT_EQ(bookColumn(id, QStringLiteral("借阅次数")).toInt(), 0);
    EXPECT_EQ(
        logExplanations(),
        QStringList{logLine(QStringLiteral("添加图书"),
                            QStringLiteral("图书编号：B1  图书名称： 红楼梦   图书类型：文学"))});
    EXPECT_EQ(shop.count(QStringLiteral("资金")), 0) << "no money moves";
    EXPECT_EQ(f("id").text(), QString());
    EXPECT_EQ(f("tsmz").text(), QString());
    EXPECT_EQ(f("tsrx").text(), QStringLiteral("小说"));
    EXPECT_EQ(f("tsbz").text(), QString());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("id"));
}

TEST_F(BookRegistration, ChecksRunInOrderAndARefusalWritesNothing) {
    addBook(QStringLiteral("B9"));
    struct Case {
        const char *id, *title, *price;
        QString message;
        const char* focus;
    };
    const Case cases[] = {
        {" ", "T", "1", QStringLiteral("请输入图书编号！"), "id"},
        {"B1", "  ", "1", QStringLiteral("请输入图书名称！"), "tsmz"},
        {"B1", "T", " ", QStringLiteral("请输入图书价格！"), "tsjg"},
        {"B1", "T", "abc", kBadPrice, "tsjg"},
        {"B1", "T", "1e400", kBadPrice, "tsjg"},
        {"B1", "T", "1e39", kBadPrice, "tsjg"},
        {"B1", "T", "12元", kBadPrice, "tsjg"},
        {"B9", "T", "1", alreadyExists(QStringLiteral("B9")), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + "/" + c.title + "/" + c.price);
        screen.FormShow();
        fill(QString::fromUtf8(c.id), QString::fromUtf8(c.title), QString::fromUtf8(c.price));
        screen.field(QStringLiteral("Button2")).requestFocus();
        prompter.clear();
        add();
        EXPECT_EQ(prompter.single(), c.message);
        if (*c.focus) {
            EXPECT_EQ(screen.focusedField(), QString::fromUtf8(c.focus));
        }
        EXPECT_EQ(shop.count(QStringLiteral("图书")), 1);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    }
}

// The id limit was lowered while the screen held a longer id: the id shown is refused, not cut.
TEST_F(BookRegistration, AnIdLongerThanALoweredLimitIsRefusedNotCut) {
    f("id").setMaxBytes(8);
    fill(QStringLiteral("B0000001"), QStringLiteral("T"), QStringLiteral("1"));
    f("id").setMaxBytes(4);
    prompter.clear();
    add();
    EXPECT_EQ(prompter.single(), QStringLiteral("图书编号最多4个字符，请重新输入！"));
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 0);
}

TEST_F(BookRegistration, ThePriceIsCheckedWhenTheFocusLeavesIt) {
    for (const char* good : {"", "12.5", "0", " 7 ", "-3", "1e3"}) {
        f("tsjg").type(QString::fromUtf8(good));
        screen.focusLeft(QStringLiteral("tsjg"));
    }
    EXPECT_TRUE(prompter.boxes().empty());
    f("Button1").requestFocus();
    f("tsjg").type(QStringLiteral("abc"));
    screen.focusLeft(QStringLiteral("tsjg"));
    EXPECT_EQ(prompter.single(), kBadPrice);
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tsjg"));
}

TEST_F(BookRegistration, AFullIdChecksItselfAndTheButtonTellsWhetherItIsFree) {
    addBook(QStringLiteral("图书"));
    f("id").type(QStringLiteral("图书"));
    EXPECT_EQ(prompter.single(), alreadyExists(QStringLiteral("图书")));
    EXPECT_EQ(screen.focusedField(), QStringLiteral("id"));
    prompter.clear();
    f("id").type(QStringLiteral("B002"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tsmz"));

    f("id").type(QStringLiteral(" 图 "));
    screen.run(QStringLiteral("Button3Click"));
    EXPECT_EQ(prompter.single(), QStringLiteral("图书编号：图可用！"));
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Information);
    addBook(QStringLiteral("B9"));
    prompter.clear();
    f("id").type(QStringLiteral(" B9"));
    screen.run(QStringLiteral("Button3Click"));
    EXPECT_EQ(prompter.single(), alreadyExists(QStringLiteral("B9")))
        << "the id is checked as it will be stored, without blanks";
    EXPECT_EQ(screen.focusedField(), QStringLiteral("id"));
    prompter.clear();
    f("id").type(QString());
    screen.run(QStringLiteral("Button3Click"));
    EXPECT_EQ(prompter.single(), QStringLiteral("图书编号：可用！"));
}

TEST_F(BookRegistration, WithNoBookTypesTheBookIsStoredWithoutTypeAndTheFieldsStay) {
    shop.dm->db().exec(QStringLiteral("DELETE FROM 图书类型"));
    screen.FormShow();
    EXPECT_TRUE(f("tsrx").items().isEmpty());
    fill(QStringLiteral("B1"), QStringLiteral("T"), QStringLiteral("3"));
    add();
    EXPECT_EQ(prompter.single(), QStringLiteral("添加图书成功!"));
    EXPECT_EQ(bookColumn(QStringLiteral("B1"), QStringLiteral("图书类型")).toString(), QString());
    EXPECT_EQ(f("id").text(), QStringLiteral("B1")) << "nothing is reset without types";
    EXPECT_EQ(f("tsmz").text(), QStringLiteral("T"));
    shop.pub.BookIdMaxLen = 3;
    screen.FormShow();
    EXPECT_EQ(f("id").maxBytes(), 3) << "the id limit holds all the same";
}

TEST_F(BookRegistration, TypedTextIsStoredAsDataAndTheRemarkWithinItsLimit) {
    addBook(QStringLiteral("KEEP"));
    fill(QStringLiteral("'%_"), QStringLiteral("x'); DELETE FROM 图书; --"), QStringLiteral("1"));
    f("tszz").type(QStringLiteral("😀\x01\t作者"));
    f("tsbz").setValue(QString(200, QChar(0x4E66))); // 400 bytes, set by a program
    add();
    ASSERT_EQ(prompter.single(), QStringLiteral("添加图书成功!"));
    EXPECT_EQ(bookColumn(QStringLiteral("'%_"), QStringLiteral("图书名称")).toString(),
              QStringLiteral("x'); DELETE FROM 图书; --"));
    EXPECT_EQ(bookColumn(QStringLiteral("'%_"), QStringLiteral("作者")).toString(),
              QStringLiteral("😀\x01\t作者"));
    EXPECT_EQ(bookColumn(QStringLiteral("'%_"), QStringLiteral("备注")).toString(),
              QString(127, QChar(0x4E66)));
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 2);
}

TEST_F(BookRegistration, ADatabaseFailureStoresNothingAndKeepsTheInput) {
    for (const char* failing : {"INSERT INTO 图书", "INSERT INTO 日志"}) {
        SCOPED_TRACE(failing);
        screen.FormShow();
        fill(QStringLiteral("B1"), QStringLiteral("T"), QStringLiteral("3"));
        prompter.clear();
        {
            FailingStatements failure(shop.dm->db(), QString::fromUtf8(failing));
            add();
        }
        EXPECT_EQ(prompter.single(), kDbError);
        EXPECT_EQ(shop.count(QStringLiteral("图书")), 0);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
        EXPECT_EQ(f("tsmz").text(), QStringLiteral("T"));
    }
    prompter.clear();
    {
        FailingStatements failure(shop.dm->db(), QStringLiteral("FROM 图书类型"));
        screen.FormShow();
    }
    EXPECT_EQ(prompter.single(), kDbError);
    EXPECT_TRUE(f("tsrx").items().isEmpty());
    EXPECT_EQ(f("tsmz").text(), QString()) << "a failed type query still resets the screen";
}

} // namespace
} // namespace lms::test
