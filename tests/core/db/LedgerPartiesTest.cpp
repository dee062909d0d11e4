// Every ledger record names the reader and book it is about: the writers of each operation fill
// both columns, and a shop of version 2 gets them from the log records of the same operations.
#include "admin/DataClearing.h"
#include "circulation/LoanStore.h"
#include "core/DateRules.h"
#include "core/LedgerBackfill.h"
#include "core/Schema.h"
#include "core/Startup.h"
#include "core/screens/SuperUserSetup.h"
#include "datagen/ShopGenerator.h"
#include "readers/ReaderStore.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/TableRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <functional>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

const QString kClerk = QStringLiteral("admin");

class LedgerParties : public ::testing::Test {
public:
    LedgerParties() {
        test::addReader(db(), QStringLiteral("R01"), {{QStringLiteral("未还数量"), 1}});
        test::addReader(db(), QStringLiteral("R02"), {{QStringLiteral("押金"), 20.5}});
        test::addBook(db(), QStringLiteral("B 01"),
                      {{QStringLiteral("当前状态"), QStringLiteral("已借出")}});
        test::addLoan(db(), QStringLiteral("B 01"), QStringLiteral("R01"),
                      {{QStringLiteral("借出日期"), Dates::toStorage(at(2026, 3, 1, 9, 0))}});
    }

    Database& db() { return shop.dm->db(); }
    Readers::ReaderRecord reader(const QString& id) {
        return Readers::loadReader(db(), id).value_or(Readers::ReaderRecord());
    }

    void registerReader(const QString& id, const QDateTime& now) {
        ASSERT_TRUE(Readers::addReader(*shop.dm, test::newReader(id), kClerk, now));
    }
    void payFor(const QString& id, const QDateTime& now) {
        const Readers::ReaderRecord loaded = reader(id);
        ASSERT_TRUE(Readers::pay(*shop.dm,
                                 {.loaded = loaded,
                                  .type = loaded.type,
                                  .maxBooks = loaded.maxBooks,
                                  .maxDays = loaded.maxDays,
                                  .remark = loaded.remark,
                                  .validity = at(2026, 6, 1),
                                  .rent = 20,
                                  .depositChange = 10,
                                  .depositChangeText = QStringLiteral("10")},
                                 kClerk, now));
    }
    void giveBack(const QDateTime& now) {
        Circulation::Returning returning;
        returning.desk.reader = reader(QStringLiteral("R01"));
        returning.readerName = returning.desk.reader.name;
        returning.bookId = QStringLiteral("B 01");
        returning.bookTitle = QStringLiteral("三国演义");
        returning.lentAt = at(2026, 3, 1, 9, 0);
        returning.amounts = {.fine = 1, .rent = 0, .compensation = 0, .total = 1};
        returning.user = kClerk;
        returning.now = now;
        ASSERT_EQ(Circulation::giveBack(*shop.dm, returning), Circulation::ReturnOutcome::Returned);
    }
    void deleteReader(const QString& id, const QDateTime& now) {
        ASSERT_TRUE(Readers::deleteReader(*shop.dm, reader(id), kClerk, now).deleted);
    }
    void clearWithSummary(const QDateTime& now) {
        ASSERT_TRUE(DataClearing::clearLedger(*shop.dm, true, kClerk, now));
    }

    // The ledger's event, reader and book, row by row.
    QStringList ledger() { return ledgerOf(db()); }
    static QStringList ledgerOf(Database& db) {
        return test::joinedRows(
            db, QStringLiteral("资金"),
            {QStringLiteral("事件"), QStringLiteral("读者编号"), QStringLiteral("图书编号")});
    }

    test::ShopDatabase shop;
};

TEST_F(LedgerParties, EachWriterNamesTheReaderAndBookOfItsRecord) {
    struct Case {
        const char* operation;
        std::function<void(LedgerParties&, const QDateTime&)> run;
        QString row; // the last ledger row: event|reader|book
    };
    const std::vector<Case> cases = {
        {"registration",
         [](LedgerParties& t, const QDateTime& now) {
             t.registerReader(QStringLiteral("R 03"), now);
         },
         QStringLiteral("添加读者|R 03|")},
        {"payment",
         [](LedgerParties& t, const QDateTime& now) { t.payFor(QStringLiteral("R02"), now); },
         QStringLiteral("缴费充值|R02|")},
        {"return", [](LedgerParties& t, const QDateTime& now) { t.giveBack(now); },
         QStringLiteral("读者还书|R01|B 01")},
        {"deletion",
         [](LedgerParties& t, const QDateTime& now) { t.deleteReader(QStringLiteral("R02"), now); },
         QStringLiteral("删除读者退回押金|R02|")},
        {"summary", [](LedgerParties& t, const QDateTime& now) { t.clearWithSummary(now); },
         QStringLiteral("资金汇总||")},
    };
    int minute = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        c.run(*this, at(2026, 3, 10, 9, ++minute));
        ASSERT_FALSE(ledger().isEmpty());
        EXPECT_EQ(ledger().last(), c.row);
    }
}

// A shop of version 2 holding another shop's log and ledger as the program kept them before the
// ledger named readers and books (the records are those of the other shop's operations); its
// data module connects when the test says.
struct VersionTwoShop {
    explicit VersionTwoShop(Database& from) {
        pub.AppPath = folder.path();
        dm = std::make_unique<Tdm_Dbase>(pub);
        Database old;
        if (!test::testServer().isEmpty()) {
            server = std::make_unique<test::ServerDatabase>();
            dm->useServer(server->connectionString());
            old.openServer(server->connectionString());
        } else {
            old.open(folder.databasePath(), Tdm_Dbase::kPassword,
                     Database::OpenMode::CreateIfMissing);
        }
        Transaction transaction(old);
        Schema::createEmpty(old, 2);
        for (int i = 0; i < 11; ++i)
            old.exec(QStringLiteral("INSERT INTO sysset DEFAULT VALUES"));
        for (const QString& table : {QStringLiteral("日志"), QStringLiteral("资金")}) {
            for (QVariantMap row : test::tableRows(from, table)) {
                for (const QString& column : {QStringLiteral("rowid"), QStringLiteral("读者编号"),
                                              QStringLiteral("图书编号")})
                    row.remove(column);
                test::insertRow(old, table, row);
            }
        }
        transaction.commit();
    }

    test::TempProgramFolder folder;
    std::unique_ptr<test::ServerDatabase> server;
    PubData pub;
    std::unique_ptr<Tdm_Dbase> dm;
};

TEST_F(LedgerParties, AShopOfVersionTwoGetsTheReadersAndBooksTheLogNamesAndCountsTheRest) {
    test::addLedger(db(), QStringLiteral("缴费充值"));
    clearWithSummary(at(2026, 3, 9, 8, 0));
    // An id with a space, a backslash and a tab reaches its record unchanged.
    const QString odd = QStringLiteral("R \\0\t3");
    registerReader(odd, at(2026, 3, 10, 9, 1));
    payFor(QStringLiteral("R02"), at(2026, 3, 10, 9, 2));
    giveBack(at(2026, 3, 10, 9, 3));
    deleteReader(QStringLiteral("R02"), at(2026, 3, 10, 9, 4));
    // A ledger record without its log record, and two payments of one clerk at one moment whose
    // log records name two readers: the log cannot tell which is whose.
    test::addLedger(db(), QStringLiteral("缴费充值"),
                    {{QStringLiteral("时间"), Dates::toStorage(at(2026, 3, 10, 9, 5))}});
    const QString same = Dates::toStorage(at(2026, 3, 10, 9, 6));
    for (const QString& id : {QStringLiteral("R01"), odd}) {
        test::addLedger(db(), QStringLiteral("缴费充值"),
                        {{QStringLiteral("时间"), same}, {QStringLiteral("操作者"), kClerk}});
        shop.dm->appendLog(QStringLiteral("缴费充值"), kClerk, Dates::fromStorage(same),
                           QStringLiteral("读者编号：") + id +
                               QStringLiteral(" 总金额：5 押金增减：0"));
    }
    VersionTwoShop old(db());

    old.dm->connect();
    EXPECT_EQ(old.dm->db().userVersion(), 3);
    EXPECT_EQ(old.dm->lastUpgrade().ledgerRowsUnnamed, 3);
    EXPECT_EQ(ledgerOf(old.dm->db()),
              (QStringList{QStringLiteral("资金汇总||"),
                           QStringLiteral("添加读者|") + odd + QStringLiteral("|"),
                           QStringLiteral("缴费充值|R02|"), QStringLiteral("读者还书|R01|B 01"),
                           QStringLiteral("删除读者退回押金|R02|"), QStringLiteral("缴费充值||"),
                           QStringLiteral("缴费充值||"), QStringLiteral("缴费充值||")}));
    // On a server the added columns compare byte by byte, as every text column there does.
    if (!old.dm->db().isFile()) {
        for (const char* column : {"读者编号", "图书编号"})
            EXPECT_EQ(old.dm->db()
                          .scalar(QStringLiteral("SELECT collation_name FROM "
                                                 "information_schema.columns WHERE table_name = "
                                                 "'资金' AND column_name = ?"),
                                  {QString::fromUtf8(column)})
                          .toString(),
                      QStringLiteral("C"))
                << column;
    }
    // The next start finds nothing to do.
    old.dm->disconnect();
    old.dm->connect();
    EXPECT_EQ(old.dm->lastUpgrade().ledgerRowsUnnamed, 0);
}

// Records are named in batches: every one of more than two batches gets its own reader.
TEST_F(LedgerParties, EveryRecordOfALongLedgerGetsItsOwnReader) {
    QStringList expected;
    {
        Transaction batch(db());
        for (int i = 0; i < 250; ++i) {
            const QDateTime when = at(2026, 3, 1).addSecs(i);
            const QString reader = QStringLiteral("R%1").arg(i);
            test::addLedger(db(), QStringLiteral("缴费充值"),
                            {{QStringLiteral("时间"), Dates::toStorage(when)}});
            shop.dm->appendLog(QStringLiteral("缴费充值"), kClerk, when,
                               QStringLiteral("读者编号：") + reader +
                                   QStringLiteral(" 总金额：5 押金增减：0"));
            expected << QStringLiteral("缴费充值|") + reader + QLatin1Char('|');
        }
        batch.commit();
    }
    VersionTwoShop old(db());
    old.dm->connect();
    EXPECT_EQ(old.dm->lastUpgrade().ledgerRowsUnnamed, 0);
    EXPECT_EQ(ledgerOf(old.dm->db()), expected);
}

// A shop as the generator makes it, each record beside its operation's log record in that
// operation's words: the migration gives every record back the reader and book it had.
TEST_F(LedgerParties, AGeneratedShopOfVersionTwoGetsEveryRecordsReaderAndBookBack) {
    test::TempProgramFolder generated;
    datagen::generateShop(generated.path(),
                          {.books = 300,
                           .readers = 120,
                           .openLoans = 20,
                           .ledgerRows = 3'000,
                           .logRows = 500,
                           .historyRows = 200},
                          at(2026, 3, 1));
    Database from;
    from.open(generated.databasePath(), Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
    const QStringList expected = ledgerOf(from);
    ASSERT_EQ(expected.size(), 3'000);
    VersionTwoShop old(from);
    old.dm->connect();
    EXPECT_EQ(old.dm->lastUpgrade().ledgerRowsUnnamed, 0);
    EXPECT_EQ(ledgerOf(old.dm->db()), expected);
}

TEST_F(LedgerParties, TheStartOfAShopOfVersionTwoTellsTheClerkHowManyRecordsTheLogDidNotName) {
    test::addLedger(db(), QStringLiteral("缴费充值"));
    test::addLedger(db(), QStringLiteral("读者还书"));
    VersionTwoShop old(db());
    test::ScriptedPrompter prompter;
    test::ScriptedHost host;
    SuperUserSetup setup(*old.dm, prompter);
    Startup startup(*old.dm, prompter, host, setup);
    ASSERT_TRUE(startup.openDatabase());
    EXPECT_EQ(prompter.single(), Startup::ledgerRowsUnnamed(2));
    EXPECT_TRUE(prompter.single().contains(QStringLiteral("2条")));
}

TEST(LedgerBackfill, ReadsTheIdsOfEachOperationsLogRecordWhole) {
    struct Case {
        QString event, explanation;
        std::optional<QString> reader, book;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("添加读者"),
         QStringLiteral("读者编号：R 1  读者姓名：王 五  读者类型：包月 押金(元)：5总计(元)：5"),
         QStringLiteral("R 1"), QString()},
        {QStringLiteral("缴费充值"), QStringLiteral("读者编号：R2 总金额：30 押金增减：0"),
         QStringLiteral("R2"), QString()},
        {QStringLiteral("读者归书"),
         QStringLiteral("读者编号：R3 图书编号：B 3 图书已破损或遗失, 缴纳费用总计：9.00元,"),
         QStringLiteral("R3"), QStringLiteral("B 3")},
        {QStringLiteral("读者归书"),
         QStringLiteral("读者编号：R4 图书编号：B4 缴纳费用总计：0.00元, 已从押金中扣除。"),
         QStringLiteral("R4"), QStringLiteral("B4")},
        {QStringLiteral("删除读者"), QStringLiteral(" 被删除的读者编号：R 5"),
         QStringLiteral("R 5"), QString()},
        {QStringLiteral("删除读者"), QStringLiteral("被删除的读者编号"), std::nullopt,
         std::nullopt},
        {QStringLiteral("缴费充值"), QStringLiteral("读者编号： 总金额：30"), std::nullopt,
         std::nullopt},
        {QStringLiteral("读者借书"), QStringLiteral("读者编号：R6 图书编号：B6"), std::nullopt,
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.explanation.toStdString());
        const std::optional<LedgerIds> ids = LedgerBackfill::idsOfLog(c.event, c.explanation);
        ASSERT_EQ(ids.has_value(), c.reader.has_value());
        if (ids) {
            EXPECT_EQ(ids->readerId, *c.reader);
            EXPECT_EQ(ids->bookId, *c.book);
        }
    }
}

} // namespace
} // namespace lms
