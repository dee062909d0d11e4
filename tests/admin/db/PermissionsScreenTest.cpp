// Changing a user's permissions: the super user is never offered; showing and choosing load all
// 23 flags; saving writes all 23 and nothing else.
#include "AdminFixture.h"
#include "LoginProbe.h"
#include "admin/Tfrm_GGUserQX.h"

namespace lms {
namespace {

using test::AdminTest;
using test::LoginProbe;

class Permissions : public AdminTest {
protected:
    QList<int> ticked() {
        QList<int> numbers;
        for (int n = 1; n <= 23; ++n)
            if (screen.field(QStringLiteral("CheckBox%1").arg(n)).checked())
                numbers << n;
        return numbers;
    }
    void tick(std::initializer_list<int> numbers) {
        for (int n = 1; n <= 23; ++n)
            screen.field(QStringLiteral("CheckBox%1").arg(n)).setValue(false);
        for (int n : numbers)
            screen.field(QStringLiteral("CheckBox%1").arg(n)).setValue(true);
    }
    QString row(const QString& name) {
        QString columns = QStringLiteral("用户名 || '|' || 密码 || '|' || 备注 || '|'");
        for (int n = 1; n <= 23; ++n)
            columns += QStringLiteral(" || 功能%1").arg(n);
        return scalar(QStringLiteral("SELECT %1 FROM 管理员 WHERE 用户名 = ?").arg(columns), {name})
            .toString();
    }
    Field& list() { return screen.field(QStringLiteral("Userlist")); }

    Tfrm_GGUserQX screen{ctx};
};

TEST_F(Permissions, WithOnlyTheSuperUserNothingIsOfferedAndTheBoxesStay) {
    tick({3});
    screen.FormShow();
    EXPECT_EQ(prompter.single(), QStringLiteral("系统除超级用户外没有其它用户！"));
    EXPECT_TRUE(list().items().isEmpty());
    EXPECT_EQ(ticked(), QList<int>{3});
    prompter.clear();
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("请先选择要更改权限的用户!"));
}

TEST_F(Permissions, ShowingLoadsTheFirstOfferedUserAndChoosingReloadsAll23) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {2, 9, 23});
    shop.addUser(QStringLiteral("Amy"), QStringLiteral("y"), {1, 5});
    tick({4, 6, 7, 8});
    screen.FormShow();
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(list().items(), (QStringList{QStringLiteral("李四"), QStringLiteral("Amy")}));
    EXPECT_EQ(list().text(), QStringLiteral("李四"));
    EXPECT_EQ(ticked(), (QList<int>{2, 9, 23}));
    list().setValue(QStringLiteral("Amy"));
    EXPECT_EQ(ticked(), (QList<int>{1, 5}));
    // Showing again goes back to the first offered user even if it was chosen before.
    list().setValue(QStringLiteral("李四"));
    tick({});
    screen.FormShow();
    EXPECT_EQ(ticked(), (QList<int>{2, 9, 23}));
}

TEST_F(Permissions, SavingWritesAll23FlagsAndNothingElse) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {2, 9, 23});
    const QString superBefore = row(QStringLiteral("admin"));
    const QString before = row(QStringLiteral("李四"));
    screen.FormShow();
    tick({1, 10, 11, 13, 15, 16, 18});
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("更改权限成功!"));
    EXPECT_EQ(logRecords(), QStringList{QStringLiteral("更改用户权限|admin|被更改权限用户：李四")});
    const QString after = row(QStringLiteral("李四"));
    EXPECT_EQ(after.section(QLatin1Char('|'), 0, 2), before.section(QLatin1Char('|'), 0, 2));
    EXPECT_EQ(after.section(QLatin1Char('|'), 3), QStringLiteral("10000000011010110100000"));
    EXPECT_EQ(row(QStringLiteral("admin")), superBefore);
    EXPECT_EQ(list().text(), QStringLiteral("李四"));

    LoginProbe probe(*shop.dm, clock);
    EXPECT_EQ(probe.logIn(QStringLiteral("李四"), QStringLiteral("x")),
              (QList<int>{1, 10, 11, 13, 15, 16, 18}));
}

TEST_F(Permissions, TheSuperUserCannotBeChangedEvenThroughATamperedList) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {});
    const QString superBefore = row(QStringLiteral("admin"));
    screen.FormShow();
    list().setItems({QStringLiteral("admin")});
    list().setValue(QStringLiteral("admin"));
    tick({});
    screen.Button1Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("系统中没有此用户!"));
    EXPECT_EQ(row(QStringLiteral("admin")), superBefore);
}

TEST_F(Permissions, AFailedSaveChangesNoFlag) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {2});
    const QString before = row(QStringLiteral("李四"));
    screen.FormShow();
    tick({1, 2, 3});
    faults.failOn(QStringLiteral("INSERT INTO 日志"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_EQ(row(QStringLiteral("李四")), before);
    EXPECT_EQ(ticked(), (QList<int>{1, 2, 3}));
}

} // namespace
} // namespace lms
