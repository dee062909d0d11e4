// Deleting a system user: never the super user, never oneself, only after confirmation.
#include "AdminFixture.h"
#include "admin/Tfrm_SCUser.h"
#include "core/UserStore.h"

namespace lms {
namespace {

using test::AdminTest;

const QString kOnlySuperUser = QStringLiteral("系统除超级用户外没有其它用户！");

class DeleteUser : public AdminTest {
protected:
    Field& list() { return screen.field(QStringLiteral("Userlist")); }
    Tfrm_SCUser screen{ctx};
};

TEST_F(DeleteUser, WithOnlyTheSuperUserTheListIsEmptyAndDeleteAsksForAChoice) {
    screen.FormShow();
    EXPECT_EQ(prompter.single(), kOnlySuperUser);
    EXPECT_TRUE(list().items().isEmpty());
    prompter.clear();
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("请先选择要删除的用户!"));
}

TEST_F(DeleteUser, TheSuperUserIsNeverOfferedAndNothingIsChosen) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {});
    shop.addUser(QStringLiteral("Amy"), QStringLiteral("y"), {});
    screen.FormShow();
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(list().items(), (QStringList{QStringLiteral("李四"), QStringLiteral("Amy")}));
    EXPECT_EQ(list().text(), QString());
    EXPECT_EQ(screen.field(QStringLiteral("Userlist")).caption(),
              QStringLiteral("系统中存在的用户："));
}

TEST_F(DeleteUser, DeletingOneselfIsRefused) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {13});
    shop.pub.CurrentUser = QStringLiteral("李四");
    screen.FormShow();
    list().setValue(QStringLiteral("李四"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("当前用户为：李四,不能自己删除自己!"));
    EXPECT_EQ(shop.count(QStringLiteral("管理员")), 2);
}

TEST_F(DeleteUser, CancellingTheQuestionChangesNothing) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {});
    screen.FormShow();
    list().setValue(QStringLiteral("李四"));
    prompter.answer(false);
    screen.Button1Click();
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.box(0).text, QStringLiteral("确实要删除此系统用户 李四 吗？"));
    EXPECT_EQ(prompter.box(0).buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(shop.count(QStringLiteral("管理员")), 2);
    EXPECT_EQ(list().text(), QStringLiteral("李四"));
}

TEST_F(DeleteUser, AConfirmedDeleteRemovesTheUserLogsAndReloadsTheList) {
    shop.addUser(QStringLiteral("O'Neil"), QStringLiteral("x"), {});
    shop.addUser(QStringLiteral("Amy"), QStringLiteral("y"), {});
    screen.FormShow();
    list().setValue(QStringLiteral("O'Neil"));
    prompter.answer(true);
    screen.Button1Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("用户:O'Neil已成功删除!"));
    EXPECT_EQ(Users::names(db()), (QStringList{QStringLiteral("admin"), QStringLiteral("Amy")}));
    EXPECT_EQ(logRecords(), QStringList{QStringLiteral("删除系统用户|admin|被删除的用户：O'Neil")});
    EXPECT_EQ(list().items(), QStringList{QStringLiteral("Amy")});
    EXPECT_EQ(list().text(), QString());
}

TEST_F(DeleteUser, TheSuperUserSurvivesEvenWhenTheListIsTamperedWith) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {});
    shop.pub.CurrentUser = QStringLiteral("李四");
    screen.FormShow();
    list().setItems({QStringLiteral("admin")});
    list().setValue(QStringLiteral("admin"));
    prompter.answer(true);
    screen.Button1Click();
    EXPECT_TRUE(Users::names(db()).contains(QStringLiteral("admin")));
}

TEST_F(DeleteUser, AFailedDeleteIsReportedAndTheListReloaded) {
    shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {});
    screen.FormShow();
    list().setValue(QStringLiteral("李四"));
    prompter.answer(true);
    faults.failOn(QStringLiteral("INSERT INTO 日志"));
    screen.Button1Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_EQ(shop.count(QStringLiteral("管理员")), 2);
    EXPECT_EQ(list().items(), QStringList{QStringLiteral("李四")});
}

} // namespace
} // namespace lms
