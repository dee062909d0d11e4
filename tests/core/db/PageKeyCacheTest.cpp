// Opening an existing encrypted file with its page key: derived from the password and the file's
// salt once in the process, then found again for every file with that salt; a file of other
// cipher settings still opens with its password.
#include "core/Database.h"
#include "core/engines/PageKeys.h"
#include "support/ServerDatabase.h"
#include "support/TempProgramFolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace lms {
namespace {

using test::TempProgramFolder;

const QByteArray kPassword = QByteArrayLiteral("a password of its own");

// The engine's default rounds for deriving a key from a password, changed for every connection
// the process opens while this lives.
class DefaultKeyRounds {
public:
    explicit DefaultKeyRounds(int rounds) { set(rounds); }
    ~DefaultKeyRounds() { set(64000); }
    DefaultKeyRounds(const DefaultKeyRounds&) = delete;
    DefaultKeyRounds& operator=(const DefaultKeyRounds&) = delete;

private:
    static void set(int rounds) {
        sqlite3* db = nullptr;
        sqlite3_open(":memory:", &db);
        const QByteArray pragma = "PRAGMA cipher_default_kdf_iter = " + QByteArray::number(rounds);
        EXPECT_EQ(sqlite3_exec(db, pragma.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
};

class PageKeyCache : public ::testing::Test {
protected:
    // A new file with one row, keyed with the password by the engine's default settings.
    QString makeFile(const QString& name) {
        const QString path = folder.file(name);
        Database db;
        db.open(path, kPassword, Database::OpenMode::CreateIfMissing);
        db.exec(QStringLiteral("CREATE TABLE t (x TEXT)"));
        db.exec(QStringLiteral("INSERT INTO t VALUES ('row')"));
        return path;
    }
    static QString rowOf(const QString& path, Database::OpenMode mode) {
        Database db;
        db.open(path, kPassword, mode);
        return db.scalar(QStringLiteral("SELECT x FROM t")).toString();
    }

    TempProgramFolder folder;
};

TEST_F(PageKeyCache, AFileWithTheSameSaltOpensWithoutAnotherDerivation) {
    LMS_FILE_ENGINE_ONLY();
    const QString path = makeFile(QStringLiteral("a.zqd"));
    const int before = PageKeys::derivations();
    EXPECT_EQ(rowOf(path, Database::OpenMode::ExistingOnly), QStringLiteral("row"));
    EXPECT_EQ(PageKeys::derivations(), before + 1);
    // Opened again, read-only, and a copy of it (a backup): the same salt, the same key.
    EXPECT_EQ(rowOf(path, Database::OpenMode::ReadOnlyCopy), QStringLiteral("row"));
    const QString copy = folder.file(QStringLiteral("copy.zqd"));
    ASSERT_TRUE(QFile::copy(path, copy));
    EXPECT_EQ(rowOf(copy, Database::OpenMode::ExistingOnly), QStringLiteral("row"));
    EXPECT_EQ(PageKeys::derivations(), before + 1);
    // Another file has a salt of its own.
    EXPECT_EQ(rowOf(makeFile(QStringLiteral("b.zqd")), Database::OpenMode::ExistingOnly),
              QStringLiteral("row"));
    EXPECT_EQ(PageKeys::derivations(), before + 2);
}

TEST_F(PageKeyCache, AWrongPasswordStillFails) {
    LMS_FILE_ENGINE_ONLY();
    const QString path = makeFile(QStringLiteral("a.zqd"));
    Database db;
    EXPECT_THROW(db.open(path, QByteArrayLiteral("another"), Database::OpenMode::ExistingOnly),
                 DbError);
    EXPECT_EQ(rowOf(path, Database::OpenMode::ExistingOnly), QStringLiteral("row"));
}

// With the engine's default rounds changed, the password alone no longer opens a file of the
// program's settings: only its page key, derived by those settings, does.
TEST_F(PageKeyCache, AnExistingFileIsKeyedWithItsPageKey) {
    LMS_FILE_ENGINE_ONLY();
    const QString path = makeFile(QStringLiteral("a.zqd"));
    const DefaultKeyRounds fewer(4000);
    EXPECT_EQ(rowOf(path, Database::OpenMode::ExistingOnly), QStringLiteral("row"));
}

// A file keyed by other settings (4,000 rounds) does not open with the page key of the program's
// settings; its password, derived by the engine's settings of the moment, opens it.
TEST_F(PageKeyCache, AFileOfOtherCipherSettingsOpensWithItsPassword) {
    LMS_FILE_ENGINE_ONLY();
    const DefaultKeyRounds fewer(4000);
    const QString path = makeFile(QStringLiteral("a.zqd"));
    EXPECT_EQ(rowOf(path, Database::OpenMode::ExistingOnly), QStringLiteral("row"));
    EXPECT_EQ(rowOf(path, Database::OpenMode::ReadOnlyCopy), QStringLiteral("row"));
}

} // namespace
} // namespace lms
