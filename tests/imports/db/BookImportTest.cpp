// Importing books: every row held to book registration's rules with its reason, files that
// cannot be imported at all, the good rows stored with one log record and no ledger record, and
// the refused rows saved with their reasons to be imported again.
#include "ImportFixture.h"

#include "admin/db/AdminFixture.h"
#include "core/DateRules.h"
#include "queries/ExportedCsv.h"

#include <QCoreApplication>

namespace lms::test {
namespace {

const QStringList kHeader = {
    QStringLiteral("图书编号"), QStringLiteral("图书名称"),   QStringLiteral("图书类型"),
    QStringLiteral("价格"),     QStringLiteral("备注"),       QStringLiteral("当前状态"),
    QStringLiteral("借阅次数"), QStringLiteral("状态设置期"), QStringLiteral("作者")};

// A row of kHeader's columns: the id, the title and the price, then any cells named.
QStringList book(const QString& id, const QString& title, const QString& price,
                 const QHash<QString, QString>& cells = {}) {
    QStringList row = {id,        title,     QString(), price,    QString(),
                       QString(), QString(), QString(), QString()};
    for (auto cell = cells.cbegin(); cell != cells.cend(); ++cell)
        row[kHeader.indexOf(cell.key())] = cell.value();
    return row;
}

class BookImport : public ImportTest {
protected:
    BookImport() { addBook(shop.dm->db(), QStringLiteral("B0")); }
};

TEST_F(BookImport, EachRowGetsRegistrationsVerdictWithItsReason) {
    const QString path = writeUtf8(
        QStringLiteral("books.csv"),
        {kHeader, book(QStringLiteral(" B1 "), QStringLiteral("红楼梦"), QStringLiteral("12.5")),
         book(QStringLiteral("B0"), QStringLiteral("史记"), QStringLiteral("9")),
         book(QStringLiteral("B123456789"), QStringLiteral("史记"), QStringLiteral("9")),
         book(QString(), QStringLiteral("史记"), QStringLiteral("9")),
         book(QStringLiteral("B2"), QStringLiteral(" "), QStringLiteral("9")),
         book(QStringLiteral("B3"), QStringLiteral("三国"), QString()),
         book(QStringLiteral("B4"), QStringLiteral("水浒"), QStringLiteral("十元")),
         book(QStringLiteral("B5"), QStringLiteral("菜谱"), QStringLiteral("9"),
              {{QStringLiteral("图书类型"), QStringLiteral("烹饪")}}),
         book(QStringLiteral("B6"), QStringLiteral("西游"), QStringLiteral("9"),
              {{QStringLiteral("备注"), QString(128, QChar(0x5B57))}}),
         book(QStringLiteral("B7"), QStringLiteral("西游"), QStringLiteral("9"),
              {{QStringLiteral("当前状态"), QStringLiteral("已借出")}}),
         book(QStringLiteral("B8"), QStringLiteral("西游"), QStringLiteral("9"),
              {{QStringLiteral("借阅次数"), QStringLiteral("-1")}}),
         book(QStringLiteral("B9"), QStringLiteral("西游"), QStringLiteral("9"),
              {{QStringLiteral("状态设置期"), QStringLiteral("2026/2/30")}}),
         book(QStringLiteral("D1"), QStringLiteral("西游"), QStringLiteral("9")),
         book(QStringLiteral("D1 "), QStringLiteral("西游"), QStringLiteral("9")),
         book(QStringLiteral("B10"), QStringLiteral("西游"), QStringLiteral("9")) +
             QStringList{QString(), QStringLiteral("多出的值")}});
    ASSERT_TRUE(preview(books, path));
    const QStringList rows = verdicts(books);
    const QStringList expected = {
        QStringLiteral("2|可导入|"),
        QStringLiteral("3|拒绝|图书编号为：B0的图书在系统中已存在！ 请输入新的图书编号。"),
        QStringLiteral("4|拒绝|图书编号最多8个字符，请重新输入！"),
        QStringLiteral("5|拒绝|请输入图书编号！"),
        QStringLiteral("6|拒绝|请输入图书名称！"),
        QStringLiteral("7|拒绝|请输入图书价格！"),
        QStringLiteral("8|拒绝|价格：输入错误！请输入正确有效的数字。"),
        QStringLiteral("9|拒绝|图书类型：“烹饪”不是系统中的图书类型（可在“系统参数设置”中添加）"),
        QStringLiteral("10|拒绝|备注最多255个字节（一个汉字占两个），这一格有256个字节"),
        QStringLiteral("11|拒绝|当前状态：“已借出”的图书没有随文件而来的借出记录，"
                       "请在图书归还后导入，或改为“未借出”"),
        QStringLiteral("12|拒绝|借阅次数：“-1”不是0到2147483647之间的整数"),
        QStringLiteral("13|拒绝|状态设置期：“2026/2/30”不是日期（应写作 2026/3/14 或 "
                       "2026-03-14 10:30:00）"),
        QStringLiteral("14|拒绝|图书编号在文件中出现了2次（第14、15行），都没有导入"),
        QStringLiteral("15|拒绝|图书编号在文件中出现了2次（第14、15行），都没有导入"),
        QStringLiteral("16|拒绝|这一行有11个值，比第一行的列名多：值中的逗号要放在引号里"),
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(books.jg.text(), QStringLiteral("共 15 行：可导入 1 行，拒绝 14 行"));
    EXPECT_TRUE(books.Button1.isEnabled());
    books.CheckBox1.setValue(true);
    EXPECT_EQ(books.grid().rowCount(), 14) << "only the refused rows";
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 1) << "a preview stores nothing";
}

TEST_F(BookImport, GoodRowsAreStoredAsRegistrationWouldWithOneLogRecordAndNoMoney) {
    const QString hostile = QStringLiteral("x'); DROP TABLE 图书;-- 100% \"引号\" 😀");
    const QString longAuthor(10000, QLatin1Char('a'));
    const QString path = writeGbk(
        QStringLiteral("书单.csv"),
        {kHeader, book(QStringLiteral(" B1 "), QStringLiteral("红楼梦"), QStringLiteral(" 12.5 ")),
         book(QStringLiteral("B2"), hostile, QStringLiteral("8"),
              {{QStringLiteral("图书类型"), QStringLiteral(" 历史 ")},
               {QStringLiteral("备注"), QStringLiteral("上册\r\n下册")},
               {QStringLiteral("当前状态"), QStringLiteral("破损遗失")},
               {QStringLiteral("借阅次数"), QStringLiteral("7")},
               {QStringLiteral("状态设置期"), QStringLiteral("2025/12/1 9:05:00")},
               {QStringLiteral("作者"), longAuthor}}),
         book(QStringLiteral("B0"), QStringLiteral("史记"), QStringLiteral("9"))});
    import(books, path);
    EXPECT_EQ(books.bm.text(), QStringLiteral("GBK"));
    EXPECT_EQ(prompter.texts().mid(1, 1),
              QStringList{QStringLiteral("导入成功！已导入 2 本图书。")});
    const auto bookColumn = [this](const char* id, const char* name) {
        return column(QStringLiteral("图书"), QStringLiteral("图书编号"), QString::fromUtf8(id),
                      QString::fromUtf8(name));
    };
    // What registration stores where the file has nothing: the first type, on the shelf, now.
    EXPECT_EQ(bookColumn("B1", "图书类型").toString(), QStringLiteral("小说"));
    EXPECT_EQ(bookColumn("B1", "价格").toString(), QStringLiteral(" 12.5 "));
    EXPECT_EQ(bookColumn("B1", "当前状态").toString(), QStringLiteral("未借出"));
    EXPECT_EQ(bookColumn("B1", "录入时间").toString(), Dates::toStorage(clock.now()));
    EXPECT_EQ(bookColumn("B1", "状态设置期").toString(), Dates::toStorage(clock.now()));
    EXPECT_EQ(bookColumn("B1", "借阅次数").toInt(), 0);
    EXPECT_EQ(bookColumn("B1", "作者").toString(), QString());
    // Values as the file has them, never cut.
    EXPECT_EQ(bookColumn("B2", "图书名称").toString(), hostile);
    EXPECT_EQ(bookColumn("B2", "图书类型").toString(), QStringLiteral("历史"));
    EXPECT_EQ(bookColumn("B2", "备注").toString(), QStringLiteral("上册下册"));
    EXPECT_EQ(bookColumn("B2", "当前状态").toString(), QStringLiteral("破损遗失"));
    EXPECT_EQ(bookColumn("B2", "借阅次数").toInt(), 7);
    EXPECT_EQ(bookColumn("B2", "状态设置期").toString(), QStringLiteral("2025-12-01 09:05:00.000"));
    EXPECT_EQ(bookColumn("B2", "作者").toString(), longAuthor);

    EXPECT_EQ(
        joinedRows(shop.dm->db(), QStringLiteral("日志"),
                   {QStringLiteral("事件"), QStringLiteral("操作者"), QStringLiteral("说明")}),
        QStringList{QStringLiteral("导入图书|clerk|文件：书单.csv  图书数量：2")});
    EXPECT_EQ(shop.count(QStringLiteral("资金")), 0) << "books bring no money";
}

TEST_F(BookImport, AFileThatCannotBeImportedSaysWhyAndStoresNothing) {
    const QByteArray mark = Csv::byteOrderMark();
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* message; // its beginning
    };
    const Case cases[] = {
        {"empty", QByteArray(), "文件是空的：第一行应是列名，如“图书编号,图书名称”。"},
        {"header only", mark + "图书编号,图书名称\r\n\r\n", "文件中只有列名，没有要导入的图书。"},
        {"no title column", mark + "图书编号,价格\r\nB1,9\r\n",
         "文件缺少必需的列：“图书名称”，没有导入任何图书。\r文件的第一行须是列名，如“所有图书查询”"
         "导出的文件。\r按 UTF-8（带BOM） 编码读出的第一行是：图书编号，价格"},
        {"a column twice", "图书编号,图书名称,书名,图书名称\nB1,a,b,c\n",
         "第一行中“图书名称”列出现了两次"},
        {"a workbook", QByteArray("PK\x03\x04\0\0\x14\0", 8) + "图书编号", "这个文件不是文本文件"},
        {"neither UTF-8 nor GBK", "\x81\x20\xFF,\xFE\r\n", "无法识别文件的编码"},
        {"a quote never closed", mark + "图书编号,图书名称\r\nB1,\"红楼梦\r\nB2,史记\r\n",
         "文件第2行有一个引号没有配对"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clear();
        EXPECT_FALSE(preview(books, writeBytes(QStringLiteral("bad.csv"), c.bytes)));
        EXPECT_TRUE(prompter.single().startsWith(QString::fromUtf8(c.message)))
            << prompter.single().toStdString();
    }
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 1);
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
}

TEST_F(BookImport, RefusedRowsAreSavedWithTheirReasonsAndComeBackInOnceCorrected) {
    const QStringList header = {QStringLiteral("序号"), QStringLiteral("图书编号"),
                                QStringLiteral("图书名称"), QStringLiteral("价格"),
                                QStringLiteral("条形码")};
    const QString path =
        writeUtf8(QStringLiteral("books.csv"),
                  {header,
                   {QStringLiteral("1"), QStringLiteral("B1"), QStringLiteral("红楼梦"),
                    QStringLiteral("12"), QStringLiteral("978")},
                   {QStringLiteral("2"), QStringLiteral("B2"), QStringLiteral("史记, \"上下\""),
                    QStringLiteral("九元"), QStringLiteral("979\n980")}});
    ASSERT_TRUE(preview(books, path));
    EXPECT_EQ(books.tsxx.text().split(QChar(13)).first(),
              QStringLiteral("不是图书的列，已忽略：条形码"));
    const QString refusedPath = shop.folder.file(QStringLiteral("books_被拒绝.csv"));
    prompter.answerSaveFile(refusedPath);
    books.Button3Click();
    ASSERT_EQ(prompter.saveDialogs().back().name, refusedPath);

    QFile saved(refusedPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    bool ok = false;
    QList<QStringList> records = readCsvFile(saved.readAll(), &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0], QStringList{QStringLiteral("拒绝原因")} + header);
    EXPECT_EQ(records[1], (QStringList{QStringLiteral("价格：输入错误！请输入正确有效的数字。"),
                                       QStringLiteral("2"), QStringLiteral("B2"),
                                       QStringLiteral("史记, \"上下\""), QStringLiteral("九元"),
                                       QStringLiteral("979\n980")}));

    // The clerk corrects the price and imports the saved file: its reason column is ignored.
    records[1][4] = QStringLiteral("9");
    import(books, writeUtf8(QStringLiteral("books_被拒绝.csv"), records));
    EXPECT_TRUE(
        books.tsxx.text().startsWith(QStringLiteral("不是图书的列，已忽略：拒绝原因、条形码")));
    EXPECT_EQ(column(QStringLiteral("图书"), QStringLiteral("图书编号"), QStringLiteral("B2"),
                     QStringLiteral("图书名称"))
                  .toString(),
              QStringLiteral("史记, \"上下\""));
}

TEST_F(BookImport, ALongFileShowsItsFirstRowsAtOnceAndTheRestWhileTheWindowIsOpen) {
    ensureCoreApplication();
    QList<QStringList> records = {
        {QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("价格")}};
    for (int i = 0; i < 12000; ++i)
        records << QStringList{QStringLiteral("N%1").arg(i), QStringLiteral("书"),
                               QStringLiteral("1")};
    prompter.answerFile(writeUtf8(QStringLiteral("long.csv"), records));
    books.ImportMenuClick();
    EXPECT_EQ(books.grid().rowCount(), ImportScreen::kFirstPiece);
    EXPECT_EQ(books.jg.text(), QStringLiteral("正在检查：200 / 12000 行"));
    EXPECT_FALSE(books.Button1.isEnabled()) << "nothing is imported before every row is checked";
    for (int i = 0; i < 100 && !books.check()->done(); ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(books.grid().rowCount(), 12000);
    EXPECT_TRUE(books.Button1.isEnabled());
}

TEST_F(BookImport, IdsAnotherDeskRegisteredSinceThePreviewStopTheWholeImport) {
    const QString path =
        writeUtf8(QStringLiteral("books.csv"),
                  {{QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("价格")},
                   {QStringLiteral("B1"), QStringLiteral("红楼梦"), QStringLiteral("9")},
                   {QStringLiteral("B2"), QStringLiteral("史记"), QStringLiteral("9")}});
    ASSERT_TRUE(preview(books, path));
    addBook(shop.dm->db(), QStringLiteral("B2"));
    prompter.answer(true);
    books.Button1Click();
    EXPECT_TRUE(
        prompter.lastText().startsWith(QStringLiteral("其他窗口刚刚添加了图书编号为 B2 的图书")));
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 2) << "B0 and the other desk's B2";
    EXPECT_EQ(verdicts(books).value(1),
              QStringLiteral("3|拒绝|图书编号为：B2的图书在系统中已存在！ 请输入新的图书编号。"));
}

} // namespace
} // namespace lms::test
