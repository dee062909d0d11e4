// Backing the database up: the dated file beside it, a byte-for-byte copy whose bar advances
// in blocks of 65-byte steps (on a server, the server's dump), the progress window, its
// completion timer, and failures that leave no partial file.
#include "AdminFixture.h"
#include "FailingFiles.h"
#include "admin/DataBackup.h"
#include "admin/Tfrm_bfffDate.h"
#include "support/Moments.h"
#include "support/ServerDatabase.h"

#include <QDir>
#include <optional>

namespace lms {
namespace {

using test::AdminTest;
using test::at;
using test::FailingFiles;

const QString kBackingUp = QStringLiteral("正在备份数据，请稍候. . . . . . ");

class Backup : public AdminTest {
protected:
    Backup() {
        QObject::connect(&progress, &FormModel::closeRequested, [this] { ++closed; });
        clock.set(at(2026, 3, 7, 14, 5, 9));
    }
    // Every file in the program folder but the database itself.
    QStringList otherFiles() {
        QStringList names = QDir(shop.folder.path()).entryList(QDir::Files | QDir::Hidden);
        // The open database and its write-ahead log with its index.
        for (const char* suffix : {"", "-wal", "-shm"})
            names.removeAll(Tdm_Dbase::kFileName + QLatin1String(suffix));
        return names;
    }
    QString label() { return progress.field(QStringLiteral("Label1")).text(); }

    Tfrm_bfffDate progress;
    // A system whose date separator is "/", which a file name cannot hold.
    DataBackup backup{ctx, progress, RegionalFormats(QLocale(QLocale::Chinese, QLocale::China))};
    int closed = 0;
};

TEST_F(Backup, TheBackupIsAByteCopyNamedFromTheClock) {
    LMS_FILE_ENGINE_ONLY();
    backup.BFDataMenuClick();
    EXPECT_TRUE(prompter.boxes().empty());
    const QString name = QStringLiteral("2026-03-07 14-05-09buckup.zqd");
    EXPECT_EQ(otherFiles(), QStringList{name});
    const QByteArray live = shop.folder.readFile(Tdm_Dbase::kFileName);
    EXPECT_EQ(shop.folder.readFile(name), live);
    EXPECT_EQ(progress.maximum(), live.size());
    EXPECT_EQ(progress.position(), live.size());
    EXPECT_EQ(label(), kBackingUp);
    EXPECT_EQ(progress.Mode(), Tfrm_bfffDate::BackupMode);
    EXPECT_EQ(host.shown(), QStringList{QStringLiteral("frm_bfffDate")});

    // The backup is a database of its own, with the same password and data.
    Database copy;
    copy.open(shop.folder.file(name), Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
    EXPECT_EQ(copy.scalar(QStringLiteral("SELECT 用户名 FROM 管理员")).toString(),
              QStringLiteral("admin"));
}

TEST_F(Backup, TheRegionalSeparatorIsUsedWhenAFileNameCanHoldIt) {
    DataBackup dotted(ctx, progress, RegionalFormats(QLocale(QLocale::German, QLocale::Germany)));
    dotted.BFDataMenuClick();
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(otherFiles(), QStringList{QStringLiteral("2026.03.07 14-05-09") + backupEnding()});
}

TEST_F(Backup, TheTimerCompletesTheWindowOnlyOnceTheCopyIsDone) {
    progress.start(Tfrm_bfffDate::BackupMode, kBackingUp);
    EXPECT_TRUE(progress.Timer1().isActive());
    EXPECT_EQ(progress.Timer1().interval(), 3000);
    progress.Timer1Timer();
    EXPECT_TRUE(progress.Timer1().isActive());
    EXPECT_EQ(label(), kBackingUp);

    backup.BFDataMenuClick();
    progress.Timer1Timer();
    EXPECT_FALSE(progress.Timer1().isActive());
    EXPECT_EQ(label(), QStringLiteral("数据备份成功！！"));
    EXPECT_EQ(closed, 0);
    // One second later the bar empties and the window closes.
    EXPECT_TRUE(progress.Timer2().isActive());
    EXPECT_EQ(progress.Timer2().interval(), 1000);
    progress.Timer2Timer();
    EXPECT_EQ(progress.position(), 0);
    EXPECT_EQ(closed, 1);
}

TEST_F(Backup, TheBarAdvancesByWholeBlocksOf65ByteStepsToTheLastByte) {
    // Two and a half blocks of bytes that differ from block to block.
    QByteArray bytes;
    for (int i = 0; bytes.size() < Tfrm_bfffDate::kBlockBytes * 5 / 2; ++i)
        bytes.append(QByteArray::number(i)).append(' ');
    shop.folder.writeFile(QStringLiteral("big.zqd"), bytes);
    QList<int> positions;
    QObject::connect(&progress.field(QStringLiteral("ProgressBar1")), &Field::valueChanged,
                     [&](const QVariant& v) { positions << v.toInt(); });
    ASSERT_FALSE(progress.CopyWithProgress(shop.folder.file(QStringLiteral("big.zqd")),
                                           shop.folder.file(QStringLiteral("copy.zqd"))));
    EXPECT_EQ(shop.folder.readFile(QStringLiteral("copy.zqd")), bytes);
    EXPECT_EQ(Tfrm_bfffDate::kBlockBytes % 65, 0);
    // One position per block: two whole blocks and the rest.
    ASSERT_EQ(positions, (QList<int>{Tfrm_bfffDate::kBlockBytes, 2 * Tfrm_bfffDate::kBlockBytes,
                                     static_cast<int>(bytes.size())}));
    EXPECT_EQ(progress.maximum(), bytes.size());
}

TEST_F(Backup, AZeroByteSourceCompletesAtTheFirstTick) {
    shop.folder.writeFile(QStringLiteral("empty.zqd"), QByteArray());
    progress.start(Tfrm_bfffDate::BackupMode, kBackingUp);
    EXPECT_FALSE(progress
                     .CopyWithProgress(shop.folder.file(QStringLiteral("empty.zqd")),
                                       shop.folder.file(QStringLiteral("copy.zqd")))
                     .has_value());
    EXPECT_EQ(progress.maximum(), 0);
    progress.Timer1Timer();
    EXPECT_EQ(label(), QStringLiteral("数据备份成功！！"));
    EXPECT_TRUE(QFile::exists(shop.folder.file(QStringLiteral("copy.zqd"))));
}

TEST_F(Backup, TwoBackupsInTheSameSecondLeaveTheSecond) {
    LMS_FILE_ENGINE_ONLY();
    backup.BFDataMenuClick();
    shop.dm->WriteRZ(QStringLiteral("读者借书"), QStringLiteral("admin"), clock.now(), {});
    backup.BFDataMenuClick();
    ASSERT_EQ(otherFiles().size(), 1);
    EXPECT_EQ(shop.folder.readFile(otherFiles().first()),
              shop.folder.readFile(Tdm_Dbase::kFileName));
}

// A disk that fills up, a source that cannot be read and a rename that fails: the error is
// shown, no partial backup stays behind and the progress window goes away.
TEST_F(Backup, AFailedCopyLeavesNoFileAndClosesTheWindow) {
    LMS_FILE_ENGINE_ONLY();
    const FailingFiles::Fault kinds[] = {
        FailingFiles::Fault::FullDisk, FailingFiles::Fault::BadSector, FailingFiles::Fault::Rename};
    for (const FailingFiles::Fault fault : kinds) {
        FailingFiles files(fault, 4096);
        progress.setFiles(files);
        prompter.clear();
        closed = 0;
        backup.BFDataMenuClick();
        ASSERT_EQ(prompter.boxes().size(), 1u);
        EXPECT_EQ(prompter.box(0).icon, Prompter::Icon::Error);
        EXPECT_TRUE(prompter.box(0).text.startsWith(QStringLiteral("数据备份失败！\r")))
            << prompter.box(0).text.toStdString();
        EXPECT_GT(prompter.box(0).text.size(), 8);
        EXPECT_TRUE(otherFiles().isEmpty()) << otherFiles().join(QLatin1Char(',')).toStdString();
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(progress.Timer1().isActive());
        EXPECT_EQ(progress.position(), 0);
    }
}

// The server's dump tool missing, or failing because the server refuses it: the error is shown,
// no partial backup stays behind and the progress window goes away.
TEST_F(Backup, OnAServerAFailedDumpLeavesNoFileAndClosesTheWindow) {
    if (!onServer())
        GTEST_SKIP() << "runs with the shop on a server (label server)";
    const QString shopServer = shop.dm->server();
    for (const bool toolMissing : {true, false}) {
        std::optional<test::NoProgramsOnPath> noTools;
        if (toolMissing)
            noTools.emplace();
        else
            shop.dm->useServer(shopServer + QStringLiteral(" dbname=lms_no_such_database"));
        prompter.clear();
        closed = 0;
        backup.BFDataMenuClick();
        ASSERT_EQ(prompter.boxes().size(), 1u);
        EXPECT_EQ(prompter.box(0).icon, Prompter::Icon::Error);
        const QString expected = toolMissing ? QStringLiteral("找不到PostgreSQL的工具pg_dump")
                                             : QStringLiteral("lms_no_such_database");
        EXPECT_TRUE(prompter.box(0).text.startsWith(QStringLiteral("数据备份失败！\r")));
        EXPECT_TRUE(prompter.box(0).text.contains(expected)) << prompter.box(0).text.toStdString();
        EXPECT_TRUE(otherFiles().isEmpty()) << otherFiles().join(QLatin1Char(',')).toStdString();
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(progress.Timer1().isActive());
    }
}

// The dump tool reports each table it writes; the bar counts them and is full once the file is.
TEST_F(Backup, OnAServerTheBarCountsTheTablesAsTheyAreDumped) {
    if (!onServer())
        GTEST_SKIP() << "runs with the shop on a server (label server)";
    QList<int> positions;
    QObject::connect(&progress.field(QStringLiteral("ProgressBar1")), &Field::valueChanged,
                     [&](const QVariant& v) { positions << v.toInt(); });
    backup.BFDataMenuClick();
    // The nine tables and the schema version's; the last step is the tool's end.
    EXPECT_EQ(progress.maximum(), 10);
    EXPECT_EQ(positions, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(Backup, AMissingSourceIsReported) {
    progress.start(Tfrm_bfffDate::BackupMode, kBackingUp);
    const auto failure = progress.CopyWithProgress(shop.folder.file(QStringLiteral("none.zqd")),
                                                   shop.folder.file(QStringLiteral("out.zqd")));
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(failure->isEmpty());
    EXPECT_FALSE(QFile::exists(shop.folder.file(QStringLiteral("out.zqd"))));
}

TEST_F(Backup, ANewOperationIsNotClosedByThePauseOfTheLastOne) {
    backup.BFDataMenuClick();
    progress.Timer1Timer();
    ASSERT_TRUE(progress.Timer2().isActive());
    backup.BFDataMenuClick();
    EXPECT_FALSE(progress.Timer2().isActive());
    EXPECT_TRUE(progress.Timer1().isActive());
    EXPECT_EQ(closed, 0);
}

} // namespace
} // namespace lms
