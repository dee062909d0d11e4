// Hostile typing on the screens of the core: the login dialog and the first start's choice of
// the super user. Nothing typed may log anyone in who should not be, break a statement, or
// store anything but what was typed.
#include "support/HostileInput.h"
#include "core/GbkText.h"
#include "core/Passwords.h"
#include "core/screens/SuperUserSetup.h"
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QFile>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::FixedClock;
using test::HostileRunner;
using test::HostileValue;
using test::ScriptedHost;
using test::ScriptedPrompter;
using test::ShopDatabase;

const QString kWrongLogin = QStringLiteral("请输入正确的用户名和密码");

class HostileCoreInput : public ::testing::Test {
protected:
    static void TearDownTestSuite() { test::reportInputsTried("core", tried); }
    static inline int tried = 0;
};

class HostileLogin : public HostileCoreInput {
protected:
    HostileLogin() : main(*shop.dm, prompter, clock, host), login(*shop.dm, prompter, host, main) {
        main.setLoginDialog(login);
        shop.pub.CurrentUser = QStringLiteral("nobody yet");
    }
    ~HostileLogin() override { tried += runner.tried(); }

    // Shows the dialog, fills the other field, types the value and presses "登录".
    test::Attempt tryLogin(const QString& field, const HostileValue& value, const QString& other,
                           FormModel::Result& result) {
        const QString otherField = field == QStringLiteral("userlist") ? QStringLiteral("PWDEdit")
                                                                       : QStringLiteral("userlist");
        result = FormModel::Result::None;
        auto c = QObject::connect(&login, &FormModel::closeRequested,
                                  [&](FormModel::Result r) { result = r; });
        const test::Attempt attempt = runner.attempt(login, field, value,
                                                     {[&] {
                                                          login.FormShow();
                                                          login.field(otherField).type(other);
                                                      },
                                                      [&] { login.Button1Click(); },
                                                      {}},
                                                     std::nullopt);
        QObject::disconnect(c);
        return attempt;
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock;
    ScriptedHost host;
    Tfrm_Main main;
    TfrmLogin login;
    HostileRunner runner{shop.dm->db(), prompter};
};

TEST_F(HostileLogin, NoTypedNameOrPasswordLogsInWithoutTheRightPair) {
    const QStringList fields = test::typedTextFields(login);
    ASSERT_EQ(fields, (QStringList{QStringLiteral("userlist"), QStringLiteral("PWDEdit")}));
    for (const QString& field : fields) {
        // The name of an existing user beside a hostile password, and the right password beside
        // a hostile name.
        const QString other = field == QStringLiteral("userlist") ? ShopDatabase::kSuperPassword
                                                                  : ShopDatabase::kSuperUser;
        for (const HostileValue& value : test::hostileValues()) {
            FormModel::Result result;
            const test::Attempt attempt = tryLogin(field, value, other, result);
            EXPECT_NE(result, FormModel::Result::Accepted) << attempt.where();
            EXPECT_EQ(prompter.texts(), QStringList{kWrongLogin}) << attempt.where();
            EXPECT_EQ(shop.pub.CurrentUser, QStringLiteral("nobody yet")) << attempt.where();
        }
    }
}

TEST_F(HostileLogin, AUserWhoseNameIsHostileLogsInUnderExactlyThatName) {
    for (const HostileValue& value : test::hostileValues()) {
        if (value.isLong)
            continue;
        shop.addUser(test::storedForm(value.text), QStringLiteral("pw"), {19});
    }
    for (const HostileValue& value : test::shortHostileValues()) {
        shop.pub.CurrentUser = QStringLiteral("nobody yet");
        FormModel::Result result;
        const test::Attempt attempt =
            tryLogin(QStringLiteral("userlist"), value, QStringLiteral("pw"), result);
        // A name that cannot be stored as typed (broken UTF-16) is held by its stored form.
        const QString stored = test::storedForm(value.text);
        EXPECT_EQ(result, FormModel::Result::Accepted) << attempt.where();
        EXPECT_EQ(shop.pub.CurrentUser.toUtf8(), stored.toUtf8()) << attempt.where();
        EXPECT_TRUE(main.field(QStringLiteral("QAllBookMenu")).isEnabled()) << attempt.where();
    }
}

// The first start: a name and a password typed twice, then the database is created. Each value
// gets a program folder of its own, since an accepted choice creates the file.
class HostileFirstStart : public HostileCoreInput {
protected:
    struct Outcome {
        bool created = false;
        QStringList boxes;
        QString storedName;
        QString storedHash;
        QByteArray typedName;
    };

    static Outcome choose(const QString& field, const HostileValue& value) {
        ++tried;
        test::TempProgramFolder folder;
        PubData pub;
        pub.AppPath = folder.path();
        Tdm_Dbase dm(pub);
        ScriptedPrompter prompter;
        SuperUserSetup setup(dm, prompter);
        setup.FormShow();
        setup.field(QStringLiteral("UserName")).type(QStringLiteral("店长"));
        setup.field(QStringLiteral("Password")).type(QStringLiteral("pw"));
        setup.field(QStringLiteral("Password2")).type(QStringLiteral("pw"));
        setup.field(field).type(value.text);
        // The confirmation repeats a hostile password as the person would.
        if (field == QStringLiteral("Password"))
            setup.field(QStringLiteral("Password2")).type(value.text);
        Outcome outcome;
        outcome.typedName = setup.field(QStringLiteral("UserName")).text().toUtf8();
        try {
            setup.OkButtonClick();
        } catch (const std::exception& e) {
            ADD_FAILURE() << field.toStdString() << " <- " << value.label
                          << ": exception escaped: " << e.what();
        }
        outcome.boxes = prompter.texts();
        outcome.created = QFile::exists(folder.databasePath());
        if (outcome.created) {
            dm.connect();
            Query query(dm.db(), QStringLiteral("SELECT 用户名, 密码 FROM 管理员"));
            if (query.next()) {
                outcome.storedName = query.text(0);
                outcome.storedHash = query.text(1);
            }
            EXPECT_FALSE(query.next()) << "one super user";
        }
        return outcome;
    }

    // Every value typed into one field of the choice, the others valid.
    static void pass(const QString& field) {
        for (const HostileValue& value : test::hostileValues()) {
            // The long texts once, on the password, which has no limit.
            if (value.isLong && field != QStringLiteral("Password"))
                continue;
            check(field, value);
        }
    }
    static void check(const QString& field, const HostileValue& value);
};

TEST_F(HostileFirstStart, TheChoiceHasANameAndAPasswordTypedTwice) {
    PubData pub;
    Tdm_Dbase dm(pub);
    ScriptedPrompter prompter;
    SuperUserSetup probe(dm, prompter);
    EXPECT_EQ(test::typedTextFields(probe),
              (QStringList{QStringLiteral("UserName"), QStringLiteral("Password"),
                           QStringLiteral("Password2")}));
}

TEST_F(HostileFirstStart, TheNameIsStoredAsTypedWithoutSurroundingBlanksOrRefusedWithNoFile) {
    pass(QStringLiteral("UserName"));
}

TEST_F(HostileFirstStart, ThePasswordIsStoredOnlyAsAHashThatOpensWithIt) {
    pass(QStringLiteral("Password"));
}

TEST_F(HostileFirstStart, AConfirmationUnlikeThePasswordCreatesNothing) {
    pass(QStringLiteral("Password2"));
}

void HostileFirstStart::check(const QString& field, const HostileValue& value) {
    SCOPED_TRACE(field.toStdString() + " <- " + value.label);
    const Outcome outcome = choose(field, value);
    if (!outcome.created) {
        EXPECT_EQ(outcome.boxes.size(), 1) << outcome.boxes.join(QLatin1Char('|')).toStdString();
        return;
    }
    EXPECT_TRUE(outcome.boxes.isEmpty()) << outcome.boxes.join(QLatin1Char('|')).toStdString();
    if (field == QStringLiteral("Password2")) {
        ADD_FAILURE() << "a confirmation unlike the password was accepted";
        return;
    }
    // The name as typed, without surrounding blanks.
    EXPECT_EQ(outcome.storedName.toUtf8(), QString::fromUtf8(outcome.typedName).trimmed().toUtf8());
    EXPECT_LE(Gbk::byteLength(outcome.storedName), SuperUserSetup::kNameMaxBytes);
    if (field != QStringLiteral("Password"))
        return;
    // The password only as a salted hash that the typed text opens.
    EXPECT_TRUE(Passwords::verify(Field::typeable(value.text), outcome.storedHash));
    // Long enough not to turn up in the Base64 of the hash by chance.
    if (value.text.size() >= 6) {
        EXPECT_FALSE(outcome.storedHash.contains(value.text));
    }
}

} // namespace
} // namespace lms
