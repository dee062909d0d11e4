// The administration screens through their real windows: every field has its widget, the
// progress window has no frame, and a clerk's clicks reach the models, from the main window's
// menus to the database.
#include "admin/AdminScreens.h"
#include "app/ShopApplication.h"
#include "core/SettingsStore.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "support/ModalDialogs.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::child;
using test::FixedClock;
using test::ScriptedHost;
using test::ScriptedPrompter;
using test::ShopDatabase;
using test::TempProgramFolder;
using test::whenModal;

void click(QWidget& root, const char* button) {
    QTest::mouseClick(&child<QPushButton>(root, button), Qt::LeftButton);
}

void retype(QWidget& root, const char* name, const QString& text) {
    auto& edit = child<QLineEdit>(root, name);
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, text);
}

QStringList backups(const TempProgramFolder& folder) {
    return QDir(folder.path()).entryList({QStringLiteral("*buckup.zqd")}, QDir::Files);
}

TEST(AdminWindows, EveryFieldOfEveryScreenHasItsWidget) {
    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock;
    ScriptedHost host;
    ScreenContext context{*shop.dm, shop.pub, prompter, clock, host};
    Tfrm_Main main(*shop.dm, prompter, clock, host);
    AdminScreens admin(context, main);
    FormModel* const screens[] = {&admin.parameters(), &admin.addUser(),  &admin.permissions(),
                                  &admin.deleteUser(), &admin.password(), &admin.progress(),
                                  &admin.clearData()};
    for (FormModel* screen : screens) {
        FormDialog dialog(*screen);
        EXPECT_TRUE(dialog.binder().unboundFields().isEmpty())
            << screen->objectName().toStdString() << ": "
            << dialog.binder().unboundFields().join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(dialog.windowTitle(), screen->caption());
    }
    FormDialog progress(admin.progress());
    EXPECT_TRUE(progress.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(progress.windowFlags() & Qt::WindowCloseButtonHint);
    FormDialog parameters(admin.parameters());
    auto& pages = child<QTabWidget>(parameters, "ReaderTypePages");
    ASSERT_EQ(pages.count(), 4);
    EXPECT_EQ(pages.tabText(3), QStringLiteral("按日租借读者"));
    FormDialog addUser(admin.addUser());
    EXPECT_EQ(child<QCheckBox>(addUser, "CheckBox14").text(), QStringLiteral("备份数据 "));
}

class AdminThroughTheMainWindow : public ::testing::Test {
protected:
    AdminThroughTheMainWindow() {
        PubData pub;
        pub.AppPath = folder.path();
        Tdm_Dbase(pub).createDatabase(QStringLiteral("admin"), QStringLiteral("pw"));
    }
    void logIn() {
        whenModal(QStringLiteral("frmLogin"), [](QWidget& login) {
            QTest::keyClicks(&child<QLineEdit>(login, "PWDEdit"), QStringLiteral("pw"));
            QTest::keyClick(&child<QLineEdit>(login, "PWDEdit"), Qt::Key_Return);
        });
        ASSERT_TRUE(shop.start());
    }
    void trigger(const char* item) { child<QAction>(shop.mainWindow(), item).trigger(); }

    TempProgramFolder folder;
    ScriptedPrompter prompter;
    FixedClock clock{at(2026, 3, 7, 14, 5, 9)};
    ShopApplication shop{folder.path(), prompter, clock};
};

TEST_F(AdminThroughTheMainWindow, ParametersAreTypedAppliedAndSaved) {
    logIn();
    whenModal(QStringLiteral("frm_CSSet"), [this](QWidget& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "PSFJinput").text(), QStringLiteral("100.00"));
        retype(dialog, "PSFJinput", QStringLiteral("12.5"));
        retype(dialog, "R1ZJinput", QStringLiteral("123456"));
        EXPECT_EQ(child<QLineEdit>(dialog, "R1ZJinput").text(), QStringLiteral("12345"));
        click(dialog, "Button1");
        EXPECT_EQ(prompter.single(), QStringLiteral("保存成功!"));
        click(dialog, "Button2");
    });
    trigger("CSSetMenu");
    EXPECT_EQ(shop.pub().DamageRate, 0.125f);
    EXPECT_EQ(shop.pub().MonthlyRent, 12345.0f);
    PubData stored;
    SettingsStore::read(shop.dm().db(), stored);
    EXPECT_EQ(stored.DamageRate, 0.125f);
}

TEST_F(AdminThroughTheMainWindow, AUserIsAddedWithTheTickedBoxesAndOfferedForDeletion) {
    logIn();
    whenModal(QStringLiteral("frm_TJUser"), [this](QWidget& dialog) {
        auto& name = child<QLineEdit>(dialog, "username");
        EXPECT_EQ(dialog.focusWidget(), &name);
        QTest::keyClicks(&name, QStringLiteral("  clerk "));
        QTest::mouseClick(&child<QCheckBox>(dialog, "CheckBox4"), Qt::LeftButton);
        click(dialog, "Button1");
        EXPECT_EQ(prompter.single(), QStringLiteral("添加系统用户成功!"));
        EXPECT_EQ(child<QListWidget>(dialog, "userlist").count(), 2);
        EXPECT_EQ(name.text(), QString());
        click(dialog, "Button2");
    });
    trigger("TJUserMenu");
    EXPECT_EQ(shop.dm().db().scalar(QStringLiteral("SELECT 功能4 || 功能5 FROM 管理员 WHERE "
                                                   "用户名 = 'clerk'")),
              QStringLiteral("10"));

    prompter.clear();
    whenModal(QStringLiteral("frm_SCUser"), [this](QWidget& dialog) {
        auto& list = child<QListWidget>(dialog, "Userlist");
        ASSERT_EQ(list.count(), 1);
        list.setFocus();
        QApplication::processEvents();
        // Gaining the focus chooses nothing.
        EXPECT_EQ(list.currentRow(), -1);
        click(dialog, "Button1");
        EXPECT_EQ(prompter.single(), QStringLiteral("请先选择要删除的用户!"));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.item(0)).center());
        prompter.answer(true);
        click(dialog, "Button1");
        // The reloaded list holds nobody but the super user, which the screen says.
        EXPECT_EQ(prompter.texts().mid(1),
                  (QStringList{QStringLiteral("确实要删除此系统用户 clerk 吗？"),
                               QStringLiteral("用户:clerk已成功删除!"),
                               QStringLiteral("系统除超级用户外没有其它用户！")}));
        EXPECT_EQ(list.count(), 0);
        click(dialog, "Button2");
    });
    trigger("SCUserMenu");
}

TEST_F(AdminThroughTheMainWindow, BackupShowsTheFramelessProgressWindowUntilItCompletes) {
    logIn();
    trigger("BFDataMenu");
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(backups(folder), QStringList{QStringLiteral("2026-03-07 14-05-09buckup.zqd")});
    auto* window = qobject_cast<FormDialog*>(
        shop.mainWindow().findChild<QDialog*>(QStringLiteral("frm_bfffDate")));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    auto& bar = child<QProgressBar>(*window, "ProgressBar1");
    EXPECT_EQ(bar.value(), bar.maximum());
    EXPECT_EQ(bar.maximum(), folder.readFile(Tdm_Dbase::kFileName).size());
    window->model().run(QStringLiteral("Timer1Timer"));
    EXPECT_EQ(child<QLabel>(*window, "Label1").text(), QStringLiteral("数据备份成功！！"));
    window->model().run(QStringLiteral("Timer2Timer"));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(AdminThroughTheMainWindow, TheBackupAtStartRunsAfterTheLoginWhenSwitchedOn) {
    {
        PubData pub = PubData::defaultSettings();
        pub.AppPath = folder.path();
        pub.AutoBackupOnStart = true;
        Tdm_Dbase dm(pub);
        dm.connect();
        SettingsStore::write(dm.db(), pub);
    }
    logIn();
    EXPECT_EQ(backups(folder).size(), 1);
    EXPECT_TRUE(shop.pub().AutoBackupOnStart);
}

TEST_F(AdminThroughTheMainWindow, ARestoreBringsTheBackupBack) {
    logIn();
    trigger("BFDataMenu");
    const QString saved = folder.file(backups(folder).first());
    Query(shop.dm().db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('诗歌')"))
        .exec();
    prompter.answer(true);
    prompter.answerFile(saved);
    trigger("FFDataMenu");
    EXPECT_EQ(prompter.texts().size(), 1);
    EXPECT_EQ(shop.dm().db().scalar(QStringLiteral("SELECT count(*) FROM 图书类型")).toInt(), 7);
}

} // namespace
} // namespace lms
