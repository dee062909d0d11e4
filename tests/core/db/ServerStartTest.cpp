// Starting with the shop's data on a PostgreSQL server: the first start on an empty database,
// a second desk on the same database, and a server that cannot be reached.
#include "core/ServerSettings.h"
#include "core/Startup.h"
#include "core/Tdm_Dbase.h"
#include "core/screens/SuperUserSetup.h"
#include "support/ServerDatabase.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::ScriptedHost;
using test::ScriptedPrompter;

// One desk: its own program folder, data module and start-up.
struct Desk {
    explicit Desk(const QString& server)
        : dm(pub), setup(dm, prompter), startup(dm, prompter, host, setup) {
        pub.AppPath = folder.path();
        dm.useServer(server);
    }
    test::TempProgramFolder folder;
    PubData pub;
    Tdm_Dbase dm;
    ScriptedPrompter prompter;
    ScriptedHost host;
    SuperUserSetup setup;
    Startup startup;
};

TEST(ServerStart, AnEmptyDatabaseIsSetUpOnceAndASecondDeskSharesIt) {
    if (test::testServer().isEmpty())
        GTEST_SKIP() << "runs with the shop on a server (label server)";
    test::ServerDatabase database;
    Desk first(database.connectionString());
    first.host.script(first.setup.objectName(), [](FormModel& screen) {
        screen.field(QStringLiteral("UserName")).type(QStringLiteral("店长"));
        screen.field(QStringLiteral("Password")).type(QStringLiteral("pw"));
        screen.field(QStringLiteral("Password2")).type(QStringLiteral("pw"));
        screen.run(QStringLiteral("OkButtonClick"));
    });
    ASSERT_TRUE(first.startup.openDatabase());
    EXPECT_EQ(first.host.shown(), QStringList{first.setup.objectName()});
    EXPECT_FALSE(QFile::exists(first.folder.databasePath()));
    EXPECT_TRUE(first.dm.ReadSysSet());

    // The second desk finds the shop set up and sees the first desk's writing at once.
    Desk second(database.connectionString());
    ASSERT_TRUE(second.startup.openDatabase());
    EXPECT_TRUE(second.host.shown().isEmpty());
    EXPECT_EQ(second.dm.db().scalar(QStringLiteral("SELECT 用户名 FROM 管理员")).toString(),
              QStringLiteral("店长"));
    ASSERT_TRUE(first.dm.WriteRZ(QStringLiteral("读者借书"), QStringLiteral("店长"),
                                 QDateTime(QDate(2026, 12, 9), QTime(9, 0)), QStringLiteral("x")));
    EXPECT_EQ(second.dm.db().scalar(QStringLiteral("SELECT count(*) FROM 日志")).toInt(), 1);
}

TEST(ServerStart, AServerThatCannotBeReachedIsNamedAndNothingStarts) {
    Desk desk(QStringLiteral("host=/nonexistent-lms-socket user=postgres connect_timeout=2"));
    EXPECT_FALSE(desk.startup.openDatabase());
    EXPECT_TRUE(desk.host.shown().isEmpty());
    EXPECT_TRUE(desk.prompter.single().startsWith(
        QStringLiteral("无法连接数据库服务器！\r服务器没有响应：本机上的服务器未启动。\r")))
        << desk.prompter.single().toStdString();
    if (test::testServer().isEmpty())
        return;
    // A server that answers but knows no such database says so first.
    Desk misnamed(test::testServer() + QStringLiteral(" dbname=lms_no_such_shop"));
    EXPECT_FALSE(misnamed.startup.openDatabase());
    EXPECT_TRUE(misnamed.prompter.single().startsWith(
        QStringLiteral("无法连接数据库服务器！\r服务器上没有连接设置中所写的数据库或用户。\r")))
        << misnamed.prompter.single().toStdString();
}

// A lost connection (here ended by the server's administrator, as a restart ends them all)
// fails the operation that finds it; the next one connects anew. Inside a transaction the desk
// never connects anew, so no operation is stored half.
TEST(ServerStart, ADeskWhoseConnectionWasLostWorksAgainFromItsNextOperation) {
    if (test::testServer().isEmpty())
        GTEST_SKIP() << "a server's connection";
    test::ShopDatabase shop;
    Database& desk = shop.dm->db();
    const auto endConnection = [&] {
        Database admin;
        admin.openServer(shop.server->connectionString());
        admin.scalar(QStringLiteral("SELECT pg_terminate_backend(?)"),
                     {desk.scalar(QStringLiteral("SELECT pg_backend_pid()"))});
    };
    const QString countBooks = QStringLiteral("SELECT count(*) FROM 图书");
    endConnection();
    EXPECT_THROW(desk.scalar(countBooks), DbError);
    EXPECT_EQ(desk.scalar(countBooks).toInt(), 0);

    {
        Transaction transaction(desk);
        desk.exec(QStringLiteral("INSERT INTO 图书 (图书编号) VALUES ('B1')"));
        endConnection();
        EXPECT_THROW(desk.exec(QStringLiteral("INSERT INTO 图书 (图书编号) VALUES ('B2')")),
                     DbError);
        EXPECT_THROW(desk.exec(QStringLiteral("INSERT INTO 图书 (图书编号) VALUES ('B3')")),
                     DbError);
    }
    EXPECT_EQ(desk.scalar(countBooks).toInt(), 0);
}

TEST(ServerSettings, TheOptionWinsOverTheFileWhoseCommentsAndBlanksAreDropped) {
    test::TempProgramFolder folder;
    folder.writeFile(ServerSettings::fileName(),
                     "# the shop's server\n  host=shop.example  \n\ndbname=shop # main branch\n");
    EXPECT_EQ(ServerSettings::read(folder.path(), {QStringLiteral("lms")}).connection,
              QStringLiteral("host=shop.example dbname=shop"));
    EXPECT_EQ(ServerSettings::read(folder.path(), {QStringLiteral("lms"),
                                                   QStringLiteral("--server=service=branch2")})
                  .connection,
              QStringLiteral("service=branch2"));
    EXPECT_TRUE(ServerSettings::read(QStringLiteral("/nonexistent/"), {}).connection.isEmpty());
}

// Every form in which libpq takes a password or a key's passphrase, as libpq itself reads it.
TEST(ServerSettings, APasswordInTheSettingsIsRefusedInEveryFormLibpqReads) {
    const QString kPassword = QStringLiteral("~/.pgpass");
    const QString kUnreadable = QStringLiteral("数据库服务器的连接设置写得不对");
    struct Case {
        const char* written;
        const QString* refusal; // null: accepted
    };
    const Case cases[] = {
        {"host=h dbname=shop password=secret", &kPassword},
        {"host=h PASSWORD = x", &kUnreadable}, // libpq knows its key words in lower case only
        {"host=h password='se cret'", &kPassword},
        {"host=h sslpassword=keyphrase", &kPassword},
        {"postgresql://clerk:secret@h/shop", &kPassword},
        {"postgres://clerk:secret@h:5432/shop", &kPassword},
        {"postgresql://h/shop?password=secret", &kPassword},
        {"postgresql://h/shop?user=clerk&pass%77ord=secret", &kPassword},
        {"postgresql://h/shop?sslpassword=keyphrase", &kPassword},
        {"host=h dbname='postgresql://clerk:secret@h/shop'", &kPassword},
        {"host=h dbname='user=clerk password=secret'", &kPassword},
        {"host=h dbname=shop password", &kUnreadable},
        {"host=h nosuchoption=1", &kUnreadable},
        {"postgresql://h/shop?nosuchoption=1", &kUnreadable},
        {"host=h dbname=shop user=clerk passfile=/srv/shop/pgpass", nullptr},
        {"postgresql://clerk@h/shop?passfile=%2Fsrv%2Fpgpass", nullptr},
        {"host=h dbname=shop password=", nullptr},
        {"service=branch2", nullptr},
    };
    for (const Case& c : cases) {
        for (const bool inFile : {false, true}) {
            test::TempProgramFolder folder;
            QStringList arguments = {QStringLiteral("lms")};
            if (inFile)
                folder.writeFile(ServerSettings::fileName(), QByteArray(c.written) + "\n");
            else
                arguments << QStringLiteral("--server") << QString::fromUtf8(c.written);
            const ServerSettings::Choice choice = ServerSettings::read(folder.path(), arguments);
            if (!c.refusal) {
                EXPECT_TRUE(choice.refusal.isEmpty()) << c.written;
                EXPECT_EQ(choice.connection, QString::fromUtf8(c.written)) << c.written;
                continue;
            }
            EXPECT_TRUE(choice.connection.isEmpty()) << c.written;
            EXPECT_TRUE(choice.refusal.contains(*c.refusal)) << c.written;
            // The refusal never repeats what was written.
            EXPECT_FALSE(choice.refusal.contains(QStringLiteral("secret"))) << c.written;
        }
    }
}

} // namespace
} // namespace lms
