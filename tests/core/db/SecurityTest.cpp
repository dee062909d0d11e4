// The database file keeps its secrets: nothing is readable without the key, a wrong key opens
// nothing and changes nothing, and the login cannot be talked round with SQL.
#include "core/Schema.h"
#include "core/Startup.h"
#include "core/Tdm_Dbase.h"
#include "core/screens/SuperUserSetup.h"
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "support/DatabaseDump.h"
#include "support/ServerDatabase.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QStringEncoder>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace lms {
namespace {

using test::FixedClock;
using test::ScriptedHost;
using test::ScriptedPrompter;
using test::ShopDatabase;
using test::TempProgramFolder;

const QString kDbError = QStringLiteral("连接数据库出错!");

// A text in every encoding it could have been written in.
std::vector<std::pair<const char*, QByteArray>> encodings(const QString& text) {
    QStringEncoder gbk("GBK");
    EXPECT_TRUE(gbk.isValid());
    QStringEncoder utf16le(QStringConverter::Utf16LE);
    QStringEncoder utf16be(QStringConverter::Utf16BE);
    return {{"UTF-8", text.toUtf8()},
            {"UTF-16LE", QByteArray(utf16le.encode(text))},
            {"UTF-16BE", QByteArray(utf16be.encode(text))},
            {"GBK", QByteArray(gbk.encode(text))}};
}

TEST(Security, TheRawFileHoldsNoStoredNameOrPasswordInAnyEncoding) {
    LMS_FILE_ENGINE_ONLY();
    ShopDatabase shop;
    shop.addUser(QStringLiteral("收银员Li"), QStringLiteral("Pa55-w0rd!"), {4});
    test::insertRow(shop.dm->db(), QStringLiteral("读者"),
                    {{QStringLiteral("读者编号"), QStringLiteral("R0001234")},
                     {QStringLiteral("读者姓名"), QStringLiteral("张三丰Zhang")}});
    test::insertRow(shop.dm->db(), QStringLiteral("图书"),
                    {{QStringLiteral("图书编号"), QStringLiteral("B0005678")},
                     {QStringLiteral("图书名称"), QStringLiteral("红楼梦Dream")}});
    shop.dm->disconnect();
    const QByteArray raw = shop.folder.readFile(Tdm_Dbase::kFileName);
    ASSERT_GT(raw.size(), 4096);
    EXPECT_FALSE(raw.contains("SQLite format 3"));
    const QStringList secrets = {ShopDatabase::kSuperUser,   ShopDatabase::kSuperPassword,
                                 QStringLiteral("收银员Li"), QStringLiteral("Pa55-w0rd!"),
                                 QStringLiteral("R0001234"), QStringLiteral("张三丰Zhang"),
                                 QStringLiteral("B0005678"), QStringLiteral("红楼梦Dream"),
                                 QStringLiteral("读者姓名"), QStringLiteral("CREATE TABLE")};
    for (const QString& secret : secrets)
        for (const auto& [encoding, bytes] : encodings(secret))
            EXPECT_FALSE(raw.contains(bytes)) << secret.toStdString() << " in " << encoding;
}

TEST(Security, PlainSqliteCannotReadTheFile) {
    LMS_FILE_ENGINE_ONLY();
    ShopDatabase shop;
    shop.dm->disconnect();
    const QByteArray path = shop.folder.databasePath().toUtf8();
    sqlite3* plain = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.constData(), &plain, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    const int prepared =
        sqlite3_prepare_v2(plain, "SELECT count(*) FROM sqlite_master", -1, &statement, nullptr);
    const int stepped = prepared == SQLITE_OK ? sqlite3_step(statement) : prepared;
    sqlite3_finalize(statement);
    EXPECT_EQ(stepped, SQLITE_NOTADB) << sqlite3_errmsg(plain);
    sqlite3_close(plain);
}

TEST(Security, AFileUnderAnotherKeyIsNeitherOpenedNorChanged) {
    TempProgramFolder folder;
    {
        // The program's own tables and settings, but encrypted with another key.
        Database other;
        other.open(folder.databasePath(), QByteArrayLiteral("another key"),
                   Database::OpenMode::CreateIfMissing);
        Schema::create(other, PubData::defaultSettings());
    }
    const QByteArray before = folder.readFile(Tdm_Dbase::kFileName);
    ASSERT_FALSE(before.isEmpty());
    PubData pub;
    pub.AppPath = folder.path();
    Tdm_Dbase dm(pub);
    ScriptedPrompter prompter;
    ScriptedHost host;
    SuperUserSetup setup(dm, prompter);
    Startup startup(dm, prompter, host, setup);
    EXPECT_FALSE(startup.openDatabase());
    EXPECT_EQ(prompter.texts(), QStringList{kDbError});
    EXPECT_TRUE(host.shown().isEmpty()) << "no new super user over an existing file";
    EXPECT_FALSE(dm.db().isOpen());
    EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), before);
}

class LoginInjection : public ::testing::Test {
protected:
    LoginInjection()
        : main(*shop.dm, prompter, clock, host), login(*shop.dm, prompter, host, main) {
        shop.addUser(QStringLiteral("clerk"), QStringLiteral("pw"), {4});
    }
    bool logIn(const QString& name, const QString& password) {
        bool accepted = false;
        auto c = QObject::connect(&login, &FormModel::closeRequested, [&](FormModel::Result r) {
            accepted = r == FormModel::Result::Accepted;
        });
        prompter.clear();
        login.FormShow();
        login.field(QStringLiteral("userlist")).type(name);
        login.field(QStringLiteral("PWDEdit")).type(password);
        login.Button1Click();
        QObject::disconnect(c);
        return accepted;
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock;
    ScriptedHost host;
    Tfrm_Main main;
    TfrmLogin login;
};

TEST_F(LoginInjection, NamesAndPasswordsThatReadLikeSqlLogNobodyIn) {
    const test::DatabaseDump before = test::dumpDatabase(shop.dm->db());
    struct Case {
        const char* name;
        const char* password;
    };
    const Case cases[] = {
        {"admin' --", "x"},
        {"admin' --", ""},
        {"admin'/*", "*/ OR '1'='1"},
        {"admin\" --", ""},
        {"admin", "' OR '1'='1"},
        {"admin", "secret' OR '1'='1"},
        {"admin", "' OR ''='"},
        {"' OR '1'='1", "' OR '1'='1"},
        {"' OR 1=1 --", ""},
        {"clerk' AND 1=1 --", "anything"},
        {"nobody", "' OR '1'='1"},
        {"nobody' OR '1'='1", "x"},
        {"nobody' UNION SELECT * FROM 管理员 --", ""},
        {"%", "%"},
        {"_____", "______"},
        {"admin", "%"},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        const QString password = QString::fromUtf8(c.password);
        SCOPED_TRACE(name.toStdString() + " / " + password.toStdString());
        EXPECT_FALSE(logIn(name, password));
        EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("请输入正确的用户名和密码")});
        EXPECT_TRUE(shop.pub.CurrentUser.isEmpty());
    }
    EXPECT_EQ(test::dumpDatabase(shop.dm->db()), before);
    // The same dialog still lets the right pairs in.
    EXPECT_TRUE(logIn(QStringLiteral("clerk"), QStringLiteral("pw")));
    EXPECT_TRUE(logIn(ShopDatabase::kSuperUser, ShopDatabase::kSuperPassword));
}

} // namespace
} // namespace lms
