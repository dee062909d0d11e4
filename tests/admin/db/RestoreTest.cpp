// Restoring the database from a chosen file: a real backup comes back through the reopened
// connection; anything that is not a sound database of this program, and the live file itself,
// is refused with the live data intact. On a server the restore is one transaction that the
// other desks' connections outlast.
#include "AdminFixture.h"
#include "FailingFiles.h"
#include "admin/DataBackup.h"
#include "admin/Tfrm_bfffDate.h"
#include "core/Messages.h"
#include "core/Passwords.h"
#include "core/Schema.h"
#include "core/engines/PageKeys.h"
#include "storage/PageCodes.h"
#include "storage/ServerDumps.h"
#include "support/DatabaseDump.h"
#include "support/JetFiles.h"
#include "support/TableRows.h"

#include <QDir>
#include <QProcess>
#include <functional>
#include <optional>

namespace lms {
namespace {

using test::AdminTest;
using test::DatabaseDump;
using test::dumpDatabase;
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
        const QStringList before = backups();
        backup.BFDataMenuClick();
        progress.Timer1Timer();
        progress.Timer2Timer();
        QStringList added = backups();
        for (const QString& old : before)
            added.removeAll(old);
        EXPECT_EQ(added.size(), 1);
        // The next backup gets a name of its own.
        clock.set(clock.now().addSecs(1));
        return added.isEmpty() ? QString() : shop.folder.file(added.first());
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
            scalar(QStringLiteral("SELECT count(*) FROM marker"));
            return true;
        } catch (const DbError&) {
            return false;
        }
    }
    // A temporary table, which only this connection sees.
    void markConnection() { db().exec(QStringLiteral("CREATE TEMP TABLE marker (x INTEGER)")); }
    // Another program's database with the same tables, one that lacks most of them, and a
    // backup of a later program version, whose schema this one cannot open.
    void makeFileMistakes(const QByteArray& good) {
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
        shop.folder.writeFile(QStringLiteral("newer.zqd"), good);
        Database newer;
        newer.open(shop.folder.file(QStringLiteral("newer.zqd")), Tdm_Dbase::kPassword,
                   Database::OpenMode::ExistingOnly);
        newer.setUserVersion(Schema::currentVersion() + 1);
    }
    // The same mistakes as dumps of server databases of their own.
    void makeServerMistakes() {
        dumpOwnDatabase(QStringLiteral("other.zqd"), [](Database& other) {
            other.exec(QStringLiteral("CREATE TABLE 笔记 (内容 TEXT)"));
        });
        dumpOwnDatabase(QStringLiteral("partial.zqd"), [](Database& partial) {
            partial.exec(QStringLiteral("CREATE TABLE 读者 (读者编号 TEXT)"));
            partial.setUserVersion(1);
        });
        dumpOwnDatabase(QStringLiteral("newer.zqd"), [](Database& newer) {
            Schema::create(newer, PubData::defaultSettings());
            newer.setUserVersion(Schema::currentVersion() + 1);
        });
    }
    void dumpOwnDatabase(const QString& name, const std::function<void(Database&)>& fill) {
        const test::ServerDatabase source;
        {
            Database db;
            db.openServer(source.connectionString());
            fill(db);
        }
        EXPECT_FALSE(
            ServerDumps::write(source.connectionString(), shop.folder.file(name), nullptr));
    }
    // The statement a desk prepares once and runs again and again; its rows' last column.
    static QStringList bookTypesOn(Database& desk) {
        QStringList names;
        Query query(desk, QStringLiteral("SELECT * FROM 图书类型 ORDER BY rowid"));
        while (query.next())
            names << query.text(query.columnCount() - 1);
        return names;
    }
    QStringList folderFiles() {
        return QDir(shop.folder.path()).entryList(QDir::Files | QDir::Hidden);
    }

    Tfrm_bfffDate progress;
    DataBackup backup{ctx, progress};
    int closed = 0;
};

TEST_F(Restore, ARealBackupComesBackThroughTheReopenedConnection) {
    const QString saved = takeBackup();
    const DatabaseDump atBackup = dumpDatabase(db());
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    shop.addUser(QStringLiteral("late"), QStringLiteral("x"), {});
    ASSERT_EQ(bookTypes(), 8);
    host.script(QStringLiteral("frm_bfffDate"), [this](FormModel&) {
        EXPECT_EQ(progress.field(QStringLiteral("Label1")).text(),
                  QStringLiteral("正在恢复数据，请稍候. . . . . ."));
    });
    markConnection();
    prompter.clear();
    restoreFrom(saved);
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.box(0).text, kQuestion);
    EXPECT_EQ(prompter.box(0).icon, Prompter::Icon::Warning);
    EXPECT_EQ(prompter.box(0).buttons, Prompter::Buttons::YesNo);
    EXPECT_TRUE(freshConnection());
    EXPECT_EQ(dumpDatabase(db()), atBackup);
    if (db().isFile()) {
        EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName),
                  shop.folder.readFile(QFileInfo(saved).fileName()));
    }
    EXPECT_EQ(progress.Mode(), Tfrm_bfffDate::RestoreMode);
    EXPECT_EQ(progress.position(), progress.maximum());
    progress.Timer1Timer();
    EXPECT_EQ(progress.field(QStringLiteral("Label1")).text(), QStringLiteral("数据恢复成功！！"));
    // Work goes on in the restored database.
    EXPECT_TRUE(
        shop.dm->WriteRZ(QStringLiteral("读者借书"), QStringLiteral("admin"), clock.now(), {}));
}

// A backup of version 2, before the ledger named readers and books, restores; the reopened shop
// is brought up to date with the reader its log names.
TEST_F(Restore, ABackupOfVersionTwoRestoresAndIsBroughtUpToDate) {
    const auto fill = [](Database& old) {
        Schema::createEmpty(old, 2);
        for (int i = 0; i < 11; ++i)
            old.exec(QStringLiteral("INSERT INTO sysset DEFAULT VALUES"));
        Query(old, QStringLiteral("INSERT INTO 管理员 (用户名, 密码, 备注) VALUES (?, ?, '')"))
            .bindAll({QStringLiteral("admin"), Passwords::hash(QStringLiteral("secret"))})
            .exec();
        const QString when = QStringLiteral("2026-03-14 10:30:00.000");
        Query(old,
              QStringLiteral("INSERT INTO 日志 (事件, 时间, 操作者, 说明) VALUES (?, ?, ?, ?)"))
            .bindAll({QStringLiteral("缴费充值"), when, QStringLiteral("admin"),
                      QStringLiteral("读者编号：R1 总金额：5 押金增减：0")})
            .exec();
        // The second record has no log record to name its reader.
        for (const QString& time : {when, QStringLiteral("2026-03-15 10:30:00.000")})
            Query(old, QStringLiteral(
                           "INSERT INTO 资金 (事件, 操作者, 时间, 金额总计, 开户费, 押金, "
                           "租金, 逾期罚款, 破损遗失赔偿) VALUES (?, ?, ?, 5, 0, 0, 5, 0, 0)"))
                .bindAll({QStringLiteral("缴费充值"), QStringLiteral("admin"), time})
                .exec();
    };
    const QString name = QStringLiteral("version2.zqd");
    if (onServer()) {
        dumpOwnDatabase(name, fill);
    } else {
        Database old;
        old.open(shop.folder.file(name), Tdm_Dbase::kPassword, Database::OpenMode::CreateIfMissing);
        fill(old);
    }
    prompter.clear();
    restoreFrom(shop.folder.file(name));
    EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, Messages::ledgerRowsUnnamed(1)}));
    EXPECT_EQ(db().userVersion(), Schema::currentVersion());
    EXPECT_EQ(test::joinedRows(
                  db(), QStringLiteral("资金"),
                  {QStringLiteral("事件"), QStringLiteral("读者编号"), QStringLiteral("图书编号")}),
              (QStringList{QStringLiteral("缴费充值|R1|"), QStringLiteral("缴费充值||")}));
    EXPECT_TRUE(freshConnection());
}

TEST_F(Restore, AJetBackupIsMovedInBesideAndRestoredAndANoShopOneIsRefused) {
    LMS_FILE_ENGINE_ONLY();
    const QString chosen = shop.folder.file(QStringLiteral("2025-01-01 09-00-00buckup.zqd"));
    test::copyOldShop(QStringLiteral("old-shop.zqd"), chosen);
    const QByteArray original = shop.folder.readFile(QFileInfo(chosen).fileName());
    markConnection();
    prompter.clear();
    restoreFrom(chosen);
    EXPECT_EQ(prompter.single(), kQuestion);
    EXPECT_TRUE(freshConnection());
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 40);
    EXPECT_EQ(shop.count(QStringLiteral("管理员")), 5);
    EXPECT_EQ(shop.folder.readFile(QFileInfo(chosen).fileName()), original);
    EXPECT_EQ(QDir(shop.folder.path()).entryList({QStringLiteral("*.jet-*")}, QDir::Files),
              QStringList());
    progress.Timer1Timer();
    EXPECT_EQ(progress.field(QStringLiteral("Label1")).text(), QStringLiteral("数据恢复成功！！"));

    prompter.clear();
    restoreFrom(test::oldShop(QStringLiteral("not-a-shop.mdb")));
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("数据恢复失败！\r这个 Jet 4.0 数据库"
                                                              "文件不是图书租借系统的数据库")))
        << prompter.lastText().toStdString();
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 40);
}

TEST_F(Restore, NoEndsBeforeTheFileDialog) {
    markConnection();
    prompter.answer(false);
    backup.FFDataMenuClick();
    EXPECT_EQ(prompter.single(), kQuestion);
    EXPECT_FALSE(progress.Timer1().isActive());
    EXPECT_TRUE(marked());
}

TEST_F(Restore, ACancelledDialogCopiesNothingButReopensTheConnection) {
    const DatabaseDump before = dumpDatabase(db());
    markConnection();
    prompter.answer(true);
    prompter.answerFile(std::nullopt);
    backup.FFDataMenuClick();
    EXPECT_EQ(prompter.single(), kQuestion);
    EXPECT_TRUE(freshConnection());
    EXPECT_EQ(dumpDatabase(db()), before);
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
    if (onServer())
        makeServerMistakes();
    else
        makeFileMistakes(good);
    {
        QByteArray damaged = good;
        for (qsizetype i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i)
            damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
        shop.folder.writeFile(QStringLiteral("damaged.zqd"), damaged);
        // One byte changed where a dump's reader finds nothing wrong: a sequence's step.
        QByteArray retyped = good;
        const qsizetype step = retyped.indexOf("INCREMENT BY 1");
        const qsizetype at = step >= 0 ? step + 13 : retyped.size() / 3;
        retyped[at] = static_cast<char>(retyped[at] ^ 0x03);
        shop.folder.writeFile(QStringLiteral("retyped.zqd"), retyped);
    }
    const QStringList bad = {QStringLiteral("notes.zqd"),   QStringLiteral("empty.zqd"),
                             QStringLiteral("half.zqd"),    QStringLiteral("cut.zqd"),
                             QStringLiteral("other.zqd"),   QStringLiteral("partial.zqd"),
                             QStringLiteral("damaged.zqd"), QStringLiteral("retyped.zqd"),
                             QStringLiteral("newer.zqd"),   QStringLiteral("missing.zqd")};
    // Damage past the first pages shows as the copy reads it, once the window is shown; every
    // other mistake is refused before.
    const QStringList foundWhileCopied =
        onServer() ? QStringList()
                   : QStringList{QStringLiteral("damaged.zqd"), QStringLiteral("retyped.zqd")};
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    const DatabaseDump live = dumpDatabase(db());
    for (const QString& name : bad) {
        prompter.clear();
        const qsizetype shownBefore = host.shown().size();
        restoreFrom(shop.folder.file(name));
        EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, kNotADatabase})) << name.toStdString();
        EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Error);
        EXPECT_EQ(dumpDatabase(db()), live) << name.toStdString();
        EXPECT_FALSE(progress.Timer1().isActive());
        if (!foundWhileCopied.contains(name)) {
            EXPECT_EQ(host.shown().size(), shownBefore) << name.toStdString();
        }
    }
}

// A page damaged at the end of the file is found by the copy that reads it: the same refusal,
// the live file untouched and no part of the copy left beside it.
TEST_F(Restore, ADamagedLastPageIsFoundWhileCopiedAndTheLiveFileStays) {
    LMS_FILE_ENGINE_ONLY();
    const QString saved = takeBackup();
    QByteArray damaged = shop.folder.readFile(QFileInfo(saved).fileName());
    const qsizetype lastPage = damaged.size() - PageCodes::kPageBytes;
    damaged[lastPage + 100] = static_cast<char>(damaged[lastPage + 100] ^ 0x01);
    shop.folder.writeFile(QStringLiteral("late.zqd"), damaged);
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    db().checkpoint();
    const QByteArray live = shop.folder.readFile(Tdm_Dbase::kFileName);
    const QStringList filesBefore = folderFiles();
    const qsizetype shownBefore = host.shown().size();
    prompter.clear();
    closed = 0;
    restoreFrom(shop.folder.file(QStringLiteral("late.zqd")));
    EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, kNotADatabase}));
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Error);
    // Past the check of the first pages: the window showed the copy, then closed.
    EXPECT_EQ(host.shown().size(), shownBefore + 1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(progress.Timer1().isActive());
    EXPECT_EQ(shop.folder.readFile(Tdm_Dbase::kFileName), live);
    EXPECT_EQ(folderFiles(), filesBefore);
    EXPECT_EQ(bookTypes(), 8);
}

// The chosen file's key is derived once: for the check of its first pages; the check of every
// page's code and the reopening of the restored file find it in the process's cache.
TEST_F(Restore, TheChosenFilesKeyIsDerivedOnce) {
    LMS_FILE_ENGINE_ONLY();
    const QString other = shop.folder.file(QStringLiteral("other shop.zqd"));
    {
        Database made;
        made.open(other, Tdm_Dbase::kPassword, Database::OpenMode::CreateIfMissing);
        Schema::create(made, PubData::defaultSettings());
        Query(made, QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('别家')")).exec();
    }
    const int before = PageKeys::derivations();
    restoreFrom(other);
    EXPECT_EQ(prompter.texts(), QStringList{kQuestion});
    EXPECT_EQ(bookTypes(), 8);
    EXPECT_EQ(PageKeys::derivations(), before + 1);
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

// A backup of the shop on the other engine cannot be restored, and the message says why.
TEST_F(Restore, ABackupOfTheOtherEngineIsRefusedWithItsOwnMessage) {
    const QString other = shop.folder.file(QStringLiteral("other"));
    QString expected;
    if (onServer()) {
        Database file;
        file.open(other, Tdm_Dbase::kPassword, Database::OpenMode::CreateIfMissing);
        Schema::create(file, PubData::defaultSettings());
        expected = QStringLiteral("所选文件是数据库文件（*.zqd）的备份，本系统的数据保存在数据库"
                                  "服务器上，不能用它恢复数据！");
    } else {
        // How pg_dump's custom format begins.
        shop.folder.writeFile(QStringLiteral("other"), QByteArray("PGDMP\x01\x0e\x00\x04", 9));
        expected = QStringLiteral("所选文件是数据库服务器的备份（*.pgdump），本系统的数据保存在"
                                  "数据库文件中，不能用它恢复数据！");
    }
    const DatabaseDump before = dumpDatabase(db());
    restoreFrom(other);
    EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, expected}));
    EXPECT_EQ(dumpDatabase(db()), before);
}

// The rows a desk writes in a transaction still open when the backup starts are not in it; the
// backup does not wait for them.
TEST_F(Restore, OnAServerABackupTakenWhileAnotherDeskWritesHoldsWhatWasCommitted) {
    if (!onServer())
        GTEST_SKIP() << "runs with the shop on a server (label server)";
    const DatabaseDump committed = dumpDatabase(db());
    Database desk;
    desk.openServer(shop.dm->server());
    QString saved;
    {
        Transaction open(desk);
        Query(desk, QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('未提交')")).exec();
        saved = takeBackup();
        open.commit();
    }
    ASSERT_EQ(bookTypes(), 8);
    prompter.clear();
    restoreFrom(saved);
    EXPECT_EQ(prompter.texts(), QStringList{kQuestion});
    EXPECT_EQ(dumpDatabase(db()), committed);
}

// A restore that fails half way (the server keeps a view of one of the shop's tables, so it
// cannot be replaced), or cannot start (its tool is missing), leaves the shop as it was and says
// so.
TEST_F(Restore, OnAServerARestoreThatFailsChangesNothing) {
    if (!onServer())
        GTEST_SKIP() << "runs with the shop on a server (label server)";
    const QString failing = takeBackup();
    db().exec(QStringLiteral("CREATE VIEW 类型一览 AS SELECT * FROM 图书类型"));
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    const DatabaseDump before = dumpDatabase(db());
    for (const bool toolMissing : {false, true}) {
        std::optional<test::NoProgramsOnPath> noTools;
        if (toolMissing)
            noTools.emplace();
        prompter.clear();
        closed = 0;
        restoreFrom(failing);
        ASSERT_EQ(prompter.boxes().size(), 2u);
        EXPECT_TRUE(prompter.box(1).text.startsWith(QStringLiteral("数据恢复失败！\r")));
        EXPECT_TRUE(prompter.box(1).text.contains(
            toolMissing ? QStringLiteral("找不到PostgreSQL的工具pg_restore")
                        : QStringLiteral("数据库服务器上的数据没有改变。")))
            << prompter.box(1).text.toStdString();
        EXPECT_EQ(prompter.box(1).icon, Prompter::Icon::Error);
        EXPECT_EQ(dumpDatabase(db()), before);
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(progress.Timer1().isActive());
    }
}

// A dump that holds anything this program's migrations do not make is refused before anything
// is restored, naming what it holds: code that would run on the server (a function, a trigger, a
// rule, a policy), another table, or a column changed from the program's.
TEST_F(Restore, OnAServerADumpHoldingAnythingForeignIsRefusedNamingIt) {
    if (!onServer())
        GTEST_SKIP() << "runs with the shop on a server (label server)";
    struct Case {
        const char* name;
        QStringList make;
        QStringList undo;
        QString named;
    };
    const QString evil = QStringLiteral(
        "CREATE FUNCTION lms_evil() RETURNS TRIGGER LANGUAGE plpgsql AS 'BEGIN RETURN NEW; END'");
    const Case cases[] = {
        {"function",
         {evil},
         {QStringLiteral("DROP FUNCTION lms_evil")},
         QStringLiteral("多出函数 public.lms_evil()")},
        {"trigger",
         {evil, QStringLiteral("CREATE TRIGGER lms_spy BEFORE INSERT ON 读者 FOR EACH ROW "
                               "EXECUTE FUNCTION lms_evil()")},
         {QStringLiteral("DROP TRIGGER lms_spy ON 读者"), QStringLiteral("DROP FUNCTION lms_evil")},
         QStringLiteral("多出触发器 public.读者 lms_spy")},
        {"rule",
         {QStringLiteral("CREATE RULE lms_rule AS ON INSERT TO 日志 DO ALSO NOTIFY lms")},
         {QStringLiteral("DROP RULE lms_rule ON 日志")},
         QStringLiteral("多出规则 public.日志 lms_rule")},
        {"policy",
         {QStringLiteral("CREATE POLICY lms_policy ON 管理员 USING (true)")},
         {QStringLiteral("DROP POLICY lms_policy ON 管理员")},
         QStringLiteral("多出行安全策略 public.管理员 lms_policy")},
        {"table",
         {QStringLiteral("CREATE TABLE 笔记 (内容 TEXT)")},
         {QStringLiteral("DROP TABLE 笔记")},
         QStringLiteral("多出表 public.笔记")},
        {"changed default",
         {QStringLiteral("ALTER TABLE 读者 ALTER COLUMN 押金 SET DEFAULT 100")},
         {QStringLiteral("ALTER TABLE 读者 ALTER COLUMN 押金 DROP DEFAULT")},
         QStringLiteral("表 public.读者的定义与本系统的不同")},
        {"changed column",
         {QStringLiteral("ALTER TABLE 图书 ALTER COLUMN 借阅次数 TYPE TEXT")},
         {QStringLiteral(
             "ALTER TABLE 图书 ALTER COLUMN 借阅次数 TYPE BIGINT USING 借阅次数::BIGINT")},
         QStringLiteral("表 public.图书的定义与本系统的不同")},
        {"check",
         {QStringLiteral("ALTER TABLE 资金 ADD CONSTRAINT lms_check CHECK (金额总计 < 1e9)")},
         {QStringLiteral("ALTER TABLE 资金 DROP CONSTRAINT lms_check")},
         QStringLiteral("表 public.资金的定义与本系统的不同")},
    };
    const QString foreign =
        QStringLiteral("所选文件中有本系统的数据库以外的内容，不能恢复数据！\r");
    const auto functions = [this] {
        return scalar(QStringLiteral("SELECT count(*) FROM pg_proc p JOIN pg_namespace n ON "
                                     "n.oid = p.pronamespace WHERE n.nspname = 'public'"))
            .toInt();
    };
    const auto schemas = [this] {
        return scalar(QStringLiteral("SELECT count(*) FROM pg_namespace")).toInt();
    };
    for (const Case& c : cases) {
        for (const QString& sql : c.make)
            db().exec(sql);
        const QString saved = takeBackup();
        for (const QString& sql : c.undo)
            db().exec(sql);
        Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES (?)"))
            .bind(1, QString::fromUtf8(c.name))
            .exec();
        const DatabaseDump before = dumpDatabase(db());
        const int schemasBefore = schemas();
        prompter.clear();
        restoreFrom(saved);
        ASSERT_EQ(prompter.boxes().size(), 2u) << c.name;
        EXPECT_TRUE(prompter.box(1).text.startsWith(foreign)) << prompter.box(1).text.toStdString();
        EXPECT_TRUE(prompter.box(1).text.contains(c.named))
            << c.name << ": " << prompter.box(1).text.toStdString();
        EXPECT_EQ(prompter.box(1).icon, Prompter::Icon::Error);
        EXPECT_EQ(dumpDatabase(db()), before) << c.name;
        EXPECT_EQ(functions(), 0) << c.name;
        // The scratch schema the check compared against is gone again.
        EXPECT_EQ(schemas(), schemasBefore) << c.name;
        EXPECT_FALSE(progress.Timer1().isActive());
    }
}

// Another desk's connection outlasts the restore: the statements it prepared before run on the
// restored tables.
TEST_F(Restore, OnAServerAnotherDeskWorksOnTheRestoredShop) {
    if (!onServer())
        GTEST_SKIP() << "runs with the shop on a server (label server)";
    const QString saved = takeBackup();
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    Database desk;
    desk.openServer(shop.dm->server());
    ASSERT_EQ(bookTypesOn(desk).size(), 8);
    prompter.clear();
    restoreFrom(saved);
    ASSERT_EQ(prompter.texts(), QStringList{kQuestion});
    EXPECT_EQ(bookTypesOn(desk), Schema::defaultBookTypes());
    Query(desk, QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES (?)"))
        .bind(1, QStringLiteral("柜台"))
        .exec();
    EXPECT_EQ(bookTypes(), 8);
}

// A dump the administrator took with the server's own tool, without this program's check line,
// restores as well.
TEST_F(Restore, OnAServerADumpOfTheServersOwnToolRestores) {
    if (!onServer())
        GTEST_SKIP() << "runs with the shop on a server (label server)";
    const QString plain = shop.folder.file(QStringLiteral("by-hand.pgdump"));
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("pg_dump"),
                          {QStringLiteral("--format=custom"), QStringLiteral("--file=") + plain,
                           QStringLiteral("--dbname=") + shop.dm->server()}),
        0);
    const DatabaseDump before = dumpDatabase(db());
    Query(db(), QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES ('新类型')")).exec();
    restoreFrom(plain);
    EXPECT_EQ(prompter.texts(), QStringList{kQuestion});
    EXPECT_EQ(dumpDatabase(db()), before);
}

} // namespace
} // namespace lms
