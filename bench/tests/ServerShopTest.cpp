// The shop the benchmarks measure on a server: moved once from the generated file, kept while
// its rows match the file's, and worked on in a copy of its own for each run.
#include "ServerShop.h"

#include "core/Tdm_Dbase.h"
#include "support/ServerDatabase.h"
#include "support/TempProgramFolder.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace lms::bench {
namespace {

class ServerShopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::testServer().isEmpty())
            GTEST_SKIP() << "runs with a test server (label server)";
        pub.AppPath = folder.path();
        Tdm_Dbase dm(pub);
        dm.createDatabase(QStringLiteral("admin"), QStringLiteral("secret"));
    }
    void TearDown() override {
        if (!test::testServer().isEmpty())
            test::dropServerDatabase(name);
    }

    qint64 logRows(const QString& connectionString) {
        Database db;
        db.openServer(connectionString);
        return db.scalar(QStringLiteral("SELECT count(*) FROM 日志")).toLongLong();
    }

    // A log record written into the generated file, as the next generation would differ.
    void changeFile() {
        Tdm_Dbase dm(pub);
        dm.connect();
        dm.appendLog(QStringLiteral("登录"), QStringLiteral("admin"), QDateTime::currentDateTime(),
                     QString());
    }

    QString shop(const QString& suffix) const {
        return test::testServer() + QStringLiteral(" dbname=") + name + suffix;
    }

    test::TempProgramFolder folder;
    PubData pub;
    const QString name =
        QStringLiteral("lms_bench_test_%1").arg(QCoreApplication::applicationPid());
};

TEST_F(ServerShopTest, MovesOnceAndKeepsTheShopWhileItsRowsMatchTheFile) {
    {
        ServerShop first(test::testServer(), folder.path(), name);
        EXPECT_TRUE(first.moved());
        EXPECT_EQ(first.connectionString(), shop(QStringLiteral("_run")));
        // The run writes to its copy only.
        Tdm_Dbase dm(pub);
        dm.useServer(first.connectionString());
        dm.connect();
        EXPECT_TRUE(dm.WriteRZ(QStringLiteral("登录"), QStringLiteral("admin"),
                               QDateTime::currentDateTime(), QString()));
        EXPECT_EQ(logRows(first.connectionString()), logRows(shop(QString())) + 1);
    }
    const qint64 moved = logRows(shop(QString()));
    {
        ServerShop second(test::testServer(), folder.path(), name);
        EXPECT_FALSE(second.moved());
        EXPECT_EQ(logRows(second.connectionString()), moved);
    }
    changeFile();
    ServerShop third(test::testServer(), folder.path(), name);
    EXPECT_TRUE(third.moved());
    EXPECT_EQ(logRows(shop(QString())), moved + 1);
    EXPECT_EQ(logRows(third.connectionString()), moved + 1);
}

TEST_F(ServerShopTest, DropsTheRunsCopyAtTheEnd) {
    { ServerShop run(test::testServer(), folder.path(), name); }
    Database maintenance;
    maintenance.openServer(test::testServer() + QStringLiteral(" dbname=postgres"));
    const auto exists = [&](const QString& database) {
        return maintenance
            .scalar(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {database})
            .isValid();
    };
    EXPECT_TRUE(exists(name));
    EXPECT_FALSE(exists(name + QStringLiteral("_run")));
}

TEST_F(ServerShopTest, RefusesANameThatIsNotOneOfItsOwn) {
    EXPECT_THROW(ServerShop(test::testServer(), folder.path(), QStringLiteral("x; DROP")), DbError);
}

} // namespace
} // namespace lms::bench
