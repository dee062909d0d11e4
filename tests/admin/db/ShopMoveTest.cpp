// Moving a shop from the file to a server database and back: every row of every table in its
// order, checked, and nothing changed when a move is refused or fails part way.
#include "storage/ShopMove.h"
#include "core/NumberForms.h"
#include "core/Schema.h"
#include "storage/ShopMoveCommand.h"
#include "support/DatabaseDump.h"
#include "support/FailingStatements.h"
#include "support/Moments.h"
#include "support/ServerDatabase.h"
#include "support/ShopRows.h"
#include "support/TableRows.h"
#include "support/TempProgramFolder.h"

#include <QDir>
#include <gtest/gtest.h>
#include <optional>

namespace lms {
namespace {

using test::at;
using test::DatabaseDump;
using test::dumpDatabase;

QList<qint64> rowids(Database& db, const QString& table) {
    QList<qint64> ids;
    Query query(db, QStringLiteral("SELECT rowid FROM \"%1\" ORDER BY rowid").arg(table));
    while (query.next())
        ids << query.integer(0);
    return ids;
}

void expectSameShop(Database& moved, Database& original) {
    const DatabaseDump before = dumpDatabase(original);
    EXPECT_EQ(test::describeDifference(before, dumpDatabase(moved)).toStdString(), std::string());
    for (const QString& table : Schema::tableNames())
        EXPECT_EQ(rowids(moved, table), rowids(original, table)) << table.toStdString();
}

// Changes a database just before a statement holding `trigger` first runs on it.
class ChangeBefore {
public:
    ChangeBefore(Database& db, const QString& trigger, const QString& change)
        : db_(db), trigger_(trigger), change_(change) {
        db_.setStatementHook(&ChangeBefore::check, this);
    }
    ~ChangeBefore() { db_.setStatementHook(nullptr, nullptr); }
    ChangeBefore(const ChangeBefore&) = delete;
    ChangeBefore& operator=(const ChangeBefore&) = delete;

private:
    static void check(void* self, const QString& sql) {
        auto* me = static_cast<ChangeBefore*>(self);
        if (me->done_ || !sql.contains(me->trigger_))
            return;
        me->done_ = true;
        me->db_.exec(me->change_);
    }
    Database& db_;
    QString trigger_;
    QString change_;
    bool done_ = false;
};

// A shop in the encrypted file, with rows in every table (and gaps in the rowids where rows
// were deleted), and an empty database on the test server.
class ShopMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::testServer().isEmpty())
            GTEST_SKIP() << "runs with a test server (label server)";
        pub.AppPath = folder.path();
        dm.createDatabase(QStringLiteral("admin"), QStringLiteral("secret"));
        dm.connect();
        fillEveryTable();
        server.emplace();
        target.openServer(server->connectionString());
    }

    void fillEveryTable() {
        Database& db = dm.db();
        test::addReader(db, QStringLiteral("R001"));
        test::addReader(db, QStringLiteral("R002"));
        test::addReader(db, QStringLiteral("R003"),
                        {{QStringLiteral("读者姓名"), QStringLiteral("王小明")},
                         {QStringLiteral("押金"), -12.5},
                         {QStringLiteral("备注"), QVariant()}});
        db.scalar(QStringLiteral("DELETE FROM 读者 WHERE 读者编号 = ?"), {QStringLiteral("R002")});
        test::addBook(db, QStringLiteral("B001"),
                      {{QStringLiteral("当前状态"), QStringLiteral("已借出")},
                       {QStringLiteral("借阅次数"), 3}});
        test::addBook(db, QStringLiteral("B002"), {{QStringLiteral("附件"), QString()}});
        test::addLoan(db, QStringLiteral("B001"), QStringLiteral("R001"));
        test::addHistory(db, QStringLiteral("B002"), QStringLiteral("R003"),
                         {{QStringLiteral("备注"), QStringLiteral("破损或遗失")}});
        dm.appendLedger(QStringLiteral("添加读者"), QStringLiteral("admin"), at(2026, 3, 1, 9, 0),
                        {.total = 140.3f, .openingFee = 10, .deposit = 100, .rent = 30.3f},
                        {.readerId = QStringLiteral("R001"), .bookId = QString()});
        dm.appendLedger(QStringLiteral("删除读者"), QStringLiteral("admin"), at(2026, 3, 2, 9, 0),
                        {.total = -0.1f, .deposit = -0.1f},
                        {.readerId = QStringLiteral("R003"), .bookId = QStringLiteral("B002")});
        for (const QString& explanation :
             {QStringLiteral("O'Brien \"引号\" 😀"), QStringLiteral("deleted"), QString()})
            dm.appendLog(QStringLiteral("读者借书"), QStringLiteral("admin"), at(2026, 3, 3, 9, 0),
                         explanation);
        db.scalar(QStringLiteral("DELETE FROM 日志 WHERE 说明 = ?"), {QStringLiteral("deleted")});
        test::insertRow(
            db, QStringLiteral("管理员"),
            {{QStringLiteral("用户名"), QStringLiteral("clerk")}, {QStringLiteral("功能4"), 1}});
        db.scalar(QStringLiteral("DELETE FROM 图书类型 WHERE 图书类型名称 = ?"),
                  {QStringLiteral("科技")});
    }

    bool targetIsEmpty() {
        const DatabaseDump dump = dumpDatabase(target);
        return dump.tables.isEmpty() && dump.userVersion == 0;
    }

    test::TempProgramFolder folder;
    PubData pub;
    Tdm_Dbase dm{pub};
    std::optional<test::ServerDatabase> server;
    Database target;
};

TEST_F(ShopMoveTest, AShopMovesToTheServerAndBackRowForRowKeepingItsRowids) {
    const ShopMove::Moved moved = ShopMove::toServer(folder.path(), target);
    expectSameShop(target, dm.db());
    ASSERT_EQ(moved.tables.size(), Schema::tableNames().size());
    for (const ShopMove::TableRows& table : moved.tables)
        EXPECT_EQ(table.rows, rowids(dm.db(), table.table).size()) << table.table.toStdString();
    ASSERT_TRUE(moved.ledger);
    EXPECT_EQ(Numbers::twoDecimalForm(moved.ledger->total), QStringLiteral("140.20"));
    EXPECT_EQ(Numbers::twoDecimalForm(moved.ledger->deposit), QStringLiteral("99.90"));

    test::TempProgramFolder back;
    ShopMove::toFile(target, back.path());
    Database file;
    file.open(back.databasePath(), Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
    expectSameShop(file, dm.db());
    EXPECT_EQ(QDir(back.path()).entryList(QDir::Files), QStringList{Tdm_Dbase::kFileName});
}

// A file of version 2 arrives in the current version: its ledger records get the readers their
// log records name, and the move says how many it could not name.
TEST_F(ShopMoveTest, AFileOfVersionTwoArrivesInTheCurrentVersionWithItsLedgerNamed) {
    test::TempProgramFolder older;
    {
        Database old;
        old.open(older.databasePath(), Tdm_Dbase::kPassword, Database::OpenMode::CreateIfMissing);
        Schema::createEmpty(old, 2);
        for (int i = 0; i < 11; ++i)
            old.exec(QStringLiteral("INSERT INTO sysset DEFAULT VALUES"));
        const QString when = QStringLiteral("2026-03-14 10:30:00.000");
        test::insertRow(old, QStringLiteral("日志"),
                        {{QStringLiteral("事件"), QStringLiteral("删除读者")},
                         {QStringLiteral("时间"), when},
                         {QStringLiteral("操作者"), QStringLiteral("admin")},
                         {QStringLiteral("说明"), QStringLiteral(" 被删除的读者编号：R 9")}});
        for (const char* time : {"2026-03-14 10:30:00.000", "2026-03-15 10:30:00.000"})
            test::insertRow(old, QStringLiteral("资金"),
                            {{QStringLiteral("事件"), QStringLiteral("删除读者退回押金")},
                             {QStringLiteral("时间"), QString::fromUtf8(time)},
                             {QStringLiteral("操作者"), QStringLiteral("admin")},
                             {QStringLiteral("金额总计"), -5.0},
                             {QStringLiteral("押金"), -5.0}});
    }
    const ShopMove::Moved moved = ShopMove::toServer(older.path(), target);
    EXPECT_EQ(target.userVersion(), Schema::currentVersion());
    EXPECT_EQ(moved.ledgerRowsUnnamed, 1);
    EXPECT_TRUE(ShopMove::describe(moved).contains(QStringLiteral("资金中有1条记录")));
    EXPECT_EQ(test::joinedRows(target, QStringLiteral("资金"),
                               {QStringLiteral("时间"), QStringLiteral("读者编号")}),
              (QStringList{QStringLiteral("2026-03-14 10:30:00.000|R 9"),
                           QStringLiteral("2026-03-15 10:30:00.000|")}));
}

TEST_F(ShopMoveTest, TheProgramOpensTheMovedShopAndWritesAfterTheMovedRows) {
    ShopMove::toServer(folder.path(), target);
    const qint64 lastMoved = rowids(dm.db(), QStringLiteral("日志")).last();
    PubData desk;
    Tdm_Dbase onServer(desk);
    onServer.useServer(server->connectionString());
    onServer.connect();
    EXPECT_TRUE(onServer.ReadSysSet());
    onServer.appendLog(QStringLiteral("读者还书"), QStringLiteral("admin"), at(2026, 3, 4), {});
    EXPECT_EQ(rowids(target, QStringLiteral("日志")).last(), lastMoved + 1);
}

TEST_F(ShopMoveTest, ATargetHoldingAnyShopTableIsRefusedAndLeftAsItWas) {
    target.exec(QStringLiteral("CREATE TABLE 图书类型 (图书类型名称 TEXT NOT NULL)"));
    test::insertRow(target, QStringLiteral("图书类型"),
                    {{QStringLiteral("图书类型名称"), QStringLiteral("诗歌")}});
    const DatabaseDump before = dumpDatabase(target);
    try {
        ShopMove::toServer(folder.path(), target);
        FAIL() << "moved into a database that holds a table of a shop";
    } catch (const ShopMove::Failure& failure) {
        EXPECT_TRUE(failure.message().contains(QStringLiteral("不是空的（已有表：图书类型）")))
            << failure.what();
    }
    EXPECT_EQ(test::describeDifference(before, dumpDatabase(target)).toStdString(), std::string());

    // Back to a folder that already holds a shop file: the file stays byte for byte.
    dm.disconnect();
    const QByteArray file = folder.readFile(Tdm_Dbase::kFileName);
    EXPECT_THROW(ShopMove::toFile(target, folder.path()), ShopMove::Failure);
    EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), file);
}

TEST_F(ShopMoveTest, AFailureInTheMiddleOfTheCopyLeavesNothingMoved) {
    {
        test::FailingStatements faults(target, QStringLiteral("INSERT INTO \"日志\""));
        EXPECT_THROW(ShopMove::toServer(folder.path(), target), ShopMove::Failure);
        EXPECT_EQ(faults.failures(), 1);
    }
    EXPECT_TRUE(targetIsEmpty());

    ShopMove::toServer(folder.path(), target);
    test::TempProgramFolder back;
    {
        test::FailingStatements faults(target, QStringLiteral("FROM \"日志\""));
        EXPECT_THROW(ShopMove::toFile(target, back.path()), ShopMove::Failure);
        EXPECT_EQ(faults.failures(), 1);
    }
    EXPECT_TRUE(QDir(back.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ShopMoveTest, ACopyThatDiffersFromItsSourceIsUndone) {
    const struct {
        const char* trigger;
        const char* change;
        const char* named;
    } differences[] = {
        {"count(*) FROM \"日志\"", "DELETE FROM 日志 WHERE rowid = (SELECT max(rowid) FROM 日志)",
         "核对不符：表“日志”原有2行，移动后有1行。"},
        // The ledger's sums, read once the rows are copied.
        {"SELECT 金额总计", "UPDATE 资金 SET 押金 = 押金 + 1", "核对不符：资金的合计"},
    };
    for (const auto& difference : differences) {
        ChangeBefore change(target, QString::fromUtf8(difference.trigger),
                            QString::fromUtf8(difference.change));
        try {
            ShopMove::toServer(folder.path(), target);
            FAIL() << "a copy that differs was kept: " << difference.named;
        } catch (const ShopMove::Failure& failure) {
            EXPECT_TRUE(failure.message().startsWith(QString::fromUtf8(difference.named)))
                << failure.what();
        }
        EXPECT_TRUE(targetIsEmpty()) << difference.named;
    }
}

TEST_F(ShopMoveTest, TextHoldingUPlus0000IsRefusedByTableRowAndColumn) {
    dm.appendLog(QStringLiteral("读者借书"), QStringLiteral("admin"), at(2026, 3, 5),
                 QStringLiteral("前") + QChar(u'\0') + QStringLiteral("后"));
    try {
        ShopMove::toServer(folder.path(), target);
        FAIL() << "a text holding U+0000 was moved";
    } catch (const ShopMove::Failure& failure) {
        EXPECT_TRUE(
            failure.message().startsWith(QStringLiteral("表“日志”第3行的“说明”含有字符U+0000")))
            << failure.what();
    }
    EXPECT_TRUE(targetIsEmpty());
}

TEST_F(ShopMoveTest, AFileOfANewerVersionOrOfAnotherProgramIsRefused) {
    const int newer = Schema::currentVersion() + 1;
    dm.db().setUserVersion(newer);
    try {
        ShopMove::toServer(folder.path(), target);
        FAIL() << "a file of a newer version was moved";
    } catch (const ShopMove::Failure& failure) {
        EXPECT_EQ(failure.message(),
                  QStringLiteral("要移动的数据库的版本（%1）比本程序的（%2）新，请先更新程序。")
                      .arg(newer)
                      .arg(newer - 1));
    }
    dm.disconnect();
    folder.writeFile(Tdm_Dbase::kFileName, QByteArray(4096, 'x'));
    try {
        ShopMove::toServer(folder.path(), target);
        FAIL() << "a foreign file was moved";
    } catch (const ShopMove::Failure& failure) {
        EXPECT_EQ(failure.message(),
                  QStringLiteral("要移动的数据库不是本系统的数据库，或者已经损坏。"));
    }
    EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), QByteArray(4096, 'x'));
    EXPECT_TRUE(targetIsEmpty());
}

TEST_F(ShopMoveTest, TheCommandTellsWhatItMovedAndRefusesToOverwrite) {
    QString said;
    QString complaints;
    QTextStream out(&said);
    QTextStream err(&complaints);
    const QString lms = QStringLiteral("lms_move");
    EXPECT_EQ(ShopMoveCommand::run({lms, QStringLiteral("to-server"), QStringLiteral("--folder"),
                                    folder.path(), server->connectionString()},
                                   QStringLiteral("/nonexistent/"), out, err),
              0);
    EXPECT_TRUE(said.contains(QStringLiteral("\n  日志：2 行\n"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("资金合计：金额总计 140.20 元")))
        << said.toStdString();

    // Back into the folder the file is still in, with the connection in its server settings.
    folder.writeFile(QStringLiteral("server.conf"), server->connectionString().toUtf8());
    EXPECT_EQ(ShopMoveCommand::run({lms, QStringLiteral("to-file")}, folder.path(), out, err), 1);
    EXPECT_TRUE(complaints.contains(QStringLiteral("已有数据库文件"))) << complaints.toStdString();
    EXPECT_TRUE(complaints.endsWith(QStringLiteral(
        "没有移动任何数据，服务器上的数据库保持原样，也没有生成新的数据库文件。\n")));
}

TEST(ShopMoveCommand, APasswordOrAnUnknownCommandIsRefusedWithoutConnecting) {
    QString said;
    QString complaints;
    QTextStream out(&said);
    QTextStream err(&complaints);
    const QString lms = QStringLiteral("lms_move");
    EXPECT_EQ(ShopMoveCommand::run({lms, QStringLiteral("to-server"),
                                    QStringLiteral("host=/nonexistent-lms-socket password=x")},
                                   QStringLiteral("/nonexistent/"), out, err),
              1);
    EXPECT_TRUE(complaints.contains(QStringLiteral("~/.pgpass"))) << complaints.toStdString();
    complaints.clear();
    EXPECT_EQ(
        ShopMoveCommand::run({lms, QStringLiteral("sideways")}, QStringLiteral("/"), out, err), 2);
    EXPECT_TRUE(complaints.startsWith(ShopMoveCommand::usage()));
    EXPECT_TRUE(said.isEmpty());
}

} // namespace
} // namespace lms
