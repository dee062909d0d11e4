// What the import takes as text: ids and one-line cells without line breaks, tabs or control
// characters (the row is refused, naming the column and the character), and cells a spreadsheet
// would run as a formula, written to the file of refused rows as text while the amounts stay
// numbers, and read back as they were.
#include "ImportFixture.h"

#include "queries/ExportedCsv.h"

namespace lms::test {
namespace {

const QString kRule = QStringLiteral("，这一列只能是一行文字，不能有换行符、制表符或其他控制字符");

struct Verdict {
    QStringList row;
    QString reason; // empty for a good row
};

class CellText : public ImportTest {
protected:
    // Previews the rows under the header and checks each verdict.
    void expectVerdicts(ImportScreen& screen, const QStringList& header,
                        const std::vector<Verdict>& rows) {
        QList<QStringList> records = {header};
        for (const Verdict& v : rows)
            records << v.row;
        ASSERT_TRUE(preview(screen, writeUtf8(QStringLiteral("cells.csv"), records)))
            << prompter.texts().join(QLatin1Char('|')).toStdString();
        const QStringList shown = verdicts(screen);
        ASSERT_EQ(shown.size(), qsizetype(rows.size()));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const QString number = QString::number(r + 2);
            EXPECT_EQ(shown[qsizetype(r)],
                      number + (rows[r].reason.isEmpty()
                                    ? QStringLiteral("|可导入|")
                                    : QStringLiteral("|拒绝|") + rows[r].reason + kRule))
                << rows[r].row.join(QLatin1Char('|')).toStdString();
        }
    }
};

TEST_F(CellText, BookIdsAndOneLineCellsRefuseLineBreaksTabsAndControlCharacters) {
    const QStringList header = {QStringLiteral("图书编号"), QStringLiteral("图书名称"),
                                QStringLiteral("价格"),     QStringLiteral("作者"),
                                QStringLiteral("附件"),     QStringLiteral("备注")};
    const auto book = [](const QString& id, const QString& title, const QString& price,
                         const QString& author = {}, const QString& attachments = {},
                         const QString& remark = {}) {
        return QStringList{id, title, price, author, attachments, remark};
    };
    expectVerdicts(books, header,
                   {{book(QStringLiteral("B\t1"), QStringLiteral("书"), QStringLiteral("9")),
                     QStringLiteral("图书编号：第2个字符是制表符")},
                    {book(QStringLiteral("B2"), QStringLiteral("红\n楼"), QStringLiteral("9")),
                     QStringLiteral("图书名称：第2个字符是换行符")},
                    {book(QStringLiteral("B3"), QStringLiteral("书"), QStringLiteral("12\t")),
                     QStringLiteral("价格：第3个字符是制表符")},
                    {book(QStringLiteral("B4"), QStringLiteral("书"), QStringLiteral("9"),
                          QStringLiteral("曹\x1b[31m")),
                     QStringLiteral("作者：第2个字符是控制字符（U+001B）")},
                    {book(QStringLiteral("B5"), QStringLiteral("书"), QStringLiteral("9"),
                          QString(), QStringLiteral("光盘\r")),
                     QStringLiteral("附件：第3个字符是换行符")},
                    {book(QStringLiteral("B\x7f"), QStringLiteral("书"), QStringLiteral("9")),
                     QStringLiteral("图书编号：第2个字符是控制字符（U+007F）")},
                    // Blanks around an id go, as registration drops them; a remark joins its lines.
                    {book(QStringLiteral(" B6\t"), QStringLiteral("书　名"), QStringLiteral(" 9 "),
                          QStringLiteral("O'Brien"), QString(), QStringLiteral("上\r\n下")),
                     QString()}});
}

TEST_F(CellText, ReaderIdsAndOneLineCellsRefuseLineBreaksTabsAndControlCharacters) {
    const QStringList header = {QStringLiteral("读者编号"), QStringLiteral("读者姓名"),
                                QStringLiteral("证件号码"), QStringLiteral("电话"),
                                QStringLiteral("备注")};
    expectVerdicts(readers, header,
                   {{{QStringLiteral("R\n1"), QStringLiteral("张三")},
                     QStringLiteral("读者编号：第2个字符是换行符")},
                    {{QStringLiteral("R2"), QStringLiteral("张\t三")},
                     QStringLiteral("读者姓名：第2个字符是制表符")},
                    {{QStringLiteral("R3"), QStringLiteral("李四"), QStringLiteral("110\x01")},
                     QStringLiteral("证件号码：第4个字符是控制字符（U+0001）")},
                    {{QStringLiteral("R4"), QStringLiteral("王五"), QString(),
                      QStringLiteral("138") + QChar(0x2028)},
                     QStringLiteral("电话：第4个字符是换行符")},
                    {{QStringLiteral("R5"), QStringLiteral("赵六"), QStringLiteral("+86"),
                      QStringLiteral("=1+2"), QStringLiteral("常客\n每周")},
                     QString()}});
}

TEST_F(CellText, RefusedRowsKeepTheirTextsFromSpreadsheetsAndTheirAmountsAsNumbers) {
    const QString formula = QStringLiteral("=HYPERLINK(\"http://x\",\"点\")");
    const QStringList header = {QStringLiteral("图书编号"), QStringLiteral("图书名称"),
                                QStringLiteral("价格"),     QStringLiteral("图书类型"),
                                QStringLiteral("借阅次数"), QStringLiteral("条形码")};
    // A cell a listing export protected ("'@…") is read as the text it stands for.
    const QString path =
        writeUtf8(QStringLiteral("books.csv"),
                  {header,
                   {QStringLiteral("B1"), formula, QStringLiteral("九元"), QString(), QString(),
                    QStringLiteral("-978")},
                   {QStringLiteral("B2"), QStringLiteral("'@书"), QStringLiteral("-12.50"),
                    QStringLiteral("烹饪"), QStringLiteral("-1"), QStringLiteral("+1")}});
    ASSERT_TRUE(preview(books, path));
    ASSERT_EQ(books.check()->refusedCount(), 2);
    const QString refusedPath = shop.folder.file(QStringLiteral("books_被拒绝.csv"));
    prompter.answerSaveFile(refusedPath);
    books.Button3Click();

    QFile saved(refusedPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    bool ok = false;
    QList<QStringList> records = readCsvFile(saved.readAll(), &ok);
    ASSERT_EQ(records.size(), 3);
    // As the file holds them: texts behind an apostrophe, the price and the count as numbers
    // where they are numbers; the column the import does not know is text.
    EXPECT_EQ(records[1].mid(1),
              (QStringList{QStringLiteral("B1"), QLatin1Char('\'') + formula,
                           QStringLiteral("九元"), QString(), QString(), QStringLiteral("'-978")}));
    EXPECT_EQ(records[2].mid(1),
              (QStringList{QStringLiteral("B2"), QStringLiteral("'@书"), QStringLiteral("-12.50"),
                           QStringLiteral("烹饪"), QStringLiteral("-1"), QStringLiteral("'+1")}));

    // Corrected and imported again, the texts are the ones of the first file.
    records[1][3] = QStringLiteral("9");
    records[2][4] = QString();
    records[2][5] = QStringLiteral("0");
    import(books, writeUtf8(QStringLiteral("books_被拒绝.csv"), records));
    EXPECT_EQ(column(QStringLiteral("图书"), QStringLiteral("图书编号"), QStringLiteral("B1"),
                     QStringLiteral("图书名称"))
                  .toString(),
              formula);
    EXPECT_EQ(column(QStringLiteral("图书"), QStringLiteral("图书编号"), QStringLiteral("B2"),
                     QStringLiteral("图书名称"))
                  .toString(),
              QStringLiteral("@书"));
    EXPECT_EQ(column(QStringLiteral("图书"), QStringLiteral("图书编号"), QStringLiteral("B2"),
                     QStringLiteral("价格"))
                  .toString(),
              QStringLiteral("-12.50"));
}

} // namespace
} // namespace lms::test
