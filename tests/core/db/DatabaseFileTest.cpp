// The database file: encrypted with the program's password, refused without touching it when it
// is not ours, and written in whole transactions.
#include "core/Schema.h"
#include "core/Tdm_Dbase.h"
#include "support/ServerDatabase.h"
#include "support/TableRows.h"
#include "support/TempProgramFolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lms {
namespace {

using test::ShopDatabase;
using test::TempProgramFolder;

TEST(DatabaseFile, IsUnreadableWithoutThePasswordAndReadableWithIt) {
    LMS_FILE_ENGINE_ONLY();
    ShopDatabase shop;
    shop.dm->disconnect();
    const QByteArray bytes = shop.folder.readFile(Tdm_Dbase::kFileName);
    ASSERT_GT(bytes.size(), 1024);
    EXPECT_FALSE(bytes.startsWith("SQLite format 3"));
    EXPECT_FALSE(bytes.contains("管理员"));

    Database withoutKey;
    EXPECT_THROW(
        withoutKey.open(shop.folder.databasePath(), QByteArray(), Database::OpenMode::ExistingOnly),
        DbError);
    Database wrongKey;
    EXPECT_THROW(
        wrongKey.open(shop.folder.databasePath(), "QZD!(#((*)?", Database::OpenMode::ExistingOnly),
        DbError);
    Database rightKey;
    rightKey.open(shop.folder.databasePath(), Tdm_Dbase::kPassword,
                  Database::OpenMode::ExistingOnly);
    EXPECT_TRUE(rightKey.hasTable(QStringLiteral("管理员")));
}

// A shop of the first version (no index on the borrowing history) gains them when opened, rows
// kept.
TEST(DatabaseFile, AFileOfTheFirstVersionIsUpgradedWhenOpened) {
    LMS_FILE_ENGINE_ONLY();
    TempProgramFolder folder;
    {
        Database old;
        old.open(folder.databasePath(), Tdm_Dbase::kPassword, Database::OpenMode::CreateIfMissing);
        Schema::createEmpty(old, 1);
        old.exec(QStringLiteral("INSERT INTO 图书借阅历史记录 (图书编号) VALUES ('B1')"));
    }
    PubData pub;
    pub.AppPath = folder.path();
    Tdm_Dbase dm(pub);
    dm.connect();
    EXPECT_EQ(dm.db().userVersion(), Schema::currentVersion());
    EXPECT_EQ(dm.db()
                  .scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                                         "AND tbl_name = '图书借阅历史记录'"))
                  .toInt(),
              3);
    EXPECT_EQ(dm.db().scalar(QStringLiteral("SELECT count(*) FROM 图书借阅历史记录")).toInt(), 1);
}

TEST(DatabaseFile, NewFileHoldsTheTablesSettingsBookTypesAndSuperUser) {
    LMS_FILE_ENGINE_ONLY();
    ShopDatabase shop;
    for (const QString& table : Schema::tableNames())
        EXPECT_TRUE(shop.dm->db().hasTable(table)) << table.toStdString();
    EXPECT_EQ(shop.dm->db().userVersion(), Schema::currentVersion());
    EXPECT_EQ(shop.count(QStringLiteral("sysset")), 11);
    EXPECT_EQ(shop.count(QStringLiteral("图书类型")), Schema::defaultBookTypes().size());
    EXPECT_EQ(shop.count(QStringLiteral("管理员")), 1);

    Query superUser(shop.dm->db(), QStringLiteral("SELECT * FROM 管理员 ORDER BY rowid"));
    ASSERT_TRUE(superUser.next());
    EXPECT_EQ(superUser.text(0), ShopDatabase::kSuperUser);
    EXPECT_NE(superUser.text(1), ShopDatabase::kSuperPassword) << "password stored as plain text";
    for (int n = 1; n <= 23; ++n)
        EXPECT_EQ(superUser.integer(2 + n), 1) << "功能" << n;

    // Commits go to the write-ahead log beside the file (one sync each).
    EXPECT_EQ(shop.dm->db().scalar(QStringLiteral("PRAGMA journal_mode")).toString(),
              QStringLiteral("wal"));
    EXPECT_FALSE(QFile::exists(shop.folder.databasePath() + QStringLiteral(".new")));
}

TEST(DatabaseFile, UniqueIdsAreHeldByTheEngine) {
    ShopDatabase shop;
    Database& db = shop.dm->db();
    const QString insertReader = QStringLiteral("INSERT INTO 读者 (读者编号) VALUES (?)");
    Query(db, insertReader).bind(1, QStringLiteral("001")).exec();
    // Ids are whole strings: "1" is another reader than "001".
    EXPECT_NO_THROW(Query(db, insertReader).bind(1, QStringLiteral("1")).exec());
    EXPECT_THROW(Query(db, insertReader).bind(1, QStringLiteral("001")).exec(), DbError);
    EXPECT_THROW(Query(db, QStringLiteral("INSERT INTO 管理员 (用户名) VALUES (?)"))
                     .bind(1, ShopDatabase::kSuperUser)
                     .exec(),
                 DbError);
    EXPECT_THROW(Query(db, QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES (?)"))
                     .bind(1, Schema::defaultBookTypes().first())
                     .exec(),
                 DbError);
}

TEST(DatabaseFile, TransactionStoresAllOrNothingAndNestsAsSavepoints) {
    ShopDatabase shop;
    Database& db = shop.dm->db();
    const auto log = [&](const QString& event) {
        shop.dm->appendLog(event, QStringLiteral("u"), QDateTime::currentDateTime(), QString());
    };
    {
        Transaction outer(db);
        log(QStringLiteral("kept"));
        {
            Transaction inner(db);
            log(QStringLiteral("inner dropped"));
        }
        outer.commit();
    }
    {
        Transaction failed(db);
        log(QStringLiteral("dropped"));
        EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO no_such_table VALUES (1)")), DbError);
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(test::joinedRows(db, QStringLiteral("日志"), {QStringLiteral("事件")}),
              QStringList{QStringLiteral("kept")});
}

class ForeignFile : public ::testing::TestWithParam<const char*> {};

TEST_P(ForeignFile, IsRefusedAndLeftByteForByte) {
    TempProgramFolder folder;
    QByteArray content;
    const std::string kind = GetParam();
    if (kind == "text") {
        content = "这不是数据库 just some text\n";
    } else if (kind == "empty") {
        content = QByteArray();
    } else {
        // A real database of ours, damaged: its second half cut off, or garbage in its middle.
        ShopDatabase shop;
        shop.dm->disconnect();
        content = shop.folder.readFile(Tdm_Dbase::kFileName);
        if (kind == "truncated")
            content.truncate(content.size() / 2 + 7);
        else
            content.replace(1024, 2048, QByteArray(2048, '\xAB'));
    }
    folder.writeFile(Tdm_Dbase::kFileName, content);

    PubData pub;
    pub.AppPath = folder.path();
    Tdm_Dbase dm(pub);
    bool refused = false;
    try {
        dm.connect();
        // A damaged file may open; it must then fail on reading its data.
        dm.db().exec(QStringLiteral("PRAGMA integrity_check"));
        Query all(dm.db(), QStringLiteral("SELECT * FROM 管理员"));
        all.exec();
        refused = !dm.ReadSysSet();
    } catch (const DbError&) {
        refused = true;
    }
    dm.disconnect();
    if (kind != "garbage") {
        EXPECT_TRUE(refused);
    }
    EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), content);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ForeignFile,
                         ::testing::Values("text", "empty", "truncated", "garbage"));

TEST(DatabaseFile, AnEncryptedFileOfAnotherProgramIsNotAdopted) {
    TempProgramFolder folder;
    {
        Database other;
        other.open(folder.databasePath(), Tdm_Dbase::kPassword,
                   Database::OpenMode::CreateIfMissing);
        other.exec(QStringLiteral("CREATE TABLE notes (x)"));
    }
    const QByteArray before = folder.readFile(Tdm_Dbase::kFileName);
    PubData pub;
    pub.AppPath = folder.path();
    Tdm_Dbase dm(pub);
    EXPECT_THROW(dm.connect(), DbError);
    EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), before);
}

TEST(DatabaseFile, AReadOnlyFolderIsRefusedBeforeAnythingIsWritten) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write into read-only folders";
    ShopDatabase shop;
    shop.dm->disconnect();
    const QByteArray before = shop.folder.readFile(Tdm_Dbase::kFileName);
    ASSERT_EQ(chmod(shop.folder.path().toLocal8Bit().constData(), 0555), 0);
    EXPECT_THROW(shop.dm->connect(), DbError);
    chmod(shop.folder.path().toLocal8Bit().constData(), 0755);
    EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName), before);
}

TEST(DatabaseFile, ANewDatabaseIsNeverWrittenOverAnExistingFile) {
    TempProgramFolder folder;
    folder.writeFile(Tdm_Dbase::kFileName, "keep me");
    PubData pub;
    pub.AppPath = folder.path();
    Tdm_Dbase dm(pub);
    EXPECT_THROW(dm.createDatabase(QStringLiteral("a"), QStringLiteral("b")), DbError);
    EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), QByteArray("keep me"));
}

} // namespace
} // namespace lms
