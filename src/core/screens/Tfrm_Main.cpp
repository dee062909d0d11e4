#include "core/screens/Tfrm_Main.h"

#include "core/DbError.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"

#include <cstring>

namespace lms {

const std::vector<Tfrm_Main::Menu>& Tfrm_Main::menus() {
    static const std::vector<Menu> table = {
        {"N1", "基本操作", {{"CXLogin", "注消并重新登陆"}, {"N25", "-"}, {"N26", "退出"}}},
        {"N2",
         "图书管理",
         {{"TJBookMenu", "添加新书"},
          {"GGBookMenu", "更改图书信息"},
          {"SCBookMenu", "删除图书"},
          {"DRBookMenu", "导入图书…"},
          {"BookLabelMenu", "打印图书标签…"},
          {"N27", "-"},
          {"TZJBookMenu", "读者借书"},
          {"TZHBookMenu", "读者还书"}}},
        {"N3",
         "读者管理",
         {{"TJReaderMenu", "添加读者"},
          {"GGReaderMenu", "更改读者信息"},
          {"SZReaderMenu", "删除读者"},
          {"DRReaderMenu", "导入读者…"},
          {"ReaderCardMenu", "打印读者证…"},
          {"N17", "-"},
          {"JNZCMenu", "缴费充值"}}},
        {"N5",
         "查询统计",
         {{"QAllBookMenu", "所有图书查询"},
          {"QJCBookMenu", "借出图书查询"},
          {"QCallListMenu", "催还与到期"},
          {"QAllRecMenu", "借阅历史记录查询"},
          {"N11", "-"},
          {"QallReaderMenu", "读者查询统计"},
          {"N12", "-"},
          {"QAllMoneyMenu", "资金查询统计"},
          {"QMoneyChartMenu", "资金统计图"},
          {"DayCloseMenu", "当日结账"}}},
        {"N4",
         "系统管理",
         {{"TJUserMenu", "添加新用户"},
          {"GGUserQXMenu", "更改用户权限"},
          {"GGpwdMenu", "更改密码"},
          {"SCUserMenu", "删除用户"},
          {"N30", "-"},
          {"CHRZMenu", "查看操作日志"},
          {"QKDataMenu", "清空系统数据"},
          {"N8", "-"},
          {"BFDataMenu", "备份数据"},
          {"FFDataMenu", "恢复数据"}}},
        {"N6", "系统设置", {{"CSSetMenu", "系统参数设置"}}},
        {"N7", "帮助", {{"N14", "关于"}, {"N15", "帮助"}}},
    };
    return table;
}

const std::vector<Tfrm_Main::ToolButton>& Tfrm_Main::toolButtons() {
    static const std::vector<ToolButton> table = {
        {"ToolButton2", "TZJBookMenu", 0},   {"ToolButton4", "TZHBookMenu", 1},
        {"ToolButton5", nullptr, -1},        {"ToolButton6", "QAllBookMenu", 2},
        {"ToolButton14", "QJCBookMenu", 3},  {"ToolButton7", "QallReaderMenu", 4},
        {"ToolButton8", "QAllMoneyMenu", 5}, {"ToolButton10", "CHRZMenu", 6},
        {"ToolButton9", nullptr, -1},        {"ToolButton11", "TJReaderMenu", 7},
        {"ToolButton13", "GGReaderMenu", 8}, {"ToolButton1", "JNZCMenu", 9},
    };
    return table;
}

QString Tfrm_Main::title() {
    return QStringLiteral("图书租借管理系统");
}

QStringList Tfrm_Main::commandsOfFlag(int number) {
    struct Shared {
        int flag;
        const char* command;
    };
    // Book labels go with adding books and with the book listing, reader cards with adding
    // readers and with the reader listing: either flag enables them.
    static constexpr Shared kShared[] = {
        {1, "DRBookMenu"},       {1, "BookLabelMenu"},  {19, "BookLabelMenu"},
        {6, "DRReaderMenu"},     {6, "ReaderCardMenu"}, {22, "ReaderCardMenu"},
        {23, "QMoneyChartMenu"}, {23, "DayCloseMenu"},  {20, "QCallListMenu"}};
    QStringList commands = {QString::fromUtf8(permissionFlags().at(number - 1).command)};
    for (const Shared& shared : kShared) {
        if (shared.flag == number)
            commands << QString::fromUtf8(shared.command);
    }
    return commands;
}

Tfrm_Main::Tfrm_Main(Tdm_Dbase& dm, Prompter& prompter, const Clock& clock, ScreenHost& host,
                     QObject* parent)
    : FormModel(QStringLiteral("frm_Main"), title(), parent), dm_(dm), prompter_(prompter),
      clock_(clock), host_(host) {
    for (const Menu& menu : menus()) {
        addField(QString::fromUtf8(menu.name), FieldKind::Group, QString::fromUtf8(menu.caption));
        for (const MenuItem& item : menu.items) {
            if (std::strcmp(item.caption, "-") == 0)
                continue;
            const QString name = QString::fromUtf8(item.name);
            addField(name, FieldKind::Button, QString::fromUtf8(item.caption));
            addOperation(name + QStringLiteral("Click"), [this, name] { openMenuItem(name); });
        }
    }
    // Until a user has logged in, no gated command is usable.
    for (const PermissionFlag& flag : permissionFlags())
        for (const QString& command : commandsOfFlag(flag.number))
            field(command).setEnabled(false);

    addOperation(QStringLiteral("CXLoginClick"), [this] { CXLoginClick(); });
    addOperation(QStringLiteral("N26Click"), [this] { N26Click(); });
    addOperation(QStringLiteral("N14Click"), [this] { N14Click(); });
    addOperation(QStringLiteral("N15Click"), [] {});
    addOperation(QStringLiteral("Timer1Timer"), [this] { Timer1Timer(); });
}

void Tfrm_Main::registerScreen(const QString& menuItem, FormModel& screen) {
    screens_.insert(menuItem, &screen);
}

void Tfrm_Main::registerCommand(const QString& menuItem, std::function<void()> command) {
    commands_.insert(menuItem, std::move(command));
}

void Tfrm_Main::FormShow() {
    Timer1Timer();
    softFormShow();
}

void Tfrm_Main::softFormShow() {
    if (login_)
        host_.showModal(*login_);
    if (host_.quitting())
        return;
    if (!dm_.ReadSysSet() && !dm_.WriteSysSet()) {
        prompter_.error(Messages::databaseError());
        host_.quit();
        return;
    }
    if (dm_.pub().AutoBackupOnStart && startupBackup_)
        startupBackup_();
    showLoginNotice();
}

void Tfrm_Main::Timer1Timer() {
    StatusPanel4.setValue(formats_.clockText(clock_.now()));
}

void Tfrm_Main::CXLoginClick() {
    if (login_)
        host_.showModal(*login_);
    showLoginNotice();
}

void Tfrm_Main::setLoginNotice(const QString& menuItem, std::function<QString()> notice) {
    noticeItem_ = menuItem;
    notice_ = std::move(notice);
}

void Tfrm_Main::showLoginNotice() {
    QString text;
    if (notice_ && field(noticeItem_).isEnabled()) {
        // Only a hint: a database that fails here fails the next screen with its message.
        try {
            text = notice_();
        } catch (const DbError&) {
            text.clear();
        }
    }
    StatusPanel5.setValue(text);
}

void Tfrm_Main::N26Click() {
    host_.quit();
}

void Tfrm_Main::N14Click() {
    openMenuItem(QStringLiteral("N14"));
}

void Tfrm_Main::openMenuItem(const QString& item) {
    if (!field(item).isEnabled())
        return;
    if (const auto command = commands_.constFind(item); command != commands_.constEnd()) {
        const std::function<void()> call = command.value();
        call();
    } else if (FormModel* screen = screens_.value(item)) {
        host_.showModal(*screen);
    }
}

void Tfrm_Main::setFlagEnabled(int number, bool enabled) {
    flagsOn_[number - 1] = enabled;
    // A command of several flags stays enabled while any of them is on.
    for (const QString& command : commandsOfFlag(number)) {
        bool on = false;
        for (const PermissionFlag& flag : permissionFlags())
            on = on || (flagsOn_[flag.number - 1] && commandsOfFlag(flag.number).contains(command));
        field(command).setEnabled(on);
    }
}

void Tfrm_Main::showCurrentUser(const QString& user) {
    StatusPanel2.setValue(user);
}

} // namespace lms
