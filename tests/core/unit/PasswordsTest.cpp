#include "core/Passwords.h"

#include "QtPrinters.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using lms::Passwords::hash;
using lms::Passwords::verify;

// Hashing is deliberately slow, so the suite hashes its main password once.
class PasswordsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { stored_ = new QString(hash(password())); }
    static void TearDownTestSuite() {
        delete stored_;
        stored_ = nullptr;
    }
    static QString password() { return QStringLiteral("Open Sesame"); }
    static const QString& stored() { return *stored_; }

    // The stored hash with one of its '$'-separated parts replaced.
    static QString withPart(int index, const QString& part) {
        QStringList parts = stored().split(QLatin1Char('$'));
        parts[index] = part;
        return parts.join(QLatin1Char('$'));
    }

private:
    static inline QString* stored_ = nullptr;
};

TEST_F(PasswordsTest, StoresASaltedHashNotThePassword) {
    const QStringList parts = stored().split(QLatin1Char('$'));
    ASSERT_EQ(parts.size(), 4);
    EXPECT_EQ(parts[0], QStringLiteral("pbkdf2-sha256"));
    EXPECT_FALSE(stored().contains(password()));
    EXPECT_FALSE(stored().contains(QLatin1String("Sesame")));
}

TEST_F(PasswordsTest, SamePasswordHashesDifferentlyEachTime) {
    const QString again = hash(password());
    EXPECT_NE(again, stored());
    EXPECT_NE(again.split(QLatin1Char('$')).value(2), stored().split(QLatin1Char('$')).value(2))
        << "the salt repeats";
    EXPECT_TRUE(verify(password(), again));
    EXPECT_TRUE(verify(password(), stored()));
}

TEST_F(PasswordsTest, AcceptsOnlyTheExactPassword) {
    EXPECT_TRUE(verify(password(), stored()));
    const char* const wrong[] = {"open sesame",  "OPEN SESAME", "Open Sesame ",
                                 " Open Sesame", "Open Sesam",  "",
                                 "Open Sesame\n"};
    for (const char* attempt : wrong) {
        SCOPED_TRACE(attempt);
        EXPECT_FALSE(verify(QString::fromUtf8(attempt), stored()));
    }
}

TEST_F(PasswordsTest, AStoredValueThatIsNoHashMatchesNothing) {
    EXPECT_FALSE(verify(QStringLiteral("secret"), QStringLiteral("secret")));
    EXPECT_FALSE(verify(QString(), QString()));
    EXPECT_FALSE(verify(password(), password()));
    const char* const garbage[] = {
        "pbkdf2-sha256",
        "pbkdf2-sha256$$$",
        "pbkdf2-sha256$1$$",
        "pbkdf2-sha256$abc$c2FsdA==$aGFzaA==",
        "pbkdf2-sha256$0$c2FsdA==$aGFzaA==",
        "pbkdf2-sha256$-1$c2FsdA==$aGFzaA==",
        "$$$",
        "NULL",
    };
    for (const char* stored : garbage) {
        SCOPED_TRACE(stored);
        EXPECT_FALSE(verify(QString(), QString::fromLatin1(stored)));
        EXPECT_FALSE(verify(QStringLiteral("secret"), QString::fromLatin1(stored)));
    }
}

TEST_F(PasswordsTest, ATamperedHashIsRejected) {
    const QStringList parts = stored().split(QLatin1Char('$'));
    ASSERT_EQ(parts.size(), 4);
    const auto flipFirst = [](QString text) {
        text[0] = text[0] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
        return text;
    };
    const QString tampered[] = {
        withPart(0, QStringLiteral("PBKDF2-SHA256")),
        withPart(0, QStringLiteral("pbkdf2-sha1")),
        withPart(1, QStringLiteral("1")),
        withPart(1, QString::number(parts[1].toInt() - 1)),
        withPart(1, QStringLiteral("999999999")),
        withPart(2, flipFirst(parts[2])),
        withPart(2, QString()),
        withPart(3, flipFirst(parts[3])),
        withPart(3, parts[3].left(parts[3].size() - 4)),
        withPart(3, QString()),
        withPart(3, parts[2]),
        stored() + QStringLiteral("$"),
        QStringLiteral(" ") + stored(),
    };
    for (const QString& value : tampered) {
        SCOPED_TRACE(value.toStdString());
        EXPECT_FALSE(verify(password(), value));
    }
}

TEST(Passwords, UnusualPasswordsVerifyExactly) {
    struct Case {
        const char* name;
        QString password;
        QString nearMiss;
    };
    const QString longPassword(10000, QLatin1Char('x'));
    const Case cases[] = {
        {"empty", QString(), QStringLiteral(" ")},
        {"ten thousand characters", longPassword, longPassword.left(9999) + QLatin1Char('y')},
        {"emoji and Chinese", QString::fromUtf8("📚读者😀"), QString::fromUtf8("📖读者😀")},
        {"apostrophes and quotes", QStringLiteral("O'Brien's'; --"),
         QStringLiteral("O'Brien\"s'; --")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString stored = hash(c.password);
        EXPECT_TRUE(verify(c.password, stored));
        EXPECT_FALSE(verify(c.nearMiss, stored));
    }
}

} // namespace
