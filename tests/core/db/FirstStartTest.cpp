// Reaching a database at start: the first start creates it after the super user has been chosen;
// a file that is not ours ends the program and stays as it was.
#include "core/Startup.h"
#include "core/Tdm_Dbase.h"
#include "core/screens/SuperUserSetup.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QFile>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::ScriptedHost;
using test::ScriptedPrompter;
using test::TempProgramFolder;

class FirstStart : public ::testing::Test {
protected:
    FirstStart() : dm(pub), setup(dm, prompter), startup(dm, prompter, host, setup) {
        pub.AppPath = folder.path();
    }

    void answerSetup(const QString& name, const QString& password, const QString& again) {
        host.script(setup.objectName(), [=](FormModel& screen) {
            screen.field(QStringLiteral("UserName")).type(name);
            screen.field(QStringLiteral("Password")).type(password);
            screen.field(QStringLiteral("Password2")).type(again);
            screen.run(QStringLiteral("OkButtonClick"));
        });
    }

    TempProgramFolder folder;
    PubData pub;
    Tdm_Dbase dm;
    ScriptedPrompter prompter;
    ScriptedHost host;
    SuperUserSetup setup;
    Startup startup;
};

TEST_F(FirstStart, CreatesTheDatabaseWithTheChosenSuperUser) {
    answerSetup(QStringLiteral("店长"), QStringLiteral("p@ss'word"), QStringLiteral("p@ss'word"));
    ASSERT_TRUE(startup.openDatabase());
    EXPECT_EQ(host.shown(), QStringList{setup.objectName()});
    EXPECT_TRUE(prompter.boxes().empty());
    ASSERT_TRUE(QFile::exists(folder.databasePath()));
    EXPECT_EQ(dm.db().scalar(QStringLiteral("SELECT 用户名 FROM 管理员")).toString(),
              QStringLiteral("店长"));
    EXPECT_TRUE(dm.ReadSysSet());
}

TEST_F(FirstStart, ChecksTheChoiceBeforeCreatingAnything) {
    struct Case {
        QString name, password, again, message;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("   "), QStringLiteral("pw"), QStringLiteral("pw"),
         QStringLiteral("请输入用户名")},
        {QStringLiteral("boss"), QString(), QString(), QStringLiteral("请输入密码")},
        {QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("pW"),
         QStringLiteral("两次输入的密码不一致")},
    };
    for (const Case& c : cases) {
        prompter.clear();
        answerSetup(c.name, c.password, c.again);
        host.showModal(setup);
        EXPECT_EQ(prompter.single(), c.message);
        EXPECT_FALSE(QFile::exists(folder.databasePath()));
    }
}

TEST_F(FirstStart, TheNameIsLimitedToFifteenBytes) {
    setup.field(QStringLiteral("UserName")).type(QStringLiteral("一二三四五六七八九十"));
    EXPECT_EQ(setup.field(QStringLiteral("UserName")).text(), QStringLiteral("一二三四五六七"));
}

TEST_F(FirstStart, CancellingEndsTheProgramWithoutAFile) {
    host.script(setup.objectName(),
                [](FormModel& screen) { screen.run(QStringLiteral("CancelButtonClick")); });
    EXPECT_FALSE(startup.openDatabase());
    EXPECT_FALSE(QFile::exists(folder.databasePath()));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(FirstStart, AnExistingDatabaseOpensWithoutAskingAgain) {
    dm.createDatabase(QStringLiteral("a"), QStringLiteral("b"));
    ASSERT_TRUE(startup.openDatabase());
    EXPECT_TRUE(host.shown().isEmpty());
}

TEST_F(FirstStart, AForeignFileEndsTheProgramWithTheDatabaseMessageAndStaysAsItWas) {
    const QByteArray content = "PK\x03\x04 not a database at all";
    folder.writeFile(Tdm_Dbase::kFileName, content);
    EXPECT_FALSE(startup.openDatabase());
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_TRUE(host.shown().isEmpty()) << "no super user is asked for over an existing file";
    EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), content);
    EXPECT_FALSE(dm.db().isOpen());
}

TEST_F(FirstStart, AFolderWhereNothingCanBeCreatedGivesTheDatabaseMessage) {
    pub.AppPath = folder.path() + QStringLiteral("missing/folder/");
    answerSetup(QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("pw"));
    EXPECT_FALSE(startup.openDatabase());
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
}

} // namespace
} // namespace lms
