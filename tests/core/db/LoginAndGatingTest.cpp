// Logging in, what each user's permission flags enable, re-login, and the start-up sequence of
// the main window (login, settings, automatic backup).
#include "core/Permissions.h"
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "support/LoginScript.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::FixedClock;
using test::ScriptedHost;
using test::ScriptedPrompter;
using test::ShopDatabase;

const QString kWrongLogin = QStringLiteral("请输入正确的用户名和密码");
const QStringList kNeverGated = {QStringLiteral("CXLogin"), QStringLiteral("N26"),
                                 QStringLiteral("N14"), QStringLiteral("N15")};

class Login : public ::testing::Test {
protected:
    Login() : main(*shop.dm, prompter, clock, host), login(*shop.dm, prompter, host, main) {
        main.setLoginDialog(login);
    }

    bool logIn(const QString& name, const QString& password) {
        return test::logIn(host, login, name, password);
    }

    QStringList enabledCommands() const {
        QStringList names;
        for (const auto& menu : Tfrm_Main::menus())
            for (const auto& item : menu.items) {
                const QString name = QString::fromUtf8(item.name);
                if (main.hasField(name) && main.field(name).isEnabled())
                    names << name;
            }
        return names;
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock;
    ScriptedHost host;
    Tfrm_Main main;
    TfrmLogin login;
};

TEST_F(Login, ShowingFillsTheUserListInTableOrderAndFocusesAnEmptyPassword) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {});
    shop.addUser(QStringLiteral("Amy"), QStringLiteral("y"), {});
    login.field(QStringLiteral("PWDEdit")).setValue(QStringLiteral("left over"));
    login.FormShow();
    EXPECT_EQ(
        login.field(QStringLiteral("userlist")).items(),
        (QStringList{ShopDatabase::kSuperUser, QStringLiteral("李四"), QStringLiteral("Amy")}));
    EXPECT_EQ(login.field(QStringLiteral("userlist")).text(), ShopDatabase::kSuperUser);
    EXPECT_EQ(login.field(QStringLiteral("PWDEdit")).text(), QString());
    EXPECT_EQ(login.focusedField(), QStringLiteral("PWDEdit"));
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Login, TheSuperUserGetsEveryCommandAndIsShownAsCurrentUser) {
    ASSERT_TRUE(logIn(ShopDatabase::kSuperUser, ShopDatabase::kSuperPassword));
    EXPECT_EQ(shop.pub.CurrentUser, ShopDatabase::kSuperUser);
    EXPECT_EQ(main.field(QStringLiteral("StatusPanel2")).text(), ShopDatabase::kSuperUser);
    for (const PermissionFlag& flag : permissionFlags())
        EXPECT_TRUE(main.field(QString::fromUtf8(flag.command)).isEnabled()) << flag.number;
    EXPECT_EQ(login.field(QStringLiteral("PWDEdit")).text(), QString());
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Login, AUserWithoutFlagsHasOnlyTheUngatedCommands) {
    shop.addUser(QStringLiteral("clerk"), QStringLiteral("pw"), {});
    ASSERT_TRUE(logIn(QStringLiteral("clerk"), QStringLiteral("pw")));
    EXPECT_EQ(enabledCommands(), kNeverGated);
    // A disabled command runs nothing, whoever triggers it.
    bool ran = false;
    main.registerCommand(QStringLiteral("BFDataMenu"), [&] { ran = true; });
    main.run(QStringLiteral("BFDataMenuClick"));
    EXPECT_FALSE(ran);
}

TEST_F(Login, EachFlagEnablesExactlyItsCommand) {
    for (const PermissionFlag& flag : permissionFlags()) {
        const QString name = QStringLiteral("user%1").arg(flag.number);
        shop.addUser(name, QStringLiteral("pw"), {flag.number});
        ASSERT_TRUE(logIn(name, QStringLiteral("pw")));
        QStringList expected = kNeverGated;
        expected << Tfrm_Main::commandsOfFlag(flag.number);
        QStringList actual = enabledCommands();
        actual.sort();
        expected.sort();
        EXPECT_EQ(actual, expected) << "功能" << flag.number;
    }
}

TEST_F(Login, LabelsAndCardsGoWithEitherTheirRegistrationOrTheirListing) {
    const QString books = QStringLiteral("BookLabelMenu");
    const QString cards = QStringLiteral("ReaderCardMenu");
    struct Case {
        std::initializer_list<int> flags;
        bool books;
        bool cards;
    };
    // A later flag that is off never takes back what an earlier one gave.
    const Case cases[] = {{{}, false, false},       {{1}, true, false},
                          {{19}, true, false},      {{1, 19}, true, false},
                          {{6}, false, true},       {{22}, false, true},
                          {{6, 22, 1}, true, true}, {{2, 3, 4, 5, 7, 20, 21, 23}, false, false}};
    int user = 0;
    for (const Case& c : cases) {
        const QString name = QStringLiteral("labels%1").arg(++user);
        shop.addUser(name, QStringLiteral("pw"), c.flags);
        ASSERT_TRUE(logIn(name, QStringLiteral("pw")));
        EXPECT_EQ(main.field(books).isEnabled(), c.books) << user;
        EXPECT_EQ(main.field(cards).isEnabled(), c.cards) << user;
    }
}

TEST_F(Login, ReloginWithFewerRightsTakesTheOthersAwayAndRecordsCarryTheNewName) {
    shop.addUser(QStringLiteral("王五"), QStringLiteral("pw"), {4, 5, 19});
    ASSERT_TRUE(logIn(ShopDatabase::kSuperUser, ShopDatabase::kSuperPassword));
    host.script(login.objectName(), [](FormModel& screen) {
        screen.field(QStringLiteral("userlist")).type(QStringLiteral("王五"));
        screen.field(QStringLiteral("PWDEdit")).type(QStringLiteral("pw"));
        screen.keyDown(QStringLiteral("PWDEdit"), 13);
    });
    main.run(QStringLiteral("CXLoginClick"));
    QStringList expected = kNeverGated;
    // The book listing's flag gives the book labels too.
    expected << QStringLiteral("TZJBookMenu") << QStringLiteral("TZHBookMenu")
             << QStringLiteral("QAllBookMenu") << QStringLiteral("BookLabelMenu");
    QStringList actual = enabledCommands();
    actual.sort();
    expected.sort();
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(main.field(QStringLiteral("StatusPanel2")).text(), QStringLiteral("王五"));
    EXPECT_EQ(shop.pub.CurrentUser, QStringLiteral("王五"));
}

TEST_F(Login, AFailedReloginKeepsTheCommandsOfFlagsSeventeenOnUntilItSucceeds) {
    ASSERT_TRUE(logIn(ShopDatabase::kSuperUser, ShopDatabase::kSuperPassword));
    EXPECT_FALSE(logIn(ShopDatabase::kSuperUser, QStringLiteral("wrong")));
    for (const PermissionFlag& flag : permissionFlags())
        EXPECT_EQ(main.field(QString::fromUtf8(flag.command)).isEnabled(),
                  flag.number > kFlagsClearedAtLogin)
            << flag.number;
}

TEST_F(Login, EnterInThePasswordFieldLogsInButNotInTheUserField) {
    host.script(login.objectName(), [](FormModel& screen) {
        screen.field(QStringLiteral("PWDEdit")).type(ShopDatabase::kSuperPassword);
        screen.keyDown(QStringLiteral("userlist"), 13);
        EXPECT_TRUE(qobject_cast<TfrmLogin*>(&screen));
    });
    host.showModal(login);
    EXPECT_TRUE(shop.pub.CurrentUser.isEmpty());
    login.keyDown(QStringLiteral("PWDEdit"), 'a');
    EXPECT_TRUE(shop.pub.CurrentUser.isEmpty());
    login.keyDown(QStringLiteral("PWDEdit"), 13);
    EXPECT_EQ(shop.pub.CurrentUser, ShopDatabase::kSuperUser);
}

TEST_F(Login, ATypedNameNotInTheListLogsInWhenItMatches) {
    shop.addUser(QStringLiteral("夜班"), QStringLiteral("pw"), {1});
    ASSERT_TRUE(logIn(QStringLiteral("夜班"), QStringLiteral("pw")));
    EXPECT_EQ(shop.pub.CurrentUser, QStringLiteral("夜班"));
}

TEST_F(Login, WrongOrHostileInputIsRefusedAndChangesNothing) {
    const QStringList hostile = {
        QStringLiteral("' OR '1'='1"),
        QStringLiteral("admin'--"),
        QStringLiteral("admin\"; DROP TABLE 管理员; --"),
        QString(10000, QLatin1Char('x')),
        QStringLiteral("ad\x01min\t\r\n"),
        QStringLiteral("📚😀"),
        QString(),
        QStringLiteral("ADMIN"),
    };
    for (const QString& name : hostile) {
        for (const QString& password : {ShopDatabase::kSuperPassword, name}) {
            prompter.clear();
            EXPECT_FALSE(logIn(name, password)) << name.left(40).toStdString();
            EXPECT_EQ(prompter.single(), kWrongLogin);
            // The dialog stays open with its fields as typed.
            EXPECT_EQ(login.field(QStringLiteral("userlist")).text(), name);
        }
    }
    prompter.clear();
    EXPECT_FALSE(logIn(ShopDatabase::kSuperUser, QStringLiteral("SECRET")));
    EXPECT_FALSE(logIn(ShopDatabase::kSuperUser, QStringLiteral("' OR '1'='1")));
    EXPECT_TRUE(shop.pub.CurrentUser.isEmpty());
    EXPECT_EQ(shop.count(QStringLiteral("管理员")), 1);
    for (const PermissionFlag& flag : permissionFlags())
        EXPECT_FALSE(main.field(QString::fromUtf8(flag.command)).isEnabled());
}

TEST_F(Login, AnEmptyUserTableSaysSoAndLeavesOnlyTheWayOut) {
    shop.dm->db().exec(QStringLiteral("DELETE FROM 管理员"));
    login.FormShow();
    EXPECT_EQ(prompter.single(), QStringLiteral("没有可以登陆的用户名"));
    EXPECT_TRUE(login.field(QStringLiteral("userlist")).items().isEmpty());
    login.run(QStringLiteral("Button2Click"));
    EXPECT_TRUE(host.quitting());
}

TEST_F(Login, ADatabaseFailureClosesTheDialogWithTheCommandsDisabled) {
    ASSERT_TRUE(logIn(ShopDatabase::kSuperUser, ShopDatabase::kSuperPassword));
    shop.dm->disconnect();
    bool closed = false;
    QObject::connect(&login, &FormModel::closeRequested, [&] { closed = true; });
    login.FormShow();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    prompter.clear();
    login.run(QStringLiteral("Button1Click"));
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_TRUE(closed);
    EXPECT_FALSE(main.field(QStringLiteral("TJBookMenu")).isEnabled());
    EXPECT_FALSE(main.field(QStringLiteral("CSSetMenu")).isEnabled());
    EXPECT_TRUE(main.field(QStringLiteral("CHRZMenu")).isEnabled());
}

TEST_F(Login, StartupLogsInThenLoadsTheSettingsThenBacksUpWhenAsked) {
    shop.pub.AutoBackupOnStart = true;
    shop.pub.MonthlyRent = 42;
    ASSERT_TRUE(shop.dm->WriteSysSet());
    shop.pub = PubData();
    shop.pub.AppPath = shop.folder.path();
    int backups = 0;
    main.setStartupBackup([&] {
        ++backups;
        EXPECT_EQ(shop.pub.CurrentUser, ShopDatabase::kSuperUser);
    });
    host.script(login.objectName(), [](FormModel& screen) {
        screen.field(QStringLiteral("PWDEdit")).type(ShopDatabase::kSuperPassword);
        screen.run(QStringLiteral("Button1Click"));
    });
    main.FormShow();
    EXPECT_EQ(shop.pub.MonthlyRent, 42.0f);
    EXPECT_EQ(backups, 1);
    EXPECT_FALSE(host.quitting());
    EXPECT_FALSE(main.field(QStringLiteral("StatusPanel4")).text().isEmpty());

    // Logging in again neither reloads the settings nor backs up.
    shop.pub.MonthlyRent = 1;
    host.script(login.objectName(), [](FormModel& screen) {
        screen.field(QStringLiteral("PWDEdit")).type(ShopDatabase::kSuperPassword);
        screen.run(QStringLiteral("Button1Click"));
    });
    main.run(QStringLiteral("CXLoginClick"));
    EXPECT_EQ(shop.pub.MonthlyRent, 1.0f);
    EXPECT_EQ(backups, 1);
}

TEST_F(Login, LeavingTheLoginAtStartEndsTheProgramBeforeTheSettings) {
    host.script(login.objectName(),
                [](FormModel& screen) { screen.run(QStringLiteral("Button2Click")); });
    shop.dm->db().exec(QStringLiteral("DELETE FROM sysset"));
    main.FormShow();
    EXPECT_TRUE(host.quitting());
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Login, SettingsNeitherReadableNorWritableEndTheProgram) {
    shop.dm->db().exec(QStringLiteral("DELETE FROM sysset WHERE rowid > 6"));
    host.script(login.objectName(), [](FormModel& screen) {
        screen.field(QStringLiteral("PWDEdit")).type(ShopDatabase::kSuperPassword);
        screen.run(QStringLiteral("Button1Click"));
    });
    main.FormShow();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_TRUE(host.quitting());
}

TEST(MainWindowClock, ShowsLongDateTimeAndShortDayNameOfTheClock) {
    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock(at(2026, 12, 8, 9, 7, 5));
    ScriptedHost host;
    Tfrm_Main main(*shop.dm, prompter, clock, host);
    main.run(QStringLiteral("Timer1Timer"));
    const QString first = main.field(QStringLiteral("StatusPanel4")).text();
    EXPECT_TRUE(first.contains(QStringLiteral("2026"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("09:07:05")) ||
                first.contains(QStringLiteral("9:07:05")))
        << first.toStdString();
    clock.set(clock.now().addSecs(1));
    main.run(QStringLiteral("Timer1Timer"));
    EXPECT_NE(main.field(QStringLiteral("StatusPanel4")).text(), first);
    EXPECT_EQ(main.field(QStringLiteral("StatusPanel0")).text(), QStringLiteral("提示："));
    EXPECT_EQ(main.field(QStringLiteral("StatusPanel1")).text(), QStringLiteral("当前操作人员："));
    EXPECT_EQ(main.field(QStringLiteral("StatusPanel3")).text(), QStringLiteral("当前时间："));
}

} // namespace
} // namespace lms
