// Adding a system user: the trimmed name, the hashed initial password, the remark and exactly
// the ticked permissions; refusals of empty and duplicate names.
#include "AdminFixture.h"
#include "LoginProbe.h"
#include "admin/SystemUsers.h"
#include "admin/Tfrm_TJUser.h"
#include "core/Passwords.h"
#include "core/UserStore.h"

namespace lms {
namespace {

using test::AdminTest;
using test::LoginProbe;

class AddUser : public AdminTest {
protected:
    AddUser() { screen.FormShow(); }

    void tick(std::initializer_list<int> numbers) {
        for (int n = 1; n <= 23; ++n)
            screen.field(QStringLiteral("CheckBox%1").arg(n)).setValue(false);
        for (int n : numbers)
            screen.field(QStringLiteral("CheckBox%1").arg(n)).setValue(true);
    }
    void add(const QString& name, const QString& remark = {}) {
        screen.field(QStringLiteral("username")).type(name);
        screen.field(QStringLiteral("Memo1")).type(remark);
        screen.Button1Click();
    }
    qint64 users() { return shop.count(QStringLiteral("管理员")); }

    Tfrm_TJUser screen{ctx};
};

TEST_F(AddUser, ShowingListsEveryUserAndClearsTheNameAndRemarkButNotTheBoxes) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {});
    screen.field(QStringLiteral("username")).setValue(QStringLiteral("left"));
    screen.field(QStringLiteral("Memo1")).setValue(QStringLiteral("over"));
    screen.field(QStringLiteral("CheckBox7")).setValue(true);
    screen.FormShow();
    EXPECT_EQ(screen.field(QStringLiteral("userlist")).items(),
              (QStringList{QStringLiteral("admin"), QStringLiteral("李四")}));
    EXPECT_EQ(screen.field(QStringLiteral("username")).text(), QString());
    EXPECT_EQ(screen.field(QStringLiteral("Memo1")).text(), QString());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("username"));
    EXPECT_TRUE(screen.field(QStringLiteral("CheckBox7")).checked());
}

TEST_F(AddUser, CaptionsLimitsAndNotes) {
    EXPECT_EQ(screen.caption(), QStringLiteral("添加系统新用户"));
    EXPECT_EQ(screen.field(QStringLiteral("username")).maxBytes(), 15);
    EXPECT_EQ(screen.field(QStringLiteral("Memo1")).maxBytes(), 220);
    EXPECT_EQ(screen.field(QStringLiteral("Memo1")).caption(),
              QStringLiteral("备    注：(最多220个字符或110个汉字)"));
    EXPECT_EQ(screen.field(QStringLiteral("PasswordNote")).text(),
              QStringLiteral("所有新增用户初始密码都为：246802"));
    EXPECT_EQ(screen.field(QStringLiteral("CheckBox14")).caption(), QStringLiteral("备份数据 "));
    EXPECT_EQ(screen.field(QStringLiteral("CheckBox9")).caption(), QStringLiteral("缴纳租金"));
    EXPECT_EQ(screen.field(QStringLiteral("PermissionGroup")).caption(),
              QStringLiteral("请选择该用户权限："));
    // Typing stops at 15 bytes: seven Chinese characters and one letter.
    screen.field(QStringLiteral("username")).type(QStringLiteral("一二三四五六七八"));
    EXPECT_EQ(screen.field(QStringLiteral("username")).text(), QStringLiteral("一二三四五六七"));
}

TEST_F(AddUser, ANewUserLogsInWithTheInitialPasswordAndHasExactlyTheTickedFlags) {
    tick({1, 4, 14, 23});
    add(QStringLiteral("王五"), QStringLiteral("早班\n收银"));
    EXPECT_EQ(prompter.single(), QStringLiteral("添加系统用户成功!"));
    EXPECT_EQ(logRecords(),
              QStringList{QStringLiteral("添加系统用户|admin|用户：王五  备注：早班\n收银")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT 备注 FROM 管理员 WHERE 用户名 = '王五'")).toString(),
              QStringLiteral("早班\n收银"));
    const QString stored =
        scalar(QStringLiteral("SELECT 密码 FROM 管理员 WHERE 用户名 = '王五'")).toString();
    EXPECT_NE(stored, SystemUsers::initialPassword());
    EXPECT_TRUE(Passwords::verify(QStringLiteral("246802"), stored));

    LoginProbe probe(*shop.dm, clock);
    EXPECT_EQ(probe.logIn(QStringLiteral("王五"), QStringLiteral("246802")),
              (QList<int>{1, 4, 14, 23}));
    EXPECT_FALSE(probe.logIn(QStringLiteral("王五"), QStringLiteral("246803")).has_value());

    // Afterwards the fields are empty, the list reloaded and the boxes kept for the next user.
    EXPECT_EQ(screen.field(QStringLiteral("username")).text(), QString());
    EXPECT_EQ(screen.field(QStringLiteral("Memo1")).text(), QString());
    EXPECT_EQ(screen.field(QStringLiteral("userlist")).items().last(), QStringLiteral("王五"));
    EXPECT_TRUE(screen.field(QStringLiteral("CheckBox14")).checked());
}

TEST_F(AddUser, AUserWithNoTickedBoxGetsNoCommand) {
    tick({});
    add(QStringLiteral("guest"));
    LoginProbe probe(*shop.dm, clock);
    EXPECT_EQ(probe.logIn(QStringLiteral("guest"), QStringLiteral("246802")), QList<int>{});
}

TEST_F(AddUser, AnEmptyNameIsRefused) {
    for (const QString& name : {QString(), QStringLiteral("   "), QStringLiteral("\t \n")}) {
        prompter.clear();
        screen.field(QStringLiteral("username")).setValue(name);
        screen.Button1Click();
        EXPECT_EQ(prompter.single(), QStringLiteral("请输入添加的用户名!"));
        EXPECT_EQ(screen.focusedField(), QStringLiteral("username"));
    }
    EXPECT_EQ(users(), 1);
}

TEST_F(AddUser, ANameDifferingOnlyByBlanksIsADuplicate) {
    add(QStringLiteral("  admin "));
    EXPECT_EQ(prompter.single(), QStringLiteral("此用户已存在！请重新输入新的用户名"));
    EXPECT_EQ(screen.field(QStringLiteral("username")).text(), QStringLiteral("  admin "));
    EXPECT_EQ(users(), 1);
    EXPECT_TRUE(logRecords().isEmpty());
}

TEST_F(AddUser, NamesAreTrimmedAndOtherwiseStoredAsTyped) {
    const QStringList typed = {QStringLiteral(" O'Brien "),        QStringLiteral("50%"),
                               QStringLiteral("a' OR '1'='1"),     QStringLiteral("x;DROP TABLE"),
                               QStringLiteral("\u3000张三\u3000"), QStringLiteral("猫😀")};
    const QStringList expected = {QStringLiteral("O'Brien"),      QStringLiteral("50%"),
                                  QStringLiteral("a' OR '1'='1"), QStringLiteral("x;DROP TABLE"),
                                  QStringLiteral("张三"),         QStringLiteral("猫😀")};
    for (const QString& name : typed) {
        prompter.clear();
        add(name);
        EXPECT_EQ(prompter.single(), QStringLiteral("添加系统用户成功!")) << name.toStdString();
    }
    EXPECT_EQ(Users::names(db()), QStringList{QStringLiteral("admin")} + expected);
    // Typing 10,000 characters keeps the first 15 bytes.
    add(QString(10000, QLatin1Char('z')));
    EXPECT_EQ(Users::names(db()).last(), QString(15, QLatin1Char('z')));
}

TEST_F(AddUser, WhenTheDuplicateCheckFailsTheUniqueIndexStillStopsADuplicate) {
    faults.failOn(QStringLiteral("SELECT 1 FROM 管理员"));
    add(QStringLiteral("admin"));
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("连接数据库出错!"), QStringLiteral("连接数据库出错!")}));
    EXPECT_EQ(users(), 1);
    EXPECT_TRUE(logRecords().isEmpty());
    // The add went as far as the insert, so the fields were cleared and the list reloaded.
    EXPECT_EQ(screen.field(QStringLiteral("username")).text(), QString());
}

TEST_F(AddUser, AFailedLogRecordTakesTheNewUserBack) {
    faults.failOn(QStringLiteral("INSERT INTO 日志"));
    add(QStringLiteral("赵六"));
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_EQ(users(), 1);
}

} // namespace
} // namespace lms
