// Hostile typing on the administration screens: the parameters, the book types (an input box),
// adding users, choosing users to delete or to change permissions for, and changing passwords.
// A refusal leaves every row as it was; an acceptance stores what was typed and nothing else.
#include "AdminFixture.h"

#include "admin/Tfrm_CSSet.h"
#include "admin/Tfrm_GGUserQX.h"
#include "admin/Tfrm_GGpwd.h"
#include "admin/Tfrm_SCUser.h"
#include "admin/Tfrm_TJUser.h"
#include "core/Passwords.h"
#include "support/HostileInput.h"

#include <cmath>

namespace lms {
namespace {

using test::Attempt;
using test::HostileRunner;
using test::HostileValue;
using test::StoredColumn;
using test::StoredForm;

const QString kUsers = QStringLiteral("管理员");

class HostileAdminInput : public test::AdminTest {
protected:
    ~HostileAdminInput() override { tried += runner.tried(); }
    static void TearDownTestSuite() { test::reportInputsTried("admin", tried); }

    // Users named with every short value, each with the password "pw".
    void addHostileUsers() {
        for (const HostileValue& value : test::shortHostileValues())
            shop.addUser(test::storedForm(value.text), QStringLiteral("pw"), {});
    }
    QString passwordHashOf(const QString& name) {
        return scalar(QStringLiteral("SELECT 密码 FROM 管理员 WHERE 用户名 = ?"), {name})
            .toString();
    }

    HostileRunner runner{shop.dm->db(), prompter};
    static inline int tried = 0;
};

TEST_F(HostileAdminInput, Parameters) {
    Tfrm_CSSet screen(ctx);
    const PubData settings = shop.pub;
    const QStringList fields = test::typedTextFields(screen);
    ASSERT_EQ(fields.size(), 15); // the 14 amounts and the shop's name
    for (const QString& field : fields) {
        for (const HostileValue& value : test::shortHostileValues()) {
            runner.attempt(screen, field, value,
                           {[&] {
                                shop.pub = settings;
                                screen.FormShow();
                            },
                            [&] {
                                screen.focusLeft(field);
                                screen.Button3Click();
                                screen.Button1Click();
                            },
                            [&](const Attempt& a) {
                                // Whatever was applied is a number the amounts can be charged in.
                                const PubData& p = shop.pub;
                                for (float amount :
                                     {p.MonthlyRent, p.MonthlyDeposit, p.MonthlyOpeningFee,
                                      p.QuarterlyRent, p.QuarterlyDeposit, p.QuarterlyOpeningFee,
                                      p.YearlyRent, p.YearlyDeposit, p.YearlyOpeningFee,
                                      p.DailyRent, p.DailyDeposit, p.DailyOpeningFee,
                                      p.OverdueFinePerDay, p.DamageRate})
                                    EXPECT_TRUE(std::isfinite(amount)) << a.where();
                            }},
                           std::nullopt);
        }
    }
    shop.pub = settings;
    EXPECT_GT(runner.accepted(), 0);
}

// The book type name comes from an input box, not a field: answered with each value.
TEST_F(HostileAdminInput, BookTypes) {
    Tfrm_CSSet screen(ctx);
    int accepted = 0;
    for (const HostileValue& value : test::hostileValues()) {
        ++tried;
        const test::DatabaseDump before = test::dumpDatabase(db());
        Transaction scratch(db());
        screen.FormShow();
        prompter.clear();
        prompter.answerInput(value.text);
        EXPECT_NO_THROW(screen.Button4Click()) << value.label;
        const test::DatabaseDump after = test::dumpDatabase(db());
        const auto types = test::changedRows(before, after, QStringLiteral("图书类型"));
        if (prompter.texts() != QStringList{QStringLiteral("添加新图书类型成功!")}) {
            EXPECT_EQ(before, after) << value.label << "\n"
                                     << test::describeDifference(before, after).toStdString();
            continue;
        }
        ++accepted;
        // Stored exactly as typed, blanks included; the list shows it.
        ASSERT_EQ(types.size(), 1u) << value.label;
        EXPECT_EQ(types[0][0].bytes, value.text.toUtf8()) << value.label;
        EXPECT_TRUE(screen.field(QStringLiteral("tsrx"))
                        .items()
                        .contains(QString::fromUtf8(value.text.toUtf8())))
            << value.label;
        // And it can be deleted again by its name alone.
        screen.field(QStringLiteral("tsrx")).setValue(QString::fromUtf8(value.text.toUtf8()));
        prompter.answer(true);
        screen.Button5Click();
        EXPECT_EQ(test::dumpDatabase(db()).without({QStringLiteral("日志")}),
                  before.without({QStringLiteral("日志")}))
            << value.label;
    }
    EXPECT_GT(accepted, 20);
}

TEST_F(HostileAdminInput, AddingUsers) {
    Tfrm_TJUser screen(ctx);
    const QStringList fields = test::typedTextFields(screen);
    ASSERT_EQ(fields, (QStringList{QStringLiteral("username"), QStringLiteral("Memo1")}));
    for (const QString& field : fields) {
        for (const HostileValue& value : test::hostileValues()) {
            runner.attempt(
                screen, field, value,
                {[&] {
                     screen.FormShow();
                     screen.field(QStringLiteral("username")).type(QStringLiteral("new"));
                 },
                 [&] { screen.Button1Click(); },
                 [&](const Attempt& a) {
                     if (a.refused({}))
                         return;
                     EXPECT_EQ(test::changedRows(a.before, a.after, kUsers).size(), 1u)
                         << a.where();
                 }},
                field == QStringLiteral("username")
                    ? StoredColumn{kUsers, QStringLiteral("用户名"), StoredForm::Trimmed}
                    : StoredColumn{kUsers, QStringLiteral("备注")});
        }
    }
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileAdminInput, DeletingUsersChosenByHostileNames) {
    addHostileUsers();
    Tfrm_SCUser screen(ctx);
    const qint64 users = shop.count(kUsers);
    for (const HostileValue& value : test::shortHostileValues()) {
        runner.attempt(
            screen, QStringLiteral("Userlist"), value,
            {[&] { screen.FormShow(); }, [&] { screen.Button1Click(); },
             [&](const Attempt& a) {
                 // Exactly the chosen user goes, never the super user.
                 EXPECT_FALSE(a.refused({})) << a.where();
                 EXPECT_EQ(shop.count(kUsers), users - 1) << a.where();
                 EXPECT_FALSE(scalar(QStringLiteral("SELECT 1 FROM 管理员 WHERE 用户名 = ?"),
                                     {test::storedForm(value.text)})
                                  .isValid())
                     << a.where();
                 EXPECT_TRUE(scalar(QStringLiteral("SELECT 1 FROM 管理员 WHERE 用户名 = ?"),
                                    {test::ShopDatabase::kSuperUser})
                                 .isValid())
                     << a.where();
             }},
            std::nullopt);
    }
}

TEST_F(HostileAdminInput, PermissionsOfUsersChosenByHostileNames) {
    addHostileUsers();
    Tfrm_GGUserQX screen(ctx);
    for (HostileValue value : test::shortHostileValues()) {
        // Chosen from the list, which holds the names as stored.
        value.text = test::storedForm(value.text);
        runner.attempt(
            screen, QStringLiteral("Userlist"), value,
            {[&] { screen.FormShow(); },
             [&] {
                 screen.field(QStringLiteral("CheckBox5")).setValue(true);
                 screen.Button1Click();
             },
             [&](const Attempt& a) {
                 // Exactly the chosen user's row changes, to hold flag 5.
                 ASSERT_FALSE(a.refused({QStringLiteral("日志")})) << a.where();
                 const auto rows = test::changedRows(a.before, a.after, kUsers);
                 ASSERT_EQ(rows.size(), 1u) << a.where();
                 EXPECT_EQ(test::cellBytes(a.after, kUsers, rows[0], QStringLiteral("用户名")),
                           value.text.toUtf8())
                     << a.where();
                 EXPECT_EQ(test::cellBytes(a.after, kUsers, rows[0], QStringLiteral("功能5")),
                           QByteArray("1"))
                     << a.where();
             }},
            std::nullopt);
    }
}

TEST_F(HostileAdminInput, ChangingPasswords) {
    addHostileUsers();
    Tfrm_GGpwd screen(ctx);
    const QStringList fields = test::typedTextFields(screen);
    ASSERT_EQ(fields, (QStringList{QStringLiteral("userlist"), QStringLiteral("Edit1"),
                                   QStringLiteral("Edit2"), QStringLiteral("Edit3")}));
    for (const QString& field : fields) {
        for (const HostileValue& value : test::hostileValues()) {
            if (value.isLong && field != QStringLiteral("Edit2"))
                continue;
            runner.attempt(
                screen, field, value,
                {[&] {
                     screen.FormShow();
                     screen.field(QStringLiteral("userlist")).type(test::ShopDatabase::kSuperUser);
                     screen.field(QStringLiteral("Edit1")).type(test::ShopDatabase::kSuperPassword);
                     screen.field(QStringLiteral("Edit2")).type(QStringLiteral("new"));
                     screen.field(QStringLiteral("Edit3")).type(QStringLiteral("new"));
                 },
                 [&] {
                     if (field == QStringLiteral("userlist"))
                         screen.field(QStringLiteral("Edit1")).type(QStringLiteral("pw"));
                     // The confirmation repeats a hostile new password as the person would.
                     if (field == QStringLiteral("Edit2"))
                         screen.field(QStringLiteral("Edit3")).type(value.text);
                     screen.Button1Click();
                 },
                 [&](const Attempt& a) {
                     if (a.refused({}))
                         return;
                     // One user's password changed, to a hash of what was typed.
                     const auto rows = test::changedRows(a.before, a.after, kUsers);
                     ASSERT_EQ(rows.size(), 1u) << a.where();
                     const QByteArray hash =
                         test::cellBytes(a.after, kUsers, rows[0], QStringLiteral("密码")).value();
                     const QString typed = screen.field(QStringLiteral("Edit2")).text();
                     EXPECT_TRUE(Passwords::verify(typed, QString::fromUtf8(hash))) << a.where();
                     if (field == QStringLiteral("userlist")) {
                         EXPECT_EQ(
                             test::cellBytes(a.after, kUsers, rows[0], QStringLiteral("用户名")),
                             test::storedForm(value.text).toUtf8())
                             << a.where();
                     }
                 }},
                std::nullopt);
        }
    }
    EXPECT_GT(runner.accepted(), 0);
}

} // namespace
} // namespace lms
