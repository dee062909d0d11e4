#include "KillLoop.h"

#include "ClerkJournal.h"
#include "RandomClerk.h"
#include "ShopChecks.h"
#include "ShopSession.h"

#include "core/DbError.h"
#include "core/Tdm_Dbase.h"
#include "core/pubdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace lms::crash {

namespace {

qint64 logRows(const QMap<QString, qint64>& counts) {
    qint64 total = 0;
    for (qint64 n : counts)
        total += n;
    return total;
}

// Whether another process holds a write lock on this byte of the file; asks without locking.
bool byteLocked(const QString& path, off_t offset) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY);
    if (fd < 0)
        return false;
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = offset;
    lock.l_len = 1;
    const bool held = fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// Whether a write transaction is open on the database: the engine's reserved byte of the file
// (rollback journal) or the write lock of the shared-memory file (WAL).
bool writeTransactionOpen(const QString& database) {
    constexpr off_t kReservedByte = 0x40000001;
    constexpr off_t kWalWriteLock = 120;
    return byteLocked(database, kReservedByte) ||
           byteLocked(database + QStringLiteral("-shm"), kWalWriteLock);
}

// One child's run: started, reported running, killed.
struct ChildRun {
    bool killed = false;
    bool inTransaction = false;
    int reportedDone = 0;
    QStringList problems;
};

ChildRun runOneChild(const QString& folder, const QString& database, quint32 seed, int delayMs) {
    ChildRun run;
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("child"), QStringLiteral("--folder"), folder,
                        QStringLiteral("--seed"), QString::number(seed)});
    child.start();
    if (!child.waitForStarted(30000)) {
        run.problems << QStringLiteral("the clerk did not start: ") + child.errorString();
        return run;
    }
    QByteArray out;
    while (!out.contains("running\n")) {
        if (!child.waitForReadyRead(60000))
            break;
        out += child.readAllStandardOutput();
    }
    if (out.contains("running\n")) {
        QThread::msleep(static_cast<unsigned long>(delayMs));
        if (child.state() == QProcess::Running) {
            run.inTransaction = writeTransactionOpen(database);
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            run.killed = true;
        }
    }
    if (!run.killed)
        child.kill();
    child.waitForFinished(30000);
    out += child.readAllStandardOutput();
    if (!run.killed)
        run.problems << QStringLiteral("the clerk ended by itself: ") +
                            QString::fromUtf8(child.readAllStandardError()).trimmed();
    for (const QByteArray& line : out.split('\n')) {
        if (line.startsWith("done "))
            ++run.reportedDone;
        else if (line.startsWith("dberror"))
            run.problems << QStringLiteral("the clerk was shown 连接数据库出错! (") +
                                QString::fromUtf8(line) + QLatin1Char(')');
    }
    return run;
}

bool fileThere(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.size() > 0;
}

} // namespace

int runKillLoop(const HarnessOptions& options) {
    QTemporaryDir temporary;
    QString folder = options.folder;
    if (folder.isEmpty()) {
        if (!temporary.isValid()) {
            say(QStringLiteral("cannot make a temporary folder"));
            return 2;
        }
        folder = temporary.path();
    }
    QDir().mkpath(folder);
    folder = QDir(folder).absolutePath();
    const QString database = folder + QLatin1Char('/') + Tdm_Dbase::kFileName;
    if (QFileInfo::exists(database)) {
        say(QStringLiteral("%1 already holds a database; give an empty folder").arg(folder));
        return 2;
    }
    say(QStringLiteral("crash harness: seed %1, %2 kills, folder %3")
            .arg(options.seed)
            .arg(options.kills)
            .arg(folder));

    std::mt19937 random(options.seed);
    int failures = 0;
    QMap<QString, qint64> startCounts;
    QMap<QString, qint64> counts;
    QString journalMode;
    try {
        makeShop(folder, {}, static_cast<quint32>(random()));
        OpenShop shop(folder);
        shop.open();
        for (const QString& line : checkShop(shop.dm.db())) {
            say(QStringLiteral("start: ") + line);
            ++failures;
        }
        startCounts = counts = countLogEvents(shop.dm.db());
        journalMode = shop.dm.db().scalar(QStringLiteral("PRAGMA journal_mode")).toString();
    } catch (const DbError& error) {
        say(QStringLiteral("cannot make the shop: %1").arg(QString::fromUtf8(error.what())));
        return 2;
    }

    int survived = 0;
    int journals = 0;
    int inTransaction = 0;
    int rolledBack = 0;
    int wals = 0;
    int reported = 0;
    std::uniform_int_distribution<int> delay(5, 80);
    for (int kill = 1; kill <= options.kills; ++kill) {
        const ChildRun run =
            runOneChild(folder, database, static_cast<quint32>(random()), delay(random));
        journals += fileThere(database + QStringLiteral("-journal")) ? 1 : 0;
        wals += fileThere(database + QStringLiteral("-wal")) ? 1 : 0;
        reported += run.reportedDone;
        inTransaction += run.inTransaction ? 1 : 0;
        QStringList problems = run.problems;
        try {
            OpenShop shop(folder);
            shop.open();
            problems << checkShop(shop.dm.db());
            const qint64 before = logRows(counts);
            counts = countLogEvents(shop.dm.db());
            const qint64 stored = logRows(counts) - before;
            // The kill may fall between a commit and its report, never more than once.
            rolledBack += run.inTransaction && stored == run.reportedDone ? 1 : 0;
            if (stored < run.reportedDone || stored > run.reportedDone + 1)
                problems << QStringLiteral("the clerk reported %1 operations done, %2 are stored")
                                .arg(run.reportedDone)
                                .arg(stored);
        } catch (const DbError& error) {
            problems << QStringLiteral("cannot open the shop: ") + QString::fromUtf8(error.what());
        }
        for (const QString& line : problems)
            say(QStringLiteral("kill %1: ").arg(kill) + line);
        failures += static_cast<int>(problems.size());
        survived += problems.isEmpty() && run.killed ? 1 : 0;
    }

    QStringList done;
    qint64 total = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const qint64 n = it.value() - startCounts.value(it.key());
        total += n;
        done << QStringLiteral("%1 %2").arg(it.key()).arg(n);
    }
    say(QStringLiteral("journal mode: %1").arg(journalMode));
    say(QStringLiteral("kills survived: %1 of %2").arg(survived).arg(options.kills));
    // A kill inside a write transaction either lost it (killed before its commit record was
    // written) or kept it (killed while the commit was being synced: the written file survives
    // the process).
    say(QStringLiteral("kills while the clerk held the write lock (mid-transaction): %1, of which "
                       "the transaction was rolled back: %2, kept: %3")
            .arg(inTransaction)
            .arg(rolledBack)
            .arg(inTransaction - rolledBack));
    say(QStringLiteral("kills that left a rollback journal %1; a WAL file: %2")
            .arg(journals)
            .arg(wals));
    say(QStringLiteral("operations completed by the clerks: %1 (%2); reported by them: %3")
            .arg(total)
            .arg(done.join(QStringLiteral(", ")))
            .arg(reported));
    say(QStringLiteral("failures: %1").arg(failures));
    if (failures > 0 && options.folder.isEmpty()) {
        temporary.setAutoRemove(false);
        say(QStringLiteral("the shop is kept in %1").arg(folder));
    }
    return failures == 0 ? 0 : 1;
}

int checkShopAt(const QString& folder, const QString& server) {
    try {
        OpenShop shop(folder, server);
        shop.open();
        // A server run's journals tell what its clerks' changes were about to write.
        QList<QList<JournalEntry>> journals;
        for (const QString& name :
             QDir(folder).entryList({QStringLiteral("clerk-*.journal")}, QDir::Files))
            journals << readJournal(QDir(folder).filePath(name));
        const QStringList failures = checkShop(shop.dm.db(), intentsIn(journals));
        for (const QString& line : failures)
            say(line);
        say(QStringLiteral("failures: %1").arg(failures.size()));
        return failures.isEmpty() ? 0 : 1;
    } catch (const DbError& error) {
        say(QStringLiteral("cannot open the shop: %1").arg(QString::fromUtf8(error.what())));
        return 2;
    }
}

int runClerk(const QString& folder, quint32 seed) {
    OpenShop shop(folder);
    try {
        shop.open();
    } catch (const DbError& error) {
        std::fprintf(stderr, "cannot open the shop: %s\n", error.what());
        return 2;
    }
    RandomClerk clerk(shop.dm, shop.pub, seed);
    clerk.startAfterStoredMoments();
    say(QStringLiteral("running"));
    const pid_t parent = getppid();
    // Endless until killed; a clerk whose parent is gone stops.
    while (getppid() == parent) {
        const QString done = clerk.step();
        if (!done.isEmpty())
            say(QStringLiteral("done ") + done);
        if (clerk.takeDatabaseError())
            say(QStringLiteral("dberror"));
    }
    return 0;
}

} // namespace lms::crash
