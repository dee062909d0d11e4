// Passwords are never stored readable, whichever screen set them, and restore takes no database
// that was not written by this program, an unencrypted copy of its tables included.
#include "AdminFixture.h"

#include "admin/DataBackup.h"
#include "admin/Tfrm_GGpwd.h"
#include "admin/Tfrm_TJUser.h"
#include "admin/Tfrm_bfffDate.h"
#include "support/DatabaseDump.h"
#include "support/ServerDatabase.h"

#include <QStringEncoder>
#include <sqlite3.h>

namespace lms {
namespace {

using test::AdminTest;

class PasswordStorage : public AdminTest {
protected:
    void addThroughScreen(const QString& name) {
        Tfrm_TJUser screen(ctx);
        screen.FormShow();
        screen.field(QStringLiteral("username")).type(name);
        screen.Button1Click();
        EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Information);
    }
    void changeThroughScreen(const QString& name, const QString& oldPassword,
                             const QString& newPassword) {
        Tfrm_GGpwd screen(ctx);
        screen.FormShow();
        screen.field(QStringLiteral("userlist")).type(name);
        screen.field(QStringLiteral("Edit1")).type(oldPassword);
        screen.field(QStringLiteral("Edit2")).type(newPassword);
        screen.field(QStringLiteral("Edit3")).type(newPassword);
        prompter.clear();
        screen.Button1Click();
        EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("更改密码成功!")});
    }
};

TEST_F(PasswordStorage, NoCellOfTheDecryptedDatabaseHoldsAPlainPassword) {
    const QString initial = QStringLiteral("246802");
    const QString changed = QStringLiteral("Tr0ub4dor&3 新");
    addThroughScreen(QStringLiteral("clerk"));
    addThroughScreen(QStringLiteral("cashier"));
    changeThroughScreen(QStringLiteral("cashier"), initial, changed);
    changeThroughScreen(test::ShopDatabase::kSuperUser, test::ShopDatabase::kSuperPassword,
                        QStringLiteral("n3w-Boss-pw"));
    const QStringList passwords = {test::ShopDatabase::kSuperPassword,
                                   QStringLiteral("n3w-Boss-pw"), initial, changed};

    const test::DatabaseDump dump = test::dumpDatabase(db());
    QStringEncoder utf16(QStringConverter::Utf16LE);
    int cells = 0;
    for (const test::DatabaseDump::Table& table : dump.tables) {
        for (const test::DatabaseDump::Row& row : table.rows) {
            for (const test::DatabaseDump::Cell& cell : row) {
                if (cell.type != SQLITE_TEXT && cell.type != SQLITE_BLOB)
                    continue;
                ++cells;
                for (const QString& password : passwords) {
                    EXPECT_FALSE(cell.bytes.contains(password.toUtf8()))
                        << table.name.toStdString() << ": " << cell.bytes.toStdString();
                    EXPECT_FALSE(cell.bytes.contains(QByteArray(utf16.encode(password))))
                        << table.name.toStdString();
                }
            }
        }
    }
    EXPECT_GT(cells, 20);

    // Salted: the two users who were given the same initial password hold different hashes.
    Query hashes(db(), QStringLiteral("SELECT 用户名, 密码 FROM 管理员 ORDER BY rowid"));
    QStringList seen;
    while (hashes.next()) {
        EXPECT_TRUE(hashes.text(1).startsWith(QStringLiteral("pbkdf2-sha256$")))
            << hashes.text(0).toStdString();
        EXPECT_FALSE(seen.contains(hashes.text(1)));
        seen << hashes.text(1);
    }
    EXPECT_EQ(seen.size(), 3);
}

class RestoreForeign : public AdminTest {
protected:
    Tfrm_bfffDate progress;
    DataBackup backup{ctx, progress};
};

TEST_F(RestoreForeign, AnUnencryptedCopyOfTheProgramsTablesIsRefused) {
    LMS_FILE_ENGINE_ONLY();
    // The live tables and settings, exported into a plain SQLite file (the connection creates
    // no files, so it starts empty).
    shop.folder.writeFile(QStringLiteral("plain.zqd"), QByteArray());
    Query(db(), QStringLiteral("ATTACH DATABASE ? AS plaintext KEY ''"))
        .bind(1, shop.folder.file(QStringLiteral("plain.zqd")))
        .exec();
    db().scalar(QStringLiteral("SELECT sqlcipher_export('plaintext')"));
    db().exec(QStringLiteral("DETACH DATABASE plaintext"));
    ASSERT_TRUE(shop.folder.readFile(QStringLiteral("plain.zqd")).startsWith("SQLite format 3"));
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    const QByteArray live = shop.folder.readFile(Tdm_Dbase::kFileName);
    const test::DatabaseDump before = test::dumpDatabase(db());
    prompter.answer(true);
    prompter.answerFile(shop.folder.file(QStringLiteral("plain.zqd")));
    backup.FFDataMenuClick();
    ASSERT_FALSE(prompter.boxes().empty());
    EXPECT_EQ(prompter.lastBox().text,
              QStringLiteral("所选文件不是本系统的数据库文件，不能恢复数据！"));
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Error);
    EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName), live);
    EXPECT_EQ(test::dumpDatabase(db()), before);
}

} // namespace
} // namespace lms
