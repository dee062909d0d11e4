// Two desks on one shop, at the administrator's screens: what this desk's screen loaded may be
// changed by the other desk before the button is pressed. Each race ends with the rows of one
// serial order of the two operations and this desk told what happened; nothing another desk
// stored is overwritten unseen, nothing is reported done that was not, and no log record tells
// of a change that was not made.
#include "AdminFixture.h"
#include "admin/SystemUsers.h"
#include "admin/Tfrm_CSSet.h"
#include "admin/Tfrm_GGUserQX.h"
#include "admin/Tfrm_GGpwd.h"
#include "admin/Tfrm_QKSJB.h"
#include "admin/Tfrm_SCUser.h"
#include "admin/Tfrm_TJUser.h"
#include "books/BookMessages.h"
#include "books/BookTypes.h"
#include "circulation/Tfrm_TZJBook.h"
#include "core/Passwords.h"
#include "core/Schema.h"
#include "core/SettingsStore.h"
#include "core/UserStore.h"
#include "support/TwoDesks.h"

#include <functional>

namespace lms::test {
namespace {

// The screens of one desk.
struct AdminScreens {
    explicit AdminScreens(ScreenContext& ctx)
        : adding(ctx), deleting(ctx), flags(ctx), password(ctx), settings(ctx), clearing(ctx),
          lending(ctx) {}
    Tfrm_TJUser adding;
    Tfrm_SCUser deleting;
    Tfrm_GGUserQX flags;
    Tfrm_GGpwd password;
    Tfrm_CSSet settings;
    Tfrm_QKSJB clearing;
    Tfrm_TZJBook lending;
};

class AdminTwoDesks;
struct Race;
// A race is named by its name alone in the test's output.
void PrintTo(const Race& race, std::ostream* out);

// One race: this desk's screen looks up, the other desk's whole operation runs right before
// this desk's transaction, and this desk's press ends it.
struct Race {
    const char* name;
    std::function<void(AdminTwoDesks&)> lookUp;
    std::function<void(AdminTwoDesks&)> theirs;
    std::function<void(AdminTwoDesks&)> press;
    QString theyAreTold; // the other desk's last box, when it shows one
    QString weAreTold;   // this desk's last box
    std::function<void(AdminTwoDesks&)> check;
};

class AdminTwoDesks : public AdminTest, public ::testing::WithParamInterface<Race> {
public:
    AdminTwoDesks() {
        shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {2, 9});
        shop.addUser(QStringLiteral("Amy"), QStringLiteral("y"), {1});
        EXPECT_TRUE(other.dm.ReadSysSet());
    }

    static std::vector<Race> races();

protected:
    // The flag numbers set in the user's stored row.
    QList<int> storedFlags(const QString& name) {
        const std::optional<Users::UserRow> user = Users::loadUser(db(), name);
        QList<int> numbers;
        if (user)
            for (std::size_t i = 0; i < user->flags.size(); ++i)
                if (user->flags[i])
                    numbers << static_cast<int>(i) + 1;
        return numbers;
    }
    static QList<int> ticked(Tfrm_GGUserQX& screen) {
        QList<int> numbers;
        for (int n = 1; n <= kPermissionCount; ++n)
            if (screen.field(QStringLiteral("CheckBox%1").arg(n)).checked())
                numbers << n;
        return numbers;
    }
    static void tick(Tfrm_GGUserQX& screen, std::initializer_list<int> numbers) {
        for (int n = 1; n <= kPermissionCount; ++n)
            screen.field(QStringLiteral("CheckBox%1").arg(n)).setValue(false);
        for (int n : numbers)
            screen.field(QStringLiteral("CheckBox%1").arg(n)).setValue(true);
    }
    // The permission screen shown with the user chosen and these flags ticked.
    static void editFlags(Tfrm_GGUserQX& screen, const QString& name,
                          std::initializer_list<int> numbers) {
        screen.FormShow();
        screen.Userlist.setValue(name);
        tick(screen, numbers);
    }
    static void fillPassword(Tfrm_GGpwd& screen, const QString& name, const QString& old,
                             const QString& fresh) {
        screen.FormShow();
        screen.userlist.setValue(name);
        screen.Edit1.setValue(old);
        screen.Edit2.setValue(fresh);
        screen.Edit3.setValue(fresh);
    }
    static void chooseForDeletion(Tfrm_SCUser& screen, ScriptedPrompter& prompter,
                                  const QString& name) {
        screen.FormShow();
        screen.Userlist.setValue(name);
        prompter.answer(true);
    }
    bool passwordWorks(const QString& name, const QString& password) {
        const std::optional<Users::UserRow> user = Users::loadUser(db(), name);
        return user && Passwords::verify(password, user->passwordHash);
    }
    qint64 logsOf(const QString& event) {
        return scalar(QStringLiteral("SELECT count(*) FROM 日志 WHERE 事件 = ?"), {event})
            .toLongLong();
    }
    PubData storedSettings() {
        PubData stored;
        SettingsStore::read(db(), stored);
        return stored;
    }
    // The lending screen with the reader and the book looked up, not yet lent.
    static void lookUpLoan(Tfrm_TZJBook& screen, const PubData& pub, const QString& reader,
                           const QString& book) {
        screen.FormShow();
        screen.field(QStringLiteral("tzID")).type(reader);
        if (reader.size() != pub.ReaderIdMaxLen)
            screen.CheckisHaveReaderClick();
        screen.field(QStringLiteral("tsID")).type(book);
        if (book.size() != pub.BookIdMaxLen)
            screen.CheckisHavebookClick();
        ASSERT_TRUE(screen.Button1.isEnabled());
    }

    OtherDesk other{shop};
    AdminScreens mine{ctx};
    AdminScreens theirs{other.ctx};
    Meanwhile meanwhile{shop.dm->db()};
};

const QString kLi = QStringLiteral("李四");
const QString kPermissionsChanged = QStringLiteral("更改权限成功!");
const QString kPasswordChanged = QStringLiteral("更改密码成功!");
const QString kSaved = QStringLiteral("保存成功!");

std::vector<Race> AdminTwoDesks::races() {
    const auto deleteLi = [](AdminTwoDesks& t) {
        chooseForDeletion(t.theirs.deleting, t.other.prompter, kLi);
        t.theirs.deleting.Button1Click();
    };
    const QString liDeleted = QStringLiteral("用户:李四已成功删除!");
    const auto setRent = [](Tfrm_CSSet& screen, const char* rent) {
        screen.FormShow();
        screen.R1.rent.setValue(QString::fromUtf8(rent));
    };
    return {
        {.name = "PermissionsChangedMeanwhileAreNotOverwrittenUnseen",
         .lookUp =
             [](AdminTwoDesks& t) {
                 editFlags(t.mine.flags, kLi, {2, 9, 13});
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 editFlags(t.theirs.flags, kLi, {9});
                 t.theirs.flags.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.flags.Button1Click(); },
         .theyAreTold = kPermissionsChanged,
         .weAreTold = SystemUsers::changedElsewhere(kLi),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(t.storedFlags(kLi), QList<int>{9});
                 // The clerk is shown the flags as they are now.
                 EXPECT_EQ(ticked(t.mine.flags), QList<int>{9});
                 EXPECT_EQ(t.logsOf(QStringLiteral("更改用户权限")), 1);
             }},
        {.name = "PermissionsOfAUserDeletedMeanwhileAreNotReportedChanged",
         .lookUp = [](AdminTwoDesks& t) { editFlags(t.mine.flags, kLi, {1}); },
         .theirs = deleteLi,
         .press = [](AdminTwoDesks& t) { t.mine.flags.Button1Click(); },
         .theyAreTold = liDeleted,
         .weAreTold = SystemUsers::deletedElsewhere(kLi),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_FALSE(Users::exists(t.db(), kLi));
                 EXPECT_EQ(t.logsOf(QStringLiteral("更改用户权限")), 0);
                 EXPECT_EQ(t.mine.flags.Userlist.items(), QStringList{QStringLiteral("Amy")});
             }},
        {.name = "FlagsChangedWhileAnotherDeskChangesThePasswordKeepBoth",
         .lookUp =
             [](AdminTwoDesks& t) {
                 editFlags(t.mine.flags, kLi, {2, 9, 13});
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 fillPassword(t.theirs.password, kLi, QStringLiteral("x"), QStringLiteral("n2"));
                 t.theirs.password.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.flags.Button1Click(); },
         .theyAreTold = kPasswordChanged,
         .weAreTold = kPermissionsChanged,
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(t.storedFlags(kLi), (QList<int>{2, 9, 13}));
                 EXPECT_TRUE(t.passwordWorks(kLi, QStringLiteral("n2")));
             }},
        {.name = "APasswordOfAUserDeletedMeanwhileIsNotReportedChanged",
         .lookUp =
             [](AdminTwoDesks& t) {
                 fillPassword(t.mine.password, kLi, QStringLiteral("x"), QStringLiteral("n1"));
             },
         .theirs = deleteLi,
         .press = [](AdminTwoDesks& t) { t.mine.password.Button1Click(); },
         .theyAreTold = liDeleted,
         .weAreTold = SystemUsers::deletedElsewhere(kLi),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_FALSE(Users::exists(t.db(), kLi));
                 EXPECT_EQ(t.logsOf(QStringLiteral("更改用户密码")), 0);
             }},
        {.name = "APasswordChangedMeanwhileIsNotReplacedByTheOldOnesHolder",
         .lookUp =
             [](AdminTwoDesks& t) {
                 fillPassword(t.mine.password, kLi, QStringLiteral("x"), QStringLiteral("n1"));
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 fillPassword(t.theirs.password, kLi, QStringLiteral("x"), QStringLiteral("n2"));
                 t.theirs.password.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.password.Button1Click(); },
         .theyAreTold = kPasswordChanged,
         .weAreTold = SystemUsers::changedElsewhere(kLi),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_TRUE(t.passwordWorks(kLi, QStringLiteral("n2")));
                 EXPECT_FALSE(t.passwordWorks(kLi, QStringLiteral("n1")));
                 EXPECT_EQ(t.logsOf(QStringLiteral("更改用户密码")), 1);
             }},
        {.name = "APasswordChangedWhileAnotherDeskChangesTheFlagsKeepsBoth",
         .lookUp =
             [](AdminTwoDesks& t) {
                 fillPassword(t.mine.password, kLi, QStringLiteral("x"), QStringLiteral("n1"));
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 editFlags(t.theirs.flags, kLi, {4});
                 t.theirs.flags.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.password.Button1Click(); },
         .theyAreTold = kPermissionsChanged,
         .weAreTold = kPasswordChanged,
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_TRUE(t.passwordWorks(kLi, QStringLiteral("n1")));
                 EXPECT_EQ(t.storedFlags(kLi), QList<int>{4});
             }},
        {.name = "AUserDeletedMeanwhileIsNotDeletedAgain",
         .lookUp = [](AdminTwoDesks& t) { chooseForDeletion(t.mine.deleting, t.prompter, kLi); },
         .theirs = deleteLi,
         .press = [](AdminTwoDesks& t) { t.mine.deleting.Button1Click(); },
         .theyAreTold = liDeleted,
         .weAreTold = SystemUsers::deletedElsewhere(kLi),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(t.logsOf(QStringLiteral("删除系统用户")), 1);
                 EXPECT_EQ(t.mine.deleting.Userlist.items(), QStringList{QStringLiteral("Amy")});
             }},
        {.name = "AUserWhoseFlagsChangedMeanwhileIsStillDeleted",
         .lookUp = [](AdminTwoDesks& t) { chooseForDeletion(t.mine.deleting, t.prompter, kLi); },
         .theirs =
             [](AdminTwoDesks& t) {
                 editFlags(t.theirs.flags, kLi, {13});
                 t.theirs.flags.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.deleting.Button1Click(); },
         .theyAreTold = kPermissionsChanged,
         .weAreTold = QStringLiteral("用户:李四已成功删除!"),
         .check = [](AdminTwoDesks& t) { EXPECT_FALSE(Users::exists(t.db(), kLi)); }},
        // Each desk's user deletes the other's: both go, and the super user stays with all its
        // flags, so the shop always keeps an administrator.
        {.name = "EachDeskDeletingTheOthersUserLeavesTheSuperUser",
         .lookUp =
             [](AdminTwoDesks& t) {
                 t.shop.pub.CurrentUser = kLi;
                 chooseForDeletion(t.mine.deleting, t.prompter, QStringLiteral("Amy"));
             },
         .theirs =
             [deleteLi](AdminTwoDesks& t) {
                 t.other.pub.CurrentUser = QStringLiteral("Amy");
                 deleteLi(t);
             },
         .press = [](AdminTwoDesks& t) { t.mine.deleting.Button1Click(); },
         .theyAreTold = liDeleted,
         .weAreTold = QStringLiteral("用户:Amy已成功删除!"),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(Users::names(t.db()), QStringList{ShopDatabase::kSuperUser});
                 QList<int> all;
                 for (int n = 1; n <= kPermissionCount; ++n)
                     all << n;
                 EXPECT_EQ(t.storedFlags(ShopDatabase::kSuperUser), all);
             }},
        {.name = "AUserAddedMeanwhileIsRefusedAsExisting",
         .lookUp =
             [](AdminTwoDesks& t) {
                 t.mine.adding.FormShow();
                 t.mine.adding.username.type(QStringLiteral("王五"));
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 t.theirs.adding.FormShow();
                 t.theirs.adding.username.type(QStringLiteral("王五"));
                 t.theirs.adding.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.adding.Button1Click(); },
         .theyAreTold = QStringLiteral("添加系统用户成功!"),
         .weAreTold = QStringLiteral("此用户已存在！请重新输入新的用户名"),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(t.shop.count(QStringLiteral("管理员")), 4);
                 EXPECT_EQ(t.logsOf(QStringLiteral("添加系统用户")), 1);
                 EXPECT_EQ(t.mine.adding.username.text(), QStringLiteral("王五"));
             }},
        // Settings: only what the clerk changed is stored; another desk's save of other settings
        // stays, of the same setting refuses.
        {.name = "SettingsSavedMeanwhileStayBesideTheClerksChange",
         .lookUp = [setRent](AdminTwoDesks& t) { setRent(t.mine.settings, "25"); },
         .theirs =
             [](AdminTwoDesks& t) {
                 t.theirs.settings.FormShow();
                 t.theirs.settings.CQFJinput.setValue(QStringLiteral("0.5"));
                 t.theirs.settings.isBFSJinput.setValue(true);
                 t.theirs.settings.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.settings.Button1Click(); },
         .theyAreTold = kSaved,
         .weAreTold = QStringLiteral("保存成功!\r\r其他窗口刚刚保存的参数也已生效，请查看。"),
         .check =
             [](AdminTwoDesks& t) {
                 const PubData stored = t.storedSettings();
                 EXPECT_EQ(stored.MonthlyRent, 25.0f);
                 EXPECT_EQ(stored.OverdueFinePerDay, 0.5f);
                 EXPECT_TRUE(stored.AutoBackupOnStart);
                 // This desk now runs with, and shows, what is stored.
                 EXPECT_TRUE(SettingsStore::sameSettings(t.shop.pub, stored));
                 EXPECT_EQ(t.mine.settings.CQFJinput.text(), QStringLiteral("0.5"));
                 EXPECT_EQ(t.logsOf(QStringLiteral("修改系统参数")), 2);
             }},
        {.name = "TheSameSettingSavedMeanwhileRefusesTheSave",
         .lookUp =
             [setRent](AdminTwoDesks& t) {
                 setRent(t.mine.settings, "25");
                 t.mine.settings.TSTSinput.setValue(11);
             },
         .theirs =
             [setRent](AdminTwoDesks& t) {
                 setRent(t.theirs.settings, "35");
                 t.theirs.settings.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.settings.Button1Click(); },
         .theyAreTold = kSaved,
         .weAreTold = QStringLiteral("系统参数已在其他窗口更改！\r\r已显示现在保存的参数，请查看后"
                                     "重新输入再保存。"),
         .check =
             [](AdminTwoDesks& t) {
                 const PubData stored = t.storedSettings();
                 EXPECT_EQ(stored.MonthlyRent, 35.0f);
                 EXPECT_EQ(stored.ExpiryReminderDays,
                           PubData::defaultSettings().ExpiryReminderDays);
                 EXPECT_TRUE(SettingsStore::sameSettings(t.shop.pub, stored));
                 EXPECT_EQ(t.mine.settings.R1.rent.text(), QStringLiteral("35"));
                 EXPECT_EQ(t.logsOf(QStringLiteral("修改系统参数")), 1);
             }},
        {.name = "TheSameValueSavedAtBothDesksIsSavedTwice",
         .lookUp = [setRent](AdminTwoDesks& t) { setRent(t.mine.settings, "25"); },
         .theirs =
             [setRent](AdminTwoDesks& t) {
                 setRent(t.theirs.settings, "25");
                 t.theirs.settings.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.settings.Button1Click(); },
         .theyAreTold = kSaved,
         .weAreTold = kSaved,
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(t.storedSettings().MonthlyRent, 25.0f);
                 EXPECT_EQ(t.logsOf(QStringLiteral("修改系统参数")), 2);
             }},
        // The shop's name is merged as the other settings are.
        {.name = "AShopNameSavedMeanwhileStaysBesideTheClerksChange",
         .lookUp = [setRent](AdminTwoDesks& t) { setRent(t.mine.settings, "25"); },
         .theirs =
             [](AdminTwoDesks& t) {
                 t.theirs.settings.FormShow();
                 t.theirs.settings.BDMCinput.setValue(QStringLiteral("书香租书屋"));
                 t.theirs.settings.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.settings.Button1Click(); },
         .theyAreTold = kSaved,
         .weAreTold = QStringLiteral("保存成功!\r\r其他窗口刚刚保存的参数也已生效，请查看。"),
         .check =
             [](AdminTwoDesks& t) {
                 const PubData stored = t.storedSettings();
                 EXPECT_EQ(stored.MonthlyRent, 25.0f);
                 EXPECT_EQ(stored.ShopName, QStringLiteral("书香租书屋"));
                 EXPECT_EQ(t.shop.pub.ShopName, QStringLiteral("书香租书屋"));
                 EXPECT_EQ(t.mine.settings.BDMCinput.text(), QStringLiteral("书香租书屋"));
             }},
        {.name = "AnotherShopNameSavedMeanwhileRefusesTheClerksName",
         .lookUp =
             [](AdminTwoDesks& t) {
                 t.mine.settings.FormShow();
                 t.mine.settings.BDMCinput.setValue(QStringLiteral("甲店"));
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 t.theirs.settings.FormShow();
                 t.theirs.settings.BDMCinput.setValue(QStringLiteral("乙店"));
                 t.theirs.settings.Button1Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.settings.Button1Click(); },
         .theyAreTold = kSaved,
         .weAreTold = QStringLiteral("系统参数已在其他窗口更改！\r\r已显示现在保存的参数，请查看后"
                                     "重新输入再保存。"),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(t.storedSettings().ShopName, QStringLiteral("乙店"));
                 EXPECT_EQ(t.mine.settings.BDMCinput.text(), QStringLiteral("乙店"));
             }},
        // Book types.
        {.name = "ABookTypeAddedMeanwhileIsRefusedAsExisting",
         .lookUp =
             [](AdminTwoDesks& t) {
                 t.mine.settings.FormShow();
                 t.prompter.answerInput(QStringLiteral("园艺"));
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 t.other.prompter.answerInput(QStringLiteral("园艺"));
                 t.theirs.settings.Button4Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.settings.Button4Click(); },
         .theyAreTold = QStringLiteral("添加新图书类型成功!"),
         .weAreTold = QStringLiteral("此图书类型已存在！"),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(Books::loadBookTypes(t.db()).count(QStringLiteral("园艺")), 1);
                 EXPECT_EQ(t.logsOf(QStringLiteral("添加新图书类型")), 1);
                 EXPECT_TRUE(t.mine.settings.tsrx.items().contains(QStringLiteral("园艺")));
             }},
        {.name = "ABookTypeDeletedMeanwhileIsNotReportedDeleted",
         .lookUp =
             [](AdminTwoDesks& t) {
                 t.mine.settings.FormShow();
                 t.mine.settings.tsrx.setItemIndex(0);
                 t.prompter.answer(true);
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 t.theirs.settings.FormShow();
                 t.theirs.settings.tsrx.setItemIndex(0);
                 t.other.prompter.answer(true);
                 t.theirs.settings.Button5Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.settings.Button5Click(); },
         .theyAreTold = QStringLiteral("图书类型:%1已成功删除!").arg(Schema::defaultBookTypes()[0]),
         .weAreTold =
             QStringLiteral("图书类型：%1已在其他窗口删除！\r\r请查看图书类型列表后再操作。")
                 .arg(Schema::defaultBookTypes()[0]),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(t.logsOf(QStringLiteral("删除图书类型")), 1);
                 EXPECT_FALSE(t.mine.settings.tsrx.items().contains(Schema::defaultBookTypes()[0]));
             }},
        // Clearing: under the write lock, its summary summed under the same lock.
        {.name = "TheLedgersSummaryCountsARecordWrittenMeanwhile",
         .lookUp =
             [](AdminTwoDesks& t) {
                 t.shop.addPayments(2, at(2026, 3, 1, 9, 0));
                 t.prompter.answer(true);
                 t.prompter.answer(true);
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 EXPECT_TRUE(t.other.dm.WriteZJ(QStringLiteral("缴费充值"),
                                                ShopDatabase::kSuperUser, t.other.clock.now(), 10,
                                                0, 10, 0, 0, 0));
             },
         .press = [](AdminTwoDesks& t) { t.mine.clearing.Button2Click(); },
         .theyAreTold = {},
         .weAreTold = QStringLiteral("清空系统中所有资金成功!"),
         .check =
             [](AdminTwoDesks& t) {
                 EXPECT_EQ(t.shop.count(QStringLiteral("资金")), 1);
                 const QVariantMap summary = lastRow(t.db(), QStringLiteral("资金"));
                 EXPECT_EQ(summary[QStringLiteral("事件")].toString(), QStringLiteral("资金汇总"));
                 EXPECT_DOUBLE_EQ(summary[QStringLiteral("金额总计")].toDouble(), 12.5);
                 EXPECT_DOUBLE_EQ(summary[QStringLiteral("押金")].toDouble(), 12.5);
             }},
        {.name = "ALoanLookedUpBeforeTheShopWasClearedIsRefused",
         .lookUp =
             [](AdminTwoDesks& t) {
                 addReader(t.db(), QStringLiteral("R0000001"));
                 addBook(t.db(), QStringLiteral("B0000001"));
                 lookUpLoan(t.mine.lending, t.shop.pub, QStringLiteral("R0000001"),
                            QStringLiteral("B0000001"));
             },
         .theirs =
             [](AdminTwoDesks& t) {
                 t.other.prompter.answer(true);
                 t.other.prompter.answer(true);
                 t.theirs.clearing.Button3Click();
             },
         .press = [](AdminTwoDesks& t) { t.mine.lending.Button1Click(); },
         .theyAreTold = QStringLiteral("清空所有读者、所有图书成功!"),
         .weAreTold = Books::notFoundMessage(QStringLiteral("B0000001")),
         .check =
             [](AdminTwoDesks& t) {
                 for (const char* table : {"读者", "图书", "借出图书"})
                     EXPECT_EQ(t.shop.count(QString::fromUtf8(table)), 0) << table;
             }},
    };
}

void PrintTo(const Race& race, std::ostream* out) {
    *out << race.name;
}

TEST_P(AdminTwoDesks, EndsInOneSerialOrderWithThisDeskTold) {
    const Race& race = GetParam();
    race.lookUp(*this);
    if (HasFatalFailure())
        return;
    prompter.clear();
    meanwhile([&] { race.theirs(*this); });
    race.press(*this);
    ASSERT_TRUE(meanwhile.ran()) << "this desk began no transaction";
    if (!race.theyAreTold.isEmpty()) {
        EXPECT_EQ(other.prompter.lastText(), race.theyAreTold);
    }
    EXPECT_TRUE(prompter.texts().contains(race.weAreTold))
        << prompter.texts().join(u'|').toStdString();
    race.check(*this);
}

INSTANTIATE_TEST_SUITE_P(Races, AdminTwoDesks, ::testing::ValuesIn(AdminTwoDesks::races()),
                         [](const ::testing::TestParamInfo<Race>& race) {
                             return std::string(race.param.name);
                         });

} // namespace
} // namespace lms::test
