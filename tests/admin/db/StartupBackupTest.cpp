// The automatic backup after the login at start, and the registration of the administration
// screens and commands with the main window.
#include "AdminFixture.h"
#include "admin/AdminScreens.h"
#include "core/SettingsStore.h"
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "support/Moments.h"

namespace lms {
namespace {

using test::AdminTest;
using test::at;

class StartupBackup : public AdminTest {
protected:
    StartupBackup() {
        main.setLoginDialog(login);
        clock.set(at(2026, 3, 7, 8, 0, 1));
    }
    void storeAutoBackup(bool on) {
        PubData settings = shop.pub;
        settings.AutoBackupOnStart = on;
        SettingsStore::write(db(), settings);
        shop.pub.AutoBackupOnStart = false;
    }
    void scriptLogin() {
        host.script(QStringLiteral("frmLogin"), [](FormModel& screen) {
            screen.field(QStringLiteral("userlist")).setValue(QStringLiteral("admin"));
            screen.field(QStringLiteral("PWDEdit")).setValue(QStringLiteral("secret"));
            screen.run(QStringLiteral("Button1Click"));
        });
    }

    Tfrm_Main main{*shop.dm, prompter, clock, host};
    TfrmLogin login{*shop.dm, prompter, host, main};
    AdminScreens admin{ctx, main};
};

TEST_F(StartupBackup, RunsAfterTheLoginWhenSwitchedOn) {
    storeAutoBackup(true);
    scriptLogin();
    main.FormShow();
    EXPECT_EQ(host.shown(),
              (QStringList{QStringLiteral("frmLogin"), QStringLiteral("frm_bfffDate")}));
    EXPECT_EQ(backups().size(), 1);
    EXPECT_TRUE(backups().first().startsWith(QStringLiteral("2026")));
    EXPECT_TRUE(backups().first().endsWith(QStringLiteral(" 08-00-01") + backupEnding()));
    EXPECT_EQ(admin.progress().Mode(), Tfrm_bfffDate::BackupMode);
    EXPECT_TRUE(prompter.boxes().empty());

    // Logging in again does not back up again.
    scriptLogin();
    clock.set(clock.now().addSecs(5));
    main.CXLoginClick();
    EXPECT_EQ(backups().size(), 1);
}

TEST_F(StartupBackup, DoesNothingWhenSwitchedOff) {
    storeAutoBackup(false);
    scriptLogin();
    main.FormShow();
    EXPECT_EQ(host.shown(), QStringList{QStringLiteral("frmLogin")});
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(StartupBackup, MenuItemsOpenTheirScreensAndRunTheCommands) {
    scriptLogin();
    main.FormShow();
    const QStringList items = {QStringLiteral("CSSetMenu"),    QStringLiteral("TJUserMenu"),
                               QStringLiteral("GGUserQXMenu"), QStringLiteral("GGpwdMenu"),
                               QStringLiteral("SCUserMenu"),   QStringLiteral("QKDataMenu")};
    for (const QString& item : items)
        main.run(item + QStringLiteral("Click"));
    EXPECT_EQ(host.shown().mid(1),
              (QStringList{QStringLiteral("frm_CSSet"), QStringLiteral("frm_TJUser"),
                           QStringLiteral("frm_GGUserQX"), QStringLiteral("frm_GGpwd"),
                           QStringLiteral("frm_SCUser"), QStringLiteral("frm_QKSJB")}));
    main.run(QStringLiteral("BFDataMenuClick"));
    EXPECT_EQ(backups().size(), 1);
    prompter.clear();
    prompter.answer(false);
    main.run(QStringLiteral("FFDataMenuClick"));
    EXPECT_TRUE(prompter.single().startsWith(QStringLiteral("恢复数据会影响")));
}

} // namespace
} // namespace lms
