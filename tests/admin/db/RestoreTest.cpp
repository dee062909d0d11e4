// Restoring the database from a chosen file: a real backup comes back through the reopened
// connection; anything that is not a sound database of this program, and the live file itself,
// is refused with the live data intact.
#include "AdminFixture.h"
#include "FailingFiles.h"
#include "admin/DataBackup.h"
#include "admin/Tfrm_bfffDate.h"
#include "core/Schema.h"

#include <QDir>
#include <QProcess>

namespace lms {
namespace {

using test::AdminTest;
using test::FailingFiles;

const QString kQuestion = QStringLiteral(
    "恢复数据会影响当系统中的数据，建议在恢复之前先做好数据备份。您还确定要恢复数据吗？");
const QString kNotADatabase = QStringLiteral("所选文件不是本系统的数据库文件，不能恢复数据！");
const QString kLiveFile = QStringLiteral("不能用正在使用的数据库文件恢复数据！");

class Restore : public AdminTest {
protected:
    Restore() {
        QObject::connect(&progress, &FormModel::closeRequested, [this] { ++closed; });
    }

    // A backup of the database as it is now.
    QString takeBackup() {
        backup.BFDataMenuClick();
        progress.Timer1Timer();
        progress.Timer2Timer();
        const QStringList files =
            QDir(shop.folder.path()).entryList({QStringLiteral("*buckup.zqd")}, QDir::Files);
        EXPECT_EQ(files.size(), 1);
        return files.isEmpty() ? QString() : shop.folder.file(files.first());
    }
    void restoreFrom(const QString& path) {
        prompter.answer(true);
        prompter.answerFile(path);
        backup.FFDataMenuClick();
    }
    qint64 bookTypes() { return shop.count(QStringLiteral("图书类型")); }
    // Whether the connection works (and is a new one: temporary tables die with a connection).
    bool freshConnection() {
        try {
            return !marked() && scalar(QStringLiteral("SELECT count(*) FROM 管理员")).toInt() >= 1;
        } catch (const DbError&) {
            return false;
        }
    }
    bool marked() {
        try {
            scalar(QStringLiteral("SELECT count(*) FROM temp.marker"));
            return true;
        } catch (const DbError&) {
            return false;
        }
    }
    void markConnection() { db().exec(QStringLiteral("CREATE TEMP TABLE marker (x)")); }
    QStringList folderFiles() {
        return QDir(shop.folder.path()).entryList(QDir::Files | QDir::Hidden);
    }

    Tfrm_bfffDate progress;
    DataBackup backup{ctx, progress};
    int closed = 0;
};

TEST_F(Restore, ARealBackupComesBackThroughTheReopenedConnection) {
    LMS_FILE_ENGINE_ONLY();
    const QString saved = takeBackup();
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    shop.addUser(QStringLiteral("late"), QStringLiteral("x"), {});
    ASSERT_EQ(bookTypes(), 8);
    host.script(QStringLiteral("frm_bfffDate"), [this](FormModel&) {
        EXPECT_EQ(progress.field(QStringLiteral("Label1")).text(),
                  QStringLiteral("正在恢复数据，请稍候. . . . . ."));
    });
    prompter.clear();
    restoreFrom(saved);
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.box(0).text, kQuestion);
    EXPECT_EQ(prompter.box(0).icon, Prompter::Icon::Warning);
    EXPECT_EQ(prompter.box(0).buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(bookTypes(), 7);
    EXPECT_EQ(shop.count(QStringLiteral("管理员")), 1);
    EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName),
              shop.folder.readFile(QFileInfo(saved).fileName()));
    EXPECT_EQ(progress.Mode(), Tfrm_bfffDate::RestoreMode);
    EXPECT_EQ(progress.position(), progress.maximum());
    progress.Timer1Timer();
    EXPECT_EQ(progress.field(QStringLiteral("Label1")).text(), QStringLiteral("数据恢复成功！！"));
    // Work goes on in the restored database.
    EXPECT_TRUE(
        shop.dm->WriteRZ(QStringLiteral("读者借书"), QStringLiteral("admin"), clock.now(), {}));
}

TEST_F(Restore, NoEndsBeforeTheFileDialog) {
    LMS_FILE_ENGINE_ONLY();
    markConnection();
    prompter.answer(false);
    backup.FFDataMenuClick();
    EXPECT_EQ(prompter.single(), kQuestion);
    EXPECT_FALSE(progress.Timer1().isActive());
    EXPECT_TRUE(marked());
}

TEST_F(Restore, ACancelledDialogCopiesNothingButReopensTheConnection) {
    LMS_FILE_ENGINE_ONLY();
    const QByteArray before = shop.folder.readFile(Tdm_Dbase::kFileName);
    markConnection();
    prompter.answer(true);
    prompter.answerFile(std::nullopt);
    backup.FFDataMenuClick();
    EXPECT_EQ(prompter.single(), kQuestion);
    EXPECT_TRUE(freshConnection());
    EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName), before);
    EXPECT_FALSE(progress.Timer1().isActive());
    EXPECT_TRUE(host.shown().isEmpty());
}

// What may be chosen by mistake, each refused with the live database untouched and working.
TEST_F(Restore, FilesThatAreNotSoundDatabasesOfThisProgramAreRefused) {
    const QString saved = takeBackup();
    const QByteArray good = shop.folder.readFile(QFileInfo(saved).fileName());
    shop.folder.writeFile(QStringLiteral("notes.zqd"), QByteArray("just some text\n"));
    shop.folder.writeFile(QStringLiteral("empty.zqd"), QByteArray());
    shop.folder.writeFile(QStringLiteral("half.zqd"), good.left(good.size() / 2));
    shop.folder.writeFile(QStringLiteral("cut.zqd"), good.left(good.size() - 100));
    {
        Database other;
        other.open(shop.folder.file(QStringLiteral("other.zqd")), QByteArrayLiteral("not ours"),
                   Database::OpenMode::CreateIfMissing);
        Schema::create(other, PubData::defaultSettings());
    }
    {
        Database partial;
        partial.open(shop.folder.file(QStringLiteral("partial.zqd")), Tdm_Dbase::kPassword,
                     Database::OpenMode::CreateIfMissing);
        partial.exec(QStringLiteral("CREATE TABLE 读者 (读者编号 TEXT)"));
        partial.setUserVersion(1);
    }
    // A backup of a later program version, whose schema this one cannot open.
    shop.folder.writeFile(QStringLiteral("newer.zqd"), good);
    {
        Database newer;
        newer.open(shop.folder.file(QStringLiteral("newer.zqd")), Tdm_Dbase::kPassword,
                   Database::OpenMode::ExistingOnly);
        newer.setUserVersion(Schema::currentVersion() + 1);
    }
    {
        QByteArray damaged = good;
        for (qsizetype i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i)
            damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
        shop.folder.writeFile(QStringLiteral("damaged.zqd"), damaged);
    }
    const QStringList bad = {
        QStringLiteral("notes.zqd"),   QStringLiteral("empty.zqd"), QStringLiteral("half.zqd"),
        QStringLiteral("cut.zqd"),     QStringLiteral("other.zqd"), QStringLiteral("partial.zqd"),
        QStringLiteral("damaged.zqd"), QStringLiteral("newer.zqd"), QStringLiteral("missing.zqd")};
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    const QByteArray live = shop.folder.readFile(Tdm_Dbase::kFileName);
    for (const QString& name : bad) {
        prompter.clear();
        restoreFrom(shop.folder.file(name));
        EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, kNotADatabase})) << name.toStdString();
        EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Error);
        EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName), live) << name.toStdString();
        EXPECT_EQ(bookTypes(), 8) << name.toStdString();
        EXPECT_FALSE(progress.Timer1().isActive());
    }
    EXPECT_EQ(host.shown(), QStringList{QStringLiteral("frm_bfffDate")});
}

TEST_F(Restore, TheLiveFileItselfIsRefusedHoweverItIsNamed) {
    LMS_FILE_ENGINE_ONLY();
    const QByteArray live = shop.folder.readFile(Tdm_Dbase::kFileName);
    QDir(shop.folder.path()).mkdir(QStringLiteral("sub"));
    ASSERT_TRUE(
        QFile::link(shop.folder.databasePath(), shop.folder.file(QStringLiteral("link.zqd"))));
    const QStringList names = {shop.folder.databasePath(),
                               shop.folder.path() + QStringLiteral("sub/../dbase.zqd"),
                               shop.folder.file(QStringLiteral("link.zqd"))};
    for (const QString& name : names) {
        prompter.clear();
        restoreFrom(name);
        EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, kLiveFile})) << name.toStdString();
        EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName), live);
        EXPECT_TRUE(freshConnection());
    }
}

// The copy fails half way or at the final rename: the live database stays exactly as it was,
// the connection is reopened, the error shown and the window closed.
TEST_F(Restore, AFailedCopyLeavesTheLiveDatabaseAsItWas) {
    LMS_FILE_ENGINE_ONLY();
    const QString saved = takeBackup();
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    // The file alone then holds every change, as it does once the connection closes.
    db().checkpoint();
    const QByteArray live = shop.folder.readFile(Tdm_Dbase::kFileName);
    const QStringList filesBefore = folderFiles();
    const FailingFiles::Fault kinds[] = {
        FailingFiles::Fault::FullDisk, FailingFiles::Fault::BadSector, FailingFiles::Fault::Rename};
    for (const FailingFiles::Fault fault : kinds) {
        FailingFiles files(fault, 8192);
        progress.setFiles(files);
        markConnection();
        prompter.clear();
        closed = 0;
        restoreFrom(saved);
        ASSERT_EQ(prompter.boxes().size(), 2u);
        EXPECT_TRUE(prompter.box(1).text.startsWith(QStringLiteral("数据恢复失败！\r")));
        EXPECT_EQ(prompter.box(1).icon, Prompter::Icon::Error);
        EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName), live);
        EXPECT_EQ(folderFiles(), filesBefore);
        EXPECT_TRUE(freshConnection());
        EXPECT_EQ(bookTypes(), 8);
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(progress.Timer1().isActive());
    }
}

// Another program with the file open keeps the write-ahead log beside it; a file swapped in
// under that log would be overwritten from it, so the restore is refused and nothing changes.
TEST_F(Restore, IsRefusedWhileAnotherProgramHasTheFileOpen) {
    LMS_FILE_ENGINE_ONLY();
    const QString saved = takeBackup();
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    Database other;
    other.open(shop.folder.databasePath(), Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
    other.scalar(QStringLiteral("SELECT count(*) FROM 图书类型"));
    markConnection();
    prompter.clear();
    closed = 0;
    restoreFrom(saved);
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(prompter.box(1).text,
              QStringLiteral("数据恢复失败！\r数据库文件正被另一个程序使用。"));
    EXPECT_EQ(prompter.box(1).icon, Prompter::Icon::Error);
    EXPECT_TRUE(freshConnection());
    EXPECT_EQ(bookTypes(), 8);
    EXPECT_EQ(closed, 1);

    // Once the other program has closed it, the same restore goes through.
    other.close();
    prompter.clear();
    restoreFrom(saved);
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(bookTypes(), 7);
}

// A folder made read-only by a bind mount (the tests run as root, who may write anywhere else):
// what a backup on a write-protected stick, a CD or a folder the shop's user may only read is.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path) {
        mounted_ =
            QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), path, path}) == 0;
        readOnly_ = mounted_ && QProcess::execute(QStringLiteral("mount"),
                                                  {QStringLiteral("-o"),
                                                   QStringLiteral("remount,bind,ro"), path}) == 0;
    }
    ~ReadOnlyFolder() {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {path_});
    }
    // Whether nothing can be created in the folder.
    bool holds() const {
        QFile probe(path_ + QStringLiteral("/probe"));
        return readOnly_ && !probe.open(QIODevice::WriteOnly);
    }

private:
    QString path_;
    bool mounted_ = false;
    bool readOnly_ = false;
};

TEST_F(Restore, ABackupOnReadOnlyMediaRestores) {
    LMS_FILE_ENGINE_ONLY();
    const QString saved = takeBackup();
    const QString media = shop.folder.file(QStringLiteral("光盘"));
    ASSERT_TRUE(QDir().mkpath(media));
    const QString copy = media + QStringLiteral("/") + QFileInfo(saved).fileName();
    ASSERT_TRUE(QFile::copy(saved, copy));
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    ReadOnlyFolder readOnly(media);
    if (!readOnly.holds())
        GTEST_SKIP() << "no read-only bind mount here (needs root)";
    prompter.clear();
    restoreFrom(copy);
    EXPECT_EQ(prompter.texts(), QStringList{kQuestion});
    EXPECT_EQ(bookTypes(), 7);
    EXPECT_EQ(QDir(media).entryList(QDir::Files), QStringList{QFileInfo(saved).fileName()});
}

} // namespace
} // namespace lms
