// The real windows, driven as a clerk would: the first-start dialog, the login dialog and the main
// window with its menus, tool bar and status bar, all through the binder.
#include "app/ShopApplication.h"
#include "core/Passwords.h"
#include "core/Tdm_Dbase.h"
#include "core/widgets/FormDialog.h"
#include "support/ModalDialogs.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::child;
using test::FixedClock;
using test::logInThrough;
using test::ScriptedPrompter;
using test::TempProgramFolder;
using test::whenModal;

bool toolButtonEnabled(QMainWindow& window, const char* name) {
    auto* tool = window.findChild<QToolButton*>(QString::fromUtf8(name));
    EXPECT_NE(tool, nullptr) << name;
    return tool && tool->isEnabled();
}

TEST(ApplicationFlow, FirstStartThenLoginThenMainWindowThenReloginWithFewerRights) {
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    FixedClock clock(at(2026, 12, 8, 9, 30, 0));
    ShopApplication shop(folder.path(), prompter, clock);

    whenModal(QStringLiteral("frm_SuperUser"), [](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("首次使用：设置超级用户"));
        // Chinese text arrives through the input method, not as key codes.
        child<QLineEdit>(dialog, "UserName").insert(QStringLiteral("店长"));
        QTest::keyClicks(&child<QLineEdit>(dialog, "Password"), QStringLiteral("s3cret"));
        auto& again = child<QLineEdit>(dialog, "Password2");
        EXPECT_EQ(again.echoMode(), QLineEdit::Password);
        QTest::keyClicks(&again, QStringLiteral("s3cret"));
        QTest::mouseClick(&child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
        whenModal(QStringLiteral("frmLogin"), [](QWidget& login) {
            EXPECT_EQ(login.windowTitle(), QStringLiteral("系统用户登陆"));
            auto& users = child<QComboBox>(login, "userlist");
            EXPECT_EQ(users.currentText(), QStringLiteral("店长"));
            EXPECT_EQ(child<QLabel>(login, "PWDEditLabel").buddy(),
                      &child<QLineEdit>(login, "PWDEdit"));
            EXPECT_FALSE(login.windowFlags() & Qt::WindowCloseButtonHint);
            logInThrough(login, QStringLiteral("店长"), QStringLiteral("s3cret"));
        });
    });
    ASSERT_TRUE(shop.start());
    EXPECT_TRUE(prompter.boxes().empty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(QFile::exists(folder.databasePath()));

    QMainWindow& window = shop.mainWindow();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("图书租借管理系统"));
    EXPECT_EQ(window.menuBar()->actions().size(), 7);
    EXPECT_EQ(child<QLabel>(window, "StatusPanel2").text(), QStringLiteral("店长"));
    EXPECT_TRUE(child<QLabel>(window, "StatusPanel4").text().contains(QStringLiteral("2026")));
    EXPECT_TRUE(child<QAction>(window, "QKDataMenu").isEnabled());
    EXPECT_TRUE(toolButtonEnabled(window, "ToolButton2"));
    EXPECT_TRUE(toolButtonEnabled(window, "ToolButton1"));
    EXPECT_TRUE(window.findChild<QToolButton*>(QStringLiteral("ToolButton2"))->isVisible());
    EXPECT_EQ(window.findChild<QToolBar*>(QStringLiteral("ToolBar1"))->actions().size(), 12);
    EXPECT_EQ(window.findChild<QToolButton*>(QStringLiteral("ToolButton8"))->text(),
              QStringLiteral("资金查询统计"));

    // A clerk who may only lend books.
    Query(shop.dm().db(),
          QStringLiteral("INSERT INTO 管理员 (用户名, 密码, 功能4) VALUES (?, ?, 1)"))
        .bindAll({QStringLiteral("clerk"), Passwords::hash(QStringLiteral("pw"))})
        .exec();
    whenModal(QStringLiteral("frmLogin"), [](QWidget& login) {
        logInThrough(login, QStringLiteral("clerk"), QStringLiteral("pw"));
    });
    child<QAction>(window, "CXLogin").trigger();
    EXPECT_EQ(child<QLabel>(window, "StatusPanel2").text(), QStringLiteral("clerk"));
    EXPECT_TRUE(toolButtonEnabled(window, "ToolButton2"));
    EXPECT_FALSE(toolButtonEnabled(window, "ToolButton4"));
    EXPECT_FALSE(toolButtonEnabled(window, "ToolButton1"));
    EXPECT_FALSE(child<QAction>(window, "QKDataMenu").isEnabled());
    EXPECT_TRUE(child<QAction>(window, "N14").isEnabled());
    EXPECT_TRUE(child<QAction>(window, "N26").isEnabled());

    // The about box opens from the help menu and closes with its button.
    whenModal(QStringLiteral("frm_about"), [](QWidget& about) {
        EXPECT_EQ(child<QLabel>(about, "ProductName").text(), QStringLiteral("图书租借管理系统"));
        QTest::mouseClick(&child<QPushButton>(about, "Button1"), Qt::LeftButton);
    });
    child<QAction>(window, "N14").trigger();
    EXPECT_FALSE(shop.host().quitting());
}

TEST(ApplicationFlow, AWrongPasswordKeepsTheDialogAndLeavingItEndsTheProgram) {
    TempProgramFolder folder;
    {
        PubData pub;
        pub.AppPath = folder.path();
        Tdm_Dbase(pub).createDatabase(QStringLiteral("admin"), QStringLiteral("right"));
    }
    ScriptedPrompter prompter;
    FixedClock clock;
    ShopApplication shop(folder.path(), prompter, clock);
    whenModal(QStringLiteral("frmLogin"), [&prompter](QWidget& login) {
        logInThrough(login, QStringLiteral("admin"), QStringLiteral("wrong"));
        EXPECT_EQ(prompter.single(), QStringLiteral("请输入正确的用户名和密码"));
        EXPECT_TRUE(login.isVisible());
        QTest::mouseClick(&child<QPushButton>(login, "Button2"), Qt::LeftButton);
    });
    EXPECT_FALSE(shop.start());
    EXPECT_TRUE(shop.host().quitting());
    EXPECT_FALSE(shop.mainWindow().isVisible());
}

TEST(ApplicationFlow, ADatabaseThatCannotBeOpenedEndsTheProgramBeforeAnyDialog) {
    TempProgramFolder folder;
    folder.writeFile(Tdm_Dbase::kFileName, QByteArray(4096, 'z'));
    ScriptedPrompter prompter;
    FixedClock clock;
    ShopApplication shop(folder.path(), prompter, clock);
    EXPECT_FALSE(shop.start());
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), QByteArray(4096, 'z'));
}

} // namespace
} // namespace lms
