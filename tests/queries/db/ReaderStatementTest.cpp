// A reader's statement: the ledger records of one reader, oldest first, with the deposit balance
// after each, checked against the deposit stored with the reader; made through the desk's own
// screens, and opened from the reader listing and reader maintenance.
#include "admin/DataClearing.h"
#include "circulation/db/CirculationFixture.h"
#include "core/screens/Tfrm_Main.h"
#include "queries/ExportedCsv.h"
#include "queries/QueryScreens.h"
#include "readers/Tfrm_GGReader.h"
#include "readers/Tfrm_TJReader.h"

#include <QFile>
#include <cmath>
#include <functional>

namespace lms::test {
namespace {

class ReaderStatement : public CirculationTest {
protected:
    ReaderStatement() : main(*shop.dm, prompter, clock, host), queries(ctx, main) {}

    // The next operation a minute after the last, so the lines have their order by time.
    void nextMinute() { clock.set(clock.now().addSecs(60)); }

    void registerReader(const QString& id) {
        nextMinute();
        Tfrm_TJReader screen(ctx);
        screen.FormShow();
        screen.field(QStringLiteral("ID")).type(id);
        screen.field(QStringLiteral("xm")).type(QStringLiteral("张三"));
        screen.run(QStringLiteral("Button1Click"));
    }
    void lend(const QString& reader, const QString& book) {
        nextMinute();
        Tfrm_TZJBook screen(ctx);
        lendThroughScreen(screen, reader, book);
    }
    void giveBack(const QString& book, bool damagedFromDeposit) {
        nextMinute();
        Tfrm_TZJBook borrowing(ctx);
        Tfrm_TZHBook screen(ctx, borrowing);
        bringBack(screen, book);
        screen.field(QStringLiteral("psyx")).setValue(damagedFromDeposit);
        screen.field(QStringLiteral("cyjhz")).setValue(damagedFromDeposit);
        screen.Button1Click();
    }
    // A payment on the payment screen: the deposit as typed, in the type of this index.
    void pay(const QString& reader, int typeIndex, const QString& deposit) {
        nextMinute();
        Tfrm_JNZC screen(ctx);
        screen.FormShow();
        screen.field(QStringLiteral("ID")).type(reader);
        screen.field(QStringLiteral("tzrx")).setItemIndex(typeIndex);
        if (!deposit.isEmpty())
            screen.field(QStringLiteral("ZJYJ")).type(deposit);
        screen.Button2Click();
    }

    Tfrm_ZHMX& statement() { return queries.ZHMX; }
    QString shown(const char* name) { return statement().field(QString::fromUtf8(name)).text(); }
    // The listed cells of the column of this heading, row by row.
    QStringList column(const QString& heading) {
        QStringList cells;
        for (int row = 0; row < statement().results().rowCount(); ++row) {
            for (int c = 0; c < statement().results().columnCount(); ++c) {
                if (statement().results().headerData(c, Qt::Horizontal).toString() == heading)
                    cells << statement().results().cellText(row, c);
            }
        }
        return cells;
    }
    double storedDeposit(const QString& id) {
        return readerColumn(id, QStringLiteral("押金")).toDouble();
    }

    Tfrm_Main main;
    QueryScreens queries;
};

// Registration, two loans, a damaged book paid from the deposit, a return without charges, a
// top-up and a change to "按日租借" that settles the deposit: the lines add up to the stored
// deposit, to the cent after each line, amounts of single precision included.
TEST_F(ReaderStatement, TheLinesOfADesksDayAddUpToTheStoredDeposit) {
    addBook(QStringLiteral("B001"), {{QStringLiteral("价格"), QStringLiteral("35.5")}});
    addBook(QStringLiteral("B002"));
    registerReader(QStringLiteral("R001"));
    registerReader(QStringLiteral("R002")); // another reader's lines stay out
    lend(QStringLiteral("R001"), QStringLiteral("B001"));
    lend(QStringLiteral("R001"), QStringLiteral("B002"));
    giveBack(QStringLiteral("B001"), true);
    giveBack(QStringLiteral("B002"), false);
    pay(QStringLiteral("R001"), 0, QStringLiteral("15.1"));
    pay(QStringLiteral("R001"), 3, QString()); // the proposal brings the deposit back to 100
    ASSERT_DOUBLE_EQ(std::round(storedDeposit(QStringLiteral("R001")) * 100), 10000.0);
    prompter.clear();

    statement().showFor(QStringLiteral("R001"));

    EXPECT_TRUE(prompter.boxes().empty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(column(QStringLiteral("操作事件")),
              (QStringList{QStringLiteral("添加读者"), QStringLiteral("读者还书"),
                           QStringLiteral("读者还书"), QStringLiteral("缴费充值"),
                           QStringLiteral("缴费充值")}));
    EXPECT_EQ(column(QStringLiteral("图书编号")),
              (QStringList{QString(), QStringLiteral("B001"), QStringLiteral("B002"), QString(),
                           QString()}));
    EXPECT_EQ(column(QStringLiteral("操作人员")), QStringList(5, QStringLiteral("clerk")));
    EXPECT_EQ(
        column(QStringLiteral("押金")),
        (QStringList{QStringLiteral("100.00"), QStringLiteral("-35.50"), QStringLiteral("0.00"),
                     QStringLiteral("15.10"), QStringLiteral("20.40")}));
    EXPECT_EQ(
        column(QStringLiteral("押金余额")),
        (QStringList{QStringLiteral("100.00"), QStringLiteral("64.50"), QStringLiteral("64.50"),
                     QStringLiteral("79.60"), QStringLiteral("100.00")}));
    EXPECT_EQ(column(QStringLiteral("金额总计")),
              (QStringList{QStringLiteral("140.00"), QStringLiteral("0.00"), QStringLiteral("0.00"),
                           QStringLiteral("45.10"), QStringLiteral("20.40")}));
    EXPECT_EQ(column(QStringLiteral("破损遗失赔偿")).value(1), QStringLiteral("35.50"));
    EXPECT_EQ(column(QStringLiteral("操作时间")).value(0),
              RegionalFormats().dateTimeText(at(2026, 3, 14, 10, 31)));
    EXPECT_EQ(shown("Edit3"), QStringLiteral("100.00"));
    EXPECT_EQ(shown("tzxm"), QStringLiteral("张三"));
    EXPECT_EQ(shown("yj"), QStringLiteral("100.00"));
    EXPECT_EQ(shown("mxye"), QStringLiteral("100.00"));
    EXPECT_EQ(shown("ce"), QStringLiteral("0.00"));
    EXPECT_EQ(shown("hdsm"), QStringLiteral("押金相符：明细押金余额等于读者现有押金。"));
    EXPECT_EQ(shown("ID"), QStringLiteral("R001"));
}

// Where the stored deposit differs from the lines, the screen names the difference and what
// the ledger shows of its likely causes.
TEST_F(ReaderStatement, ADifferenceNamesItsLikelyCauses) {
    const QString imported = QStringLiteral("资金中没有该读者的“添加读者”记录");
    const QString unnamed = QStringLiteral("资金中有 1 条较早的记录没有记下读者编号");
    const QString cleared = QStringLiteral("资金曾被清空");
    struct Case {
        const char* shop;
        std::function<void()> make;
        QString mxye, ce;
        QStringList named, notNamed;
    };
    const std::vector<Case> cases = {
        {"a reader brought in by the import, with the earlier system's deposit",
         [this] {
             // The import writes the reader and no ledger record.
             addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), 80.25}});
         },
         QStringLiteral("0.00"),
         QStringLiteral("80.25"),
         {imported},
         {unnamed, cleared}},
        {"a ledger cleared since the registration, then a top-up",
         [this] {
             registerReader(QStringLiteral("R001"));
             ASSERT_TRUE(
                 DataClearing::clearLedger(*shop.dm, true, QStringLiteral("clerk"), clock.now()));
             pay(QStringLiteral("R001"), 0, QStringLiteral("5"));
         },
         QStringLiteral("5.00"),
         QStringLiteral("100.00"),
         {imported, cleared},
         {unnamed}},
        {"a registration recorded before the ledger named readers",
         [this] {
             registerReader(QStringLiteral("R001"));
             shop.dm->db().exec(QStringLiteral("UPDATE 资金 SET 读者编号 = ''"));
         },
         QStringLiteral("0.00"),
         QStringLiteral("100.00"),
         {imported, unnamed},
         {cleared}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shop);
        shop.dm->db().exec(QStringLiteral("DELETE FROM 资金"));
        shop.dm->db().exec(QStringLiteral("DELETE FROM 读者"));
        c.make();
        statement().showFor(QStringLiteral("R001"));
        EXPECT_EQ(shown("mxye"), c.mxye);
        EXPECT_EQ(shown("ce"), c.ce);
        const QString text = shown("hdsm");
        EXPECT_TRUE(text.startsWith(QStringLiteral("读者现有押金比明细押金余额多 ") + c.ce +
                                    QStringLiteral(" 元，可能的原因：")))
            << text.toStdString();
        for (const QString& cause : c.named)
            EXPECT_TRUE(text.contains(cause))
                << cause.toStdString() << " in " << text.toStdString();
        for (const QString& cause : c.notNamed)
            EXPECT_FALSE(text.contains(cause)) << cause.toStdString();
    }
    // The statement of a reader without lines says so, and still checks the deposit.
    EXPECT_EQ(prompter.boxes().front().text, QStringLiteral("资金中没有该读者的记录!"));
}

TEST_F(ReaderStatement, ADifferenceWithoutACauseInTheLedgerSaysSo) {
    registerReader(QStringLiteral("R001"));
    shop.dm->db().exec(QStringLiteral("UPDATE 读者 SET 押金 = 99.99"));
    statement().showFor(QStringLiteral("R001"));
    EXPECT_EQ(shown("ce"), QStringLiteral("-0.01"));
    EXPECT_EQ(shown("hdsm"),
              QStringLiteral("读者现有押金比明细押金余额少 0.01 元，可能的原因：") + QChar(13) +
                  QStringLiteral("· 资金中找不到差额的来由：押金可能在本程序之外被更改。"));
}

// Reader maintenance offers the statement only while a reader is looked up, and of that reader
// whatever the id field holds meanwhile; the reader listing of the row selected. The statement
// itself takes no other reader: its id is shown, not typed.
TEST_F(ReaderStatement, OpenedOnlyForTheReaderTheOpeningScreenShows) {
    registerReader(QStringLiteral("R001"));
    registerReader(QStringLiteral("R002"));
    EXPECT_EQ(statement().field(QStringLiteral("ID")).kind(), FieldKind::Label);
    QStringList opened;
    Tfrm_GGReader maintenance(ctx);
    maintenance.setStatementOpening([&opened](const QString& id) { opened << id; });
    maintenance.FormShow();
    EXPECT_FALSE(maintenance.Button3.isEnabled());
    maintenance.Button3Click();
    maintenance.ID.type(QStringLiteral("R002"));
    EXPECT_TRUE(maintenance.Button3.isEnabled());
    maintenance.ID.setValue(QStringLiteral("R00"));
    maintenance.Button3Click();
    maintenance.ID.type(QStringLiteral("R009"));
    EXPECT_FALSE(maintenance.Button3.isEnabled());
    maintenance.Button3Click();
    EXPECT_EQ(opened, QStringList{QStringLiteral("R002")});

    Tfrm_QallReader& listing = queries.QallReader;
    listing.FormShow();
    listing.field(QStringLiteral("StringGrid1")).setValue(0);
    host.script(QStringLiteral("frm_ZHMX"), [](FormModel& shownScreen) {
        EXPECT_EQ(shownScreen.field(QStringLiteral("ID")).text(), QStringLiteral("R001"));
    });
    listing.Button6Click();
    EXPECT_EQ(host.shown(), QStringList{QStringLiteral("frm_ZHMX")});
    EXPECT_EQ(column(QStringLiteral("操作事件")), QStringList{QStringLiteral("添加读者")});
}

// Ids are values, never patterns: a reader whose id holds a quote and the wildcards gets only
// the records of exactly that id.
TEST_F(ReaderStatement, AnIdOfQuoteAndWildcardsListsOnlyItsOwnRecords) {
    for (const QString& id : {QStringLiteral("R'%_"), QStringLiteral("R'%A")}) {
        addReader(id, {{QStringLiteral("押金"), 7.5}});
        shop.dm->WriteZJ(QStringLiteral("缴费充值"), QStringLiteral("clerk"), clock.now(), 7.5f, 0,
                         7.5f, 0, 0, 0, {.readerId = id, .bookId = QString()});
    }
    statement().showFor(QStringLiteral("R'%_"));
    EXPECT_EQ(column(QStringLiteral("押金余额")), QStringList{QStringLiteral("7.50")});
    EXPECT_EQ(shown("ce"), QStringLiteral("0.00"));
}

// A failure while the deposit is checked leaves the lines listed, the check empty, and says so.
TEST_F(ReaderStatement, AFailingCheckLeavesTheLinesAndSaysSo) {
    registerReader(QStringLiteral("R001"));
    prompter.clear();
    FailingStatements failing(shop.dm->db(), QStringLiteral("SELECT 读者姓名, 押金 FROM 读者"));
    statement().showFor(QStringLiteral("R001"));
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_EQ(column(QStringLiteral("押金余额")), QStringList{QStringLiteral("100.00")});
    EXPECT_EQ(shown("yj"), QString());
    EXPECT_EQ(shown("hdsm"), QString());
}

// Printed and exported as the listings are: the lines, the totals and the check beside them.
TEST_F(ReaderStatement, PrintsAndExportsTheLinesWithTheCheck) {
    registerReader(QStringLiteral("R001"));
    pay(QStringLiteral("R001"), 0, QStringLiteral("-0.5"));
    statement().showFor(QStringLiteral("R001"));
    statement().Button4Click();
    ASSERT_EQ(prompter.printed().size(), 1u);
    const Printout& printout = prompter.printed().back().printout;
    EXPECT_EQ(printout.title, QStringLiteral("读者账户明细"));
    EXPECT_EQ(printout.headLines.value(0), QStringLiteral("查询条件：读者编号 = “R001”"));
    EXPECT_EQ(prompter.printed().back().rows.value(1).last(), QStringLiteral("99.50"));
    QStringList lines;
    for (const PrintoutLine& line : printout.lines)
        lines << line.label + line.value;
    EXPECT_TRUE(lines.contains(QStringLiteral("明细押金余额(元)：99.50")))
        << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("押金相符：明细押金余额等于读者现有押金。")));

    TempProgramFolder folder;
    const QString path = folder.file(QStringLiteral("明细.csv"));
    prompter.answerSaveFile(path);
    statement().Button3Click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    bool strict = false;
    const QList<QStringList> records = readCsvFile(file.readAll(), &strict);
    EXPECT_TRUE(strict);
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0].last(), QStringLiteral("押金余额"));
    EXPECT_EQ(records[2].last(), QStringLiteral("99.50"));
    // The deposit's total stands under the deposit, not under the balance.
    EXPECT_EQ(records[3].value(7), QStringLiteral("99.50"));
    EXPECT_EQ(records[3].last(), QString());
}

} // namespace
} // namespace lms::test
