#pragma once

#include "core/Permissions.h"
#include "core/RegionalFormats.h"
#include "core/form/FormModel.h"

#include <QHash>
#include <array>
#include <functional>
#include <vector>

namespace lms {

class Tdm_Dbase;
class Prompter;
class Clock;
class ScreenHost;

// The main window: menus and tool bar gated by the user's permissions, the status bar with the
// logged-in user and a running clock, re-login and the end of the program.
class Tfrm_Main : public FormModel, public PermissionGate {
    Q_OBJECT
public:
    struct MenuItem {
        const char* name;
        const char* caption; // "-" for a separator
    };
    struct Menu {
        const char* name;
        const char* caption;
        std::vector<MenuItem> items;
    };
    struct ToolButton {
        const char* name;
        const char* menuItem; // nullptr for a separator
        int image;
    };
    static const std::vector<Menu>& menus();
    static const std::vector<ToolButton>& toolButtons();
    static QString title();
    // Every command a permission flag enables: its own, then the later screens that go with
    // it (importing goes with adding books or readers, the cash chart and the day close with the
    // money listing, the call list with the loans listing, labels and cards with adding or
    // listing books or readers).
    static QStringList commandsOfFlag(int number);

    Tfrm_Main(Tdm_Dbase& dm, Prompter& prompter, const Clock& clock, ScreenHost& host,
              QObject* parent = nullptr);

    // The login dialog, created after the main window.
    void setLoginDialog(FormModel& login) { login_ = &login; }
    // The screen a menu item opens, or the command it runs; registered once at start-up.
    void registerScreen(const QString& menuItem, FormModel& screen);
    void registerCommand(const QString& menuItem, std::function<void()> command);
    // Runs when the settings have been loaded at start and AutoBackupOnStart is on.
    void setStartupBackup(std::function<void()> backup) { startupBackup_ = std::move(backup); }
    // After each login (once the settings are loaded), a line for the status bar, shown only to a
    // user who may open `menuItem`.
    void setLoginNotice(const QString& menuItem, std::function<QString()> notice);

    void FormShow() override;
    void softFormShow();
    void Timer1Timer();
    void CXLoginClick();
    void N26Click();
    void N14Click();

    void setFlagEnabled(int number, bool enabled) override;
    void showCurrentUser(const QString& user) override;

    // The status bar's panels, left to right (the menus' fields are named after their items).
    Field& StatusPanel0 = // fixed "提示："
        addField(QStringLiteral("StatusPanel0"), FieldKind::Label)
            .setValue(QStringLiteral("提示："));
    Field& StatusPanel1 = // fixed "当前操作人员："
        addField(QStringLiteral("StatusPanel1"), FieldKind::Label)
            .setValue(QStringLiteral("当前操作人员："));
    Field& StatusPanel2 = // the logged-in user
        addField(QStringLiteral("StatusPanel2"), FieldKind::Label).setValue(QString());
    Field& StatusPanel3 = // fixed "当前时间："
        addField(QStringLiteral("StatusPanel3"), FieldKind::Label)
            .setValue(QStringLiteral("当前时间："));
    Field& StatusPanel4 = // the running clock
        addField(QStringLiteral("StatusPanel4"), FieldKind::Label).setValue(QString());
    Field& StatusPanel5 = // the login's notice of the day, empty when there is none
        addField(QStringLiteral("StatusPanel5"), FieldKind::Label).setValue(QString());

private:
    void openMenuItem(const QString& item);
    void showLoginNotice();

    Tdm_Dbase& dm_;
    Prompter& prompter_;
    const Clock& clock_;
    ScreenHost& host_;
    RegionalFormats formats_;
    FormModel* login_ = nullptr;
    QHash<QString, FormModel*> screens_;
    QHash<QString, std::function<void()>> commands_;
    std::function<void()> startupBackup_;
    QString noticeItem_;
    std::function<QString()> notice_;
    std::array<bool, kPermissionCount> flagsOn_{};
};

} // namespace lms
