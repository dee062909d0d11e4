// Changing a password: the logged-in user preselected, the new password typed twice, the old one
// checked against its hash, the new one stored hashed.
#include "AdminFixture.h"
#include "LoginProbe.h"
#include "admin/Tfrm_GGpwd.h"
#include "core/Passwords.h"

namespace lms {
namespace {

using test::AdminTest;
using test::LoginProbe;

class Password : public AdminTest {
protected:
    void fill(const QString& user, const QString& old, const QString& first,
              const QString& second) {
        screen.field(QStringLiteral("userlist")).setValue(user);
        screen.field(QStringLiteral("Edit1")).setValue(old);
        screen.field(QStringLiteral("Edit2")).setValue(first);
        screen.field(QStringLiteral("Edit3")).setValue(second);
    }
    QString storedPassword(const QString& name) {
        return scalar(QStringLiteral("SELECT 密码 FROM 管理员 WHERE 用户名 = ?"), {name})
            .toString();
    }
    bool logsIn(const QString& name, const QString& password) {
        return LoginProbe(*shop.dm, clock).logIn(name, password).has_value();
    }

    Tfrm_GGpwd screen{ctx};
};

TEST_F(Password, ShowingListsEveryUserWithTheLoggedInOneChosenAndEmptiesTheFields) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {});
    shop.pub.CurrentUser = QStringLiteral("李四");
    fill(QStringLiteral("admin"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    screen.FormShow();
    EXPECT_EQ(screen.field(QStringLiteral("userlist")).items(),
              (QStringList{QStringLiteral("admin"), QStringLiteral("李四")}));
    EXPECT_EQ(screen.field(QStringLiteral("userlist")).text(), QStringLiteral("李四"));
    for (const char* name : {"Edit1", "Edit2", "Edit3"})
        EXPECT_EQ(screen.field(QString::fromUtf8(name)).text(), QString()) << name;
    EXPECT_EQ(screen.field(QStringLiteral("Edit1")).kind(), FieldKind::Password);
    EXPECT_TRUE(prompter.boxes().empty());

    shop.pub.CurrentUser = QStringLiteral("gone");
    screen.FormShow();
    EXPECT_EQ(screen.field(QStringLiteral("userlist")).text(), QString());
}

TEST_F(Password, NoUserChosenIsRefused) {
    screen.FormShow();
    fill(QString(), QStringLiteral("secret"), QStringLiteral("n"), QStringLiteral("n"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("请输入或选择要更改密码的用户!"));
}

TEST_F(Password, DifferentNewPasswordsAreRefusedBeforeTheOldOneIsLookedAt) {
    screen.FormShow();
    fill(QStringLiteral("admin"), QStringLiteral("wrong"), QStringLiteral("new1"),
         QStringLiteral("new1 "));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("您两次输入的新密码不一样!"));
    EXPECT_TRUE(logsIn(QStringLiteral("admin"), QStringLiteral("secret")));
}

TEST_F(Password, AWrongOldPasswordIsRefusedAndNothingChanges) {
    const QString before = storedPassword(QStringLiteral("admin"));
    screen.FormShow();
    for (const QString& wrong : {QStringLiteral("Secret"), QStringLiteral("secret "), QString()}) {
        prompter.clear();
        fill(QStringLiteral("admin"), wrong, QStringLiteral("n"), QStringLiteral("n"));
        screen.Button1Click();
        EXPECT_EQ(prompter.single(), QStringLiteral("输入的旧密码不正确!"));
    }
    EXPECT_EQ(storedPassword(QStringLiteral("admin")), before);
    EXPECT_TRUE(logRecords().isEmpty());
}

TEST_F(Password, TheNewPasswordIsStoredHashedAndWorksAtTheNextLogin) {
    shop.addUser(QStringLiteral("O'Hara"), QStringLiteral("old pw"), {});
    screen.FormShow();
    fill(QStringLiteral("O'Hara"), QStringLiteral("old pw"), QStringLiteral("n3w'--"),
         QStringLiteral("n3w'--"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("更改密码成功!"));
    EXPECT_EQ(logRecords(),
              QStringList{QStringLiteral("更改用户密码|admin|被更改密码的用户：O'Hara")});
    EXPECT_NE(storedPassword(QStringLiteral("O'Hara")), QStringLiteral("n3w'--"));
    EXPECT_TRUE(logsIn(QStringLiteral("O'Hara"), QStringLiteral("n3w'--")));
    EXPECT_FALSE(logsIn(QStringLiteral("O'Hara"), QStringLiteral("old pw")));
    // The fields are kept and the screen stays.
    EXPECT_EQ(screen.field(QStringLiteral("Edit2")).text(), QStringLiteral("n3w'--"));
}

TEST_F(Password, ATypedNameIsFoundWithoutRegardToLetterCase) {
    shop.addUser(QStringLiteral("Amy"), QStringLiteral("pw"), {});
    screen.FormShow();
    fill(QStringLiteral("AMY"), QStringLiteral("pw"), QStringLiteral("q"), QStringLiteral("q"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("更改密码成功!"));
    EXPECT_EQ(logRecords(),
              QStringList{QStringLiteral("更改用户密码|admin|被更改密码的用户：Amy")});
    EXPECT_TRUE(logsIn(QStringLiteral("Amy"), QStringLiteral("q")));
}

TEST_F(Password, AnExactNameWinsOverOneDifferingInCase) {
    shop.addUser(QStringLiteral("amy"), QStringLiteral("lower"), {});
    shop.addUser(QStringLiteral("Amy"), QStringLiteral("upper"), {});
    screen.FormShow();
    fill(QStringLiteral("Amy"), QStringLiteral("upper"), QStringLiteral("q"), QStringLiteral("q"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("更改密码成功!"));
    EXPECT_TRUE(logsIn(QStringLiteral("amy"), QStringLiteral("lower")));
    EXPECT_TRUE(logsIn(QStringLiteral("Amy"), QStringLiteral("q")));
}

TEST_F(Password, AnUnknownTypedNameChangesNobodysPassword) {
    const QString before = storedPassword(QStringLiteral("admin"));
    screen.FormShow();
    fill(QStringLiteral("nobody"), QStringLiteral("secret"), QStringLiteral("n"),
         QStringLiteral("n"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("系统中没有此用户!"));
    EXPECT_EQ(storedPassword(QStringLiteral("admin")), before);
}

TEST_F(Password, AnEmptyNewPasswordIsAccepted) {
    screen.FormShow();
    fill(QStringLiteral("admin"), QStringLiteral("secret"), QString(), QString());
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("更改密码成功!"));
    EXPECT_TRUE(logsIn(QStringLiteral("admin"), QString()));
}

TEST_F(Password, AFailedLogRecordKeepsTheOldPassword) {
    screen.FormShow();
    fill(QStringLiteral("admin"), QStringLiteral("secret"), QStringLiteral("n"),
         QStringLiteral("n"));
    faults.failOn(QStringLiteral("INSERT INTO 日志"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_TRUE(logsIn(QStringLiteral("admin"), QStringLiteral("secret")));
}

} // namespace
} // namespace lms
