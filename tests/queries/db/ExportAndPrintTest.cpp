// "导出" and "打印" on the six query screens: the CSV file holds exactly the rows and cells shown
// (commas, quotes, line breaks and Chinese included) with the header and any totals; the print
// preview gets the caption, the criteria of the listing shown, the date, the rows and the totals;
// odd names, unwritable folders, cancelled dialogs and long listings behave.
#include "queries/Csv.h"
#include "queries/ExportedCsv.h"
#include "queries/Tfrm_CHRZ.h"
#include "queries/Tfrm_QAllRec.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/Tfrm_QallReader.h"
#include "queries/db/QueryFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace lms {
namespace {

using test::readCsvFile;

const QChar kCR(13);
const QString kNastyName = QStringLiteral("红楼梦, 上\"册\"\n第二行");
const QString kNastyRemark = QStringLiteral("备注,有逗号\r\n和\"引号\"");

class ExportAndPrint : public test::QueryTest {
protected:
    ExportAndPrint() {
        book(QStringLiteral("B1"), kNastyName, kNastyRemark);
        book(QStringLiteral("B2"), QStringLiteral("史记"), QString());
        loan(QStringLiteral("B1"), kNastyName, QStringLiteral("R1"),
             QStringLiteral("张\"三\",李四"), kNow.addDays(-40), kNow.addDays(-10));
        loan(QStringLiteral("B2"), QStringLiteral("史记"), QStringLiteral("R2"),
             QStringLiteral("王五"), kNow.addDays(-3), kNow.addDays(27));
        reader(QStringLiteral("R1"), QStringLiteral("张\"三\",李四"), 100, 3, kNastyRemark);
        reader(QStringLiteral("R2"), QStringLiteral("王五"), 50.5, 1, QString());
        ledger(QStringLiteral("读者还书"), kNow.addSecs(-3600), 1.5, 0, 1, 0.5);
        ledger(QStringLiteral("缴费充值, 现金"), kNow.addSecs(-60), 2.25, 2.25);
        history(QStringLiteral("B1"), kNastyName, kNow.addDays(-9), QStringLiteral("破损或遗失"));
        shop.dm->WriteRZ(QStringLiteral("读者借书"), QStringLiteral("admin"), kNow.addSecs(-30),
                         QStringLiteral("读者编号：R1, 图书编号：\"B1\"\r\n第二行"));
        screens.emplace_back(std::make_unique<Tfrm_QallBook>(context));
        screens.emplace_back(std::make_unique<Tfrm_QJCBook>(context));
        screens.emplace_back(std::make_unique<Tfrm_QallReader>(context));
        screens.emplace_back(std::make_unique<Tfrm_QallMoney>(context));
        screens.emplace_back(std::make_unique<Tfrm_QAllRec>(context));
        screens.emplace_back(std::make_unique<Tfrm_CHRZ>(context));
    }

    QueryScreen& screen(const QString& name) {
        for (auto& s : screens)
            if (s->objectName() == name)
                return *s;
        throw std::out_of_range("no screen");
    }

    // The grid as the clerk sees it: header and displayed cells.
    static QList<QStringList> shown(QueryScreen& s) {
        QList<QStringList> rows;
        QStringList header;
        const ResultTable& grid = s.results();
        for (int c = 0; c < grid.columnCount(); ++c)
            header << grid.headerData(c, Qt::Horizontal).toString();
        rows << header;
        for (int r = 0; r < grid.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid.columnCount(); ++c)
                cells << grid.data(grid.index(r, c)).toString();
            rows << cells;
        }
        return rows;
    }

    QList<QStringList> exported(QueryScreen& s, const QString& path) {
        prompter.answerSaveFile(path);
        s.run(QStringLiteral("Button3Click"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        bool ok = false;
        QList<QStringList> records = readCsvFile(file.readAll(), &ok);
        EXPECT_TRUE(ok) << "not a well-formed CSV file with a byte-order mark";
        return records;
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QueryScreen>> screens;
};

TEST_F(ExportAndPrint, EachScreensFileReadsBackToTheRowsShownWithItsTotals) {
    for (auto& s : screens) {
        SCOPED_TRACE(s->objectName().toStdString());
        s->FormShow();
        ASSERT_GT(s->results().rowCount(), 0);
        prompter.clear();
        const QString path = dir.filePath(s->objectName() + QStringLiteral(".csv"));
        QList<QStringList> records = exported(*s, path);
        QList<QStringList> expected = shown(*s);
        if (s->definition().totals != QueryDefinition::Totals::None) {
            // One more record: "合计" and each total under the column it sums.
            ASSERT_EQ(records.size(), expected.size() + 1);
            const QStringList totals = records.takeLast();
            EXPECT_EQ(totals.first(), QStringLiteral("合计"));
            for (const TotalField& total : s->definition().totalFields) {
                for (std::size_t c = 0; c < s->definition().columns.size(); ++c) {
                    if (s->definition().columns[c].column == total.column) {
                        EXPECT_EQ(totals[static_cast<int>(c)], s->field(total.field).text());
                    }
                }
            }
        }
        EXPECT_EQ(records, expected);
        EXPECT_EQ(prompter.single(),
                  QStringLiteral("已导出 %1 条记录到文件：").arg(s->results().rowCount()) + kCR +
                      path);
        ASSERT_FALSE(prompter.saveDialogs().empty());
        EXPECT_EQ(prompter.saveDialogs().back().title, QStringLiteral("导出"));
        EXPECT_EQ(prompter.saveDialogs().back().filter, QStringLiteral("CSV 文件|*.csv"));
        EXPECT_EQ(prompter.saveDialogs().back().name,
                  s->caption() + QStringLiteral("_20260314_103000.csv"));
    }
}

TEST_F(ExportAndPrint, OddValuesSurviveTheFileAndTheTotalsAreThoseShown) {
    QueryScreen& money = screen(QStringLiteral("frm_QallMoney"));
    money.FormShow();
    const QList<QStringList> records = exported(money, dir.filePath(QStringLiteral("资金.csv")));
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[2][1], QStringLiteral("缴费充值, 现金"));
    EXPECT_EQ(records[3], (QStringList{QStringLiteral("合计"), QString(), QString(), QString(),
                                       QStringLiteral("3.75"), QStringLiteral("0.00"),
                                       QStringLiteral("2.25"), QStringLiteral("1.00"),
                                       QStringLiteral("0.50"), QStringLiteral("0.00")}));

    QueryScreen& books = screen(QStringLiteral("frm_QallBook"));
    books.FormShow();
    const QList<QStringList> bookRows = exported(books, dir.filePath(QStringLiteral("书.csv")));
    ASSERT_EQ(bookRows.size(), 3);
    EXPECT_EQ(bookRows[1][2], kNastyName);
    EXPECT_EQ(bookRows[1][7], kNastyRemark);

    QueryScreen& readers = screen(QStringLiteral("frm_QallReader"));
    readers.FormShow();
    const QList<QStringList> readerRows =
        exported(readers, dir.filePath(QStringLiteral("读者.csv")));
    ASSERT_EQ(readerRows.size(), 4);
    EXPECT_EQ(readerRows[1][2], QStringLiteral("张\"三\",李四"));
    EXPECT_EQ(readerRows[3][0], QStringLiteral("合计"));
    EXPECT_EQ(readerRows[3][5], QStringLiteral("150.5"));
    EXPECT_EQ(readerRows[3][9], QStringLiteral("4"));
}

// The raw cells of an exported file, as a spreadsheet gets them.
QList<QStringList> rawCells(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    bool ok = false;
    return readCsvFile(file.readAll(), &ok);
}

TEST_F(ExportAndPrint, TextsASpreadsheetWouldRunAreWrittenAsTextAndNegativeAmountsAsNumbers) {
    const QString formula = QStringLiteral("=HYPERLINK(\"http://x\",\"点\")");
    test::addBook(db(), QStringLiteral("B3"),
                  {{QStringLiteral("图书名称"), formula},
                   {QStringLiteral("作者"), QStringLiteral("@SUM(A1)")},
                   {QStringLiteral("附件"), QStringLiteral("-2+3+cmd|' /C calc'!A0")},
                   {QStringLiteral("价格"), QStringLiteral("-12.50")},
                   {QStringLiteral("备注"), QStringLiteral("'=已有撇号")}});
    test::addBook(db(), QStringLiteral("B4"),
                  {{QStringLiteral("图书名称"), QStringLiteral("\t=1+2")},
                   {QStringLiteral("价格"), QStringLiteral("=1+2")}});
    reader(QStringLiteral("R3"), QStringLiteral("+86 电话"), -3.5, 0, QStringLiteral("O'Brien"));
    ledger(QStringLiteral("-退押金"), kNow.addSecs(-10), -12.5, -12.5);

    struct Cell {
        const char* screen;
        const char* id; // the row's first text cell after the row number
        int column;
        QString written; // as the file holds it
        QString listed;  // as the grid shows it
    };
    const Cell cells[] = {
        {"frm_QallBook", "B3", 2, QLatin1Char('\'') + formula, formula},
        {"frm_QallBook", "B3", 8, QStringLiteral("'@SUM(A1)"), QStringLiteral("@SUM(A1)")},
        {"frm_QallBook", "B3", 9, QStringLiteral("'-2+3+cmd|' /C calc'!A0"),
         QStringLiteral("-2+3+cmd|' /C calc'!A0")},
        {"frm_QallBook", "B3", 10, QStringLiteral("-12.50"), QStringLiteral("-12.50")},
        {"frm_QallBook", "B3", 7, QStringLiteral("''=已有撇号"), QStringLiteral("'=已有撇号")},
        {"frm_QallBook", "B4", 2, QStringLiteral("'\t=1+2"), QStringLiteral("\t=1+2")},
        {"frm_QallBook", "B4", 10, QStringLiteral("'=1+2"), QStringLiteral("=1+2")},
        {"frm_QallReader", "R3", 2, QStringLiteral("'+86 电话"), QStringLiteral("+86 电话")},
        {"frm_QallReader", "R3", 5, QStringLiteral("-3.5"), QStringLiteral("-3.5")},
        {"frm_QallReader", "R3", 12, QStringLiteral("O'Brien"), QStringLiteral("O'Brien")},
        {"frm_QallMoney", "-退押金", 4, QStringLiteral("-12.50"), QStringLiteral("-12.50")},
        {"frm_QallMoney", "-退押金", 6, QStringLiteral("-12.50"), QStringLiteral("-12.50")},
    };
    for (const Cell& c : cells) {
        SCOPED_TRACE(std::string(c.screen) + " " + c.id + " column " + std::to_string(c.column));
        QueryScreen& s = screen(QString::fromUtf8(c.screen));
        s.FormShow();
        const QString path = dir.filePath(s.objectName() + QStringLiteral(".csv"));
        prompter.answerSaveFile(path);
        s.run(QStringLiteral("Button3Click"));
        const QList<QStringList> records = rawCells(path);
        const QString id = QString::fromUtf8(c.id);
        const QString writtenId = Csv::spreadsheetCell(id, Csv::CellKind::Text);
        int found = 0;
        for (qsizetype r = 1; r < records.size(); ++r) {
            if (records[r].value(1) != writtenId)
                continue;
            ++found;
            EXPECT_EQ(records[r].value(c.column), c.written);
            EXPECT_EQ(Csv::fromSpreadsheetCell(records[r].value(c.column)), c.listed);
            EXPECT_EQ(s.results().cellText(int(r - 1), c.column), c.listed);
        }
        EXPECT_EQ(found, 1);
    }
}

TEST_F(ExportAndPrint, AnOddFileNameIsWrittenAsChosen) {
    QueryScreen& log = screen(QStringLiteral("frm_CHRZ"));
    log.FormShow();
    const QString path = dir.filePath(QStringLiteral("操作 日志,\"引号\" #1 ;'$&[x]-.csv"));
    EXPECT_EQ(exported(log, path), shown(log));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(ExportAndPrint, ACancelledDialogDoesNothing) {
    QueryScreen& books = screen(QStringLiteral("frm_QallBook"));
    books.FormShow();
    prompter.clear();
    prompter.answerSaveFile(std::nullopt);
    books.run(QStringLiteral("Button3Click"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(prompter.saveDialogs().size(), 1u);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ExportAndPrint, AFolderThatCannotBeWrittenSaysSoAndLeavesNoFile) {
    QueryScreen& money = screen(QStringLiteral("frm_QallMoney"));
    money.FormShow();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("旧文件.csv")));
    const QString paths[] = {dir.filePath(QStringLiteral("没有的文件夹/资金.csv")),
                             dir.filePath(QStringLiteral("旧文件.csv"))};
    for (const QString& path : paths) {
        prompter.clear();
        prompter.answerSaveFile(path);
        money.run(QStringLiteral("Button3Click"));
        ASSERT_EQ(prompter.boxes().size(), 1u);
        EXPECT_EQ(prompter.box(0).icon, Prompter::Icon::Error);
        EXPECT_TRUE(prompter.box(0).text.startsWith(QStringLiteral("导出失败，文件没有保存：") +
                                                    kCR + path + kCR + kCR +
                                                    QStringLiteral("请选择一个可以写入的文件夹。")))
            << prompter.box(0).text.toStdString();
        // The screen is usable again.
        EXPECT_FALSE(money.field(QStringLiteral("ProgressBar1")).isVisible());
        EXPECT_TRUE(money.field(QStringLiteral("Button3")).isEnabled());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("旧文件.csv")});
}

TEST_F(ExportAndPrint, NothingListedIsNeitherExportedNorPrinted) {
    Query(db(), QStringLiteral("DELETE FROM 日志")).exec();
    QueryScreen& log = screen(QStringLiteral("frm_CHRZ"));
    log.FormShow();
    EXPECT_EQ(prompter.single(), QStringLiteral("操作日志中没符合条件的记录!"));
    prompter.clear();
    log.run(QStringLiteral("Button3Click"));
    log.run(QStringLiteral("Button4Click"));
    EXPECT_EQ(prompter.texts(), (QStringList{QStringLiteral("没有可导出的记录!"),
                                             QStringLiteral("没有可打印的记录!")}));
    EXPECT_TRUE(prompter.saveDialogs().empty());
    EXPECT_TRUE(prompter.printed().empty());
}

TEST_F(ExportAndPrint, ALongExportShowsItsProgressAndTheScreenRestsMeanwhile) {
    {
        Transaction transaction(db());
        for (int i = 0; i < 30000; ++i)
            ledger(QStringLiteral("缴费充值"), kNow.addSecs(-i), 1);
        transaction.commit();
    }
    QueryScreen& money = screen(QStringLiteral("frm_QallMoney"));
    money.FormShow();
    ASSERT_EQ(money.results().rowCount(), 30002);
    Field& progress = money.field(QStringLiteral("ProgressBar1"));
    QList<bool> shownStates;
    int highest = 0;
    int during = 0;
    QObject::connect(&progress, &Field::visibleChanged, [&](bool v) { shownStates << v; });
    QObject::connect(&progress, &Field::valueChanged, [&](const QVariant& v) {
        highest = std::max(highest, v.toInt());
        if (v.toInt() > 0 && v.toInt() < 30002) {
            ++during;
            // A click reaching the screen now changes nothing.
            EXPECT_FALSE(money.field(QStringLiteral("Button2")).isEnabled());
            EXPECT_FALSE(money.field(QStringLiteral("Button1")).isEnabled());
            money.Button2Click();
            money.Button3Click();
            EXPECT_EQ(money.results().rowCount(), 30002);
        }
    });
    const QList<QStringList> records = exported(money, dir.filePath(QStringLiteral("长.csv")));
    EXPECT_EQ(records.size(), 30002 + 2);
    EXPECT_EQ(shownStates, (QList<bool>{true, false}));
    EXPECT_EQ(highest, 30002);
    EXPECT_EQ(progress.maximum(), 1);
    EXPECT_TRUE(money.field(QStringLiteral("Button2")).isEnabled());
    EXPECT_EQ(prompter.saveDialogs().size(), 1u) << "no second export started meanwhile";
}

TEST_F(ExportAndPrint, ThePreviewGetsTheCaptionCriteriaDateRowsAndTotals) {
    const RegionalFormats formats;
    const QString printedAt =
        formats.longDate(kNow.date()) + QLatin1Char(' ') + formats.longTime(kNow.time());
    for (auto& s : screens) {
        SCOPED_TRACE(s->objectName().toStdString());
        s->FormShow();
        s->run(QStringLiteral("Button4Click"));
        ASSERT_FALSE(prompter.printed().empty());
        const test::ScriptedPrompter::Printed& printed = prompter.printed().back();
        const Printout& p = printed.printout;
        EXPECT_EQ(p.paper, Printout::Paper::Sheet);
        EXPECT_EQ(p.title, s->caption());
        EXPECT_EQ(p.headLines, (QStringList{QStringLiteral("查询条件：全部记录"),
                                            QStringLiteral("共 %1 条记录　　打印时间：%2")
                                                .arg(s->results().rowCount())
                                                .arg(printedAt)}));
        QList<QStringList> table = shown(*s);
        EXPECT_EQ(p.columns, table.takeFirst());
        EXPECT_EQ(printed.rows, table);
        if (s->definition().totals == QueryDefinition::Totals::None) {
            EXPECT_TRUE(p.lines.empty());
        } else {
            ASSERT_EQ(p.lines.size(), s->definition().totalFields.size() + 1);
            EXPECT_EQ(p.lines[0].label, s->definition().totalsGroupCaption);
            for (std::size_t i = 0; i < s->definition().totalFields.size(); ++i) {
                const TotalField& total = s->definition().totalFields[i];
                EXPECT_EQ(p.lines[i + 1].label, total.caption);
                EXPECT_EQ(p.lines[i + 1].value, s->field(total.field).text());
            }
        }
    }
    ASSERT_GE(prompter.printed().size(), 4u);
    ASSERT_GE(prompter.printed()[3].printout.lines.size(), 2);
    EXPECT_EQ(prompter.printed()[3].printout.lines[1].value, QStringLiteral("3.75"));
    // Money and counts stand right, texts left.
    EXPECT_EQ(prompter.printed()[3].printout.rightAligned,
              (QList<bool>{true, false, false, false, true, true, true, true, true, true}));
}

struct CriteriaCase {
    const char* screen;
    std::function<void(QueryScreen&)> set;
    const char* words;
};

TEST_F(ExportAndPrint, TheCriteriaInForceArePrintedInWords) {
    const RegionalFormats formats;
    const QDate day1 = kNow.date().addDays(-45);
    const QString range = QStringLiteral(" 从 ") + formats.longDate(day1) + QStringLiteral(" 到 ") +
                          formats.longDate(kNow.date());
    const CriteriaCase cases[] = {
        {"frm_QJCBook",
         [&](QueryScreen& s) {
             s.field(QStringLiteral("CheckBox1")).setValue(true);
             s.field(QStringLiteral("Edit1")).setValue(QStringLiteral(" B1\t"));
             s.field(QStringLiteral("CheckBox5")).setValue(true);
             // Reversed: the printout shows the corrected range.
             s.field(QStringLiteral("DateTimePicker1")).setValue(kNow);
             s.field(QStringLiteral("DateTimePicker2")).setValue(QDateTime(day1, QTime(8, 0)));
             s.field(QStringLiteral("CheckBox6")).setValue(true);
         },
         "图书编号 = “B1”；借出日期%1；图书超期未还"},
        {"frm_QallBook",
         [](QueryScreen& s) {
             s.field(QStringLiteral("RadioGroup1")).setValue(1);
             s.field(QStringLiteral("CheckBox2")).setValue(true);
             s.field(QStringLiteral("Edit1")).setValue(QStringLiteral("史"));
             s.field(QStringLiteral("CheckBox6")).setValue(true);
         },
         "图书名称 包含 “史”；按借阅次数递减排序"},
        {"frm_QallReader",
         [](QueryScreen& s) {
             s.field(QStringLiteral("CheckBox1")).setValue(true);
             s.field(QStringLiteral("CheckBox7")).setValue(false);
         },
         "读者类型 = “包月”"},
        {"frm_QallMoney",
         [&](QueryScreen& s) {
             s.field(QStringLiteral("CheckBox1")).setValue(true);
             s.field(QStringLiteral("ComboBox1")).setValue(QStringLiteral("admin"));
             s.field(QStringLiteral("CheckBox2")).setValue(true);
             s.field(QStringLiteral("DateTimePicker1")).setValue(QDateTime(day1, QTime(0, 0)));
         },
         "操作人员 = “admin”；操作日期%1"},
    };
    for (const CriteriaCase& c : cases) {
        QueryScreen& s = screen(QString::fromUtf8(c.screen));
        SCOPED_TRACE(c.screen);
        s.FormShow();
        c.set(s);
        s.run(QStringLiteral("Button2Click"));
        ASSERT_GT(s.results().rowCount(), 0)
            << prompter.texts().join(QLatin1Char('|')).toStdString();
        // What is ticked after the listing was made does not belong to it.
        Field& first = s.field(s.definition().criteria.front().checkBox);
        first.setValue(!first.checked());
        s.run(QStringLiteral("Button4Click"));
        ASSERT_FALSE(prompter.printed().empty());
        EXPECT_EQ(prompter.printed().back().printout.headLines.first(),
                  QStringLiteral("查询条件：") +
                      QString::fromUtf8(c.words).replace(QStringLiteral("%1"), range));
    }
}

TEST_F(ExportAndPrint, AListingTooLongForPaperIsSentToTheExport) {
    {
        Transaction transaction(db());
        for (int i = 0; i < QueryScreen::kPrintLimit - 2; ++i)
            ledger(QStringLiteral("缴费充值"), kNow.addSecs(-i), 1);
        transaction.commit();
    }
    QueryScreen& money = screen(QStringLiteral("frm_QallMoney"));
    money.FormShow();
    ASSERT_EQ(money.results().rowCount(), QueryScreen::kPrintLimit);
    money.run(QStringLiteral("Button4Click"));
    EXPECT_EQ(prompter.printed().size(), 1u);

    ledger(QStringLiteral("缴费充值"), kNow, 1);
    money.run(QStringLiteral("Button2Click"));
    prompter.clear();
    money.run(QStringLiteral("Button4Click"));
    EXPECT_EQ(prompter.printed().size(), 1u);
    EXPECT_EQ(prompter.single(),
              QStringLiteral("共 5001 条记录，超过一次打印的上限 5000 条。") + kCR + kCR +
                  QStringLiteral("请缩小查询范围后再打印，或用“导出”保存全部记录。"));
}

TEST_F(ExportAndPrint, AFailedRunLeavesTheListingShownWithItsCriteriaAndTotals) {
    QueryScreen& money = screen(QStringLiteral("frm_QallMoney"));
    money.FormShow();
    money.field(QStringLiteral("CheckBox1")).setValue(true);
    failing.failOn(QStringLiteral("资金"));
    money.run(QStringLiteral("Button2Click"));
    failing.clear();
    ASSERT_EQ(prompter.lastText(), QStringLiteral("连接数据库出错!"));
    money.run(QStringLiteral("Button4Click"));
    ASSERT_FALSE(prompter.printed().empty());
    const Printout& p = prompter.printed().back().printout;
    EXPECT_EQ(p.headLines.first(), QStringLiteral("查询条件：全部记录"));
    ASSERT_EQ(p.lines.size(), 7u);
    EXPECT_EQ(p.lines[1].value, QStringLiteral("3.75"));
}

} // namespace
} // namespace lms
