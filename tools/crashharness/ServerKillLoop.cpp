#include "ServerKillLoop.h"

#include "JournalChecks.h"
#include "KillLoop.h"
#include "ServerClerk.h"
#include "ServerCluster.h"
#include "ServerShop.h"
#include "ShopChecks.h"
#include "ShopSession.h"

#include "core/DbError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <memory>
#include <random>
#include <vector>

namespace lms::crash {

namespace {

constexpr int kStartTimeoutMs = 90000;
constexpr int kResumeTimeoutMs = 60000;
constexpr int kIdleTimeoutMs = 30000;

struct Clerk {
    std::unique_ptr<QProcess> process;
    int number = 0;
};

bool resumedAfterReconnecting(const QList<JournalEntry>& entries) {
    bool reconnected = false;
    for (const JournalEntry& e : entries) {
        if (e.kind == JournalEntry::Kind::Reconnected)
            reconnected = true;
        else if (e.kind == JournalEntry::Kind::Done && reconnected)
            return true;
    }
    return false;
}

class ServerKillLoop {
public:
    ServerKillLoop(const HarnessOptions& options, const QString& folder, const QString& shop)
        : options_(options), folder_(folder), shop_(shop), random_(options.seed),
          cluster_(options.cluster) {
        for (int i = 1; i <= options.restarts; ++i)
            restartAt_.insert(static_cast<int>((i - 0.5) * options.kills / options.restarts) + 1);
    }

    int failures() const { return failures_; }
    int processes() const { return processes_; }
    int restarts() const { return restarts_; }
    int checks() const { return checks_; }

    void makeShop() { crash::makeShop(folder_, shop_, static_cast<quint32>(random_())); }

    void run() {
        std::uniform_int_distribution<int> delay(5, 80);
        std::vector<Clerk> clerks(static_cast<std::size_t>(options_.clerks));
        int kill = 0;
        while (kill < options_.kills) {
            for (Clerk& clerk : clerks)
                start(clerk);
            const int roundEnd = std::min(options_.kills, kill + options_.killsPerCheck);
            while (kill < roundEnd) {
                ++kill;
                QThread::msleep(static_cast<unsigned long>(delay(random_)));
                if (restartAt_.contains(kill))
                    restartServer(clerks);
                Clerk& victim = clerks[std::uniform_int_distribution<std::size_t>(
                    0, clerks.size() - 1)(random_)];
                stop(victim);
                start(victim);
            }
            for (Clerk& clerk : clerks)
                stop(clerk);
            check(QStringLiteral("after kill %1").arg(kill));
        }
    }

    // Checks the whole database and every journal so far, while no clerk works. A failure is
    // reported once, when first found.
    void check(const QString& when) {
        ++checks_;
        QStringList problems;
        try {
            if (!waitUntilNoOtherSession(shop_, kIdleTimeoutMs))
                problems << QStringLiteral("killed clerks' sessions still work on the server");
            OpenShop shop(folder_, shop_);
            shop.open();
            QList<ClerkRecord> records;
            QList<QList<JournalEntry>> journals;
            for (int n = 1; n <= processes_; ++n) {
                records << ClerkRecord{n, deskOf(n), readJournal(journalPath(folder_, n))};
                journals << records.last().entries;
            }
            problems << checkShop(shop.dm.db(), intentsIn(journals));
            problems << checkJournals(shop.dm.db(), records, restarts_ > 0, &tally_);
            counts_ = countLogEvents(shop.dm.db());
        } catch (const DbError& error) {
            problems << QStringLiteral("cannot check the shop: ") + QString::fromUtf8(error.what());
        }
        report(when, problems);
    }

    void report(const QString& when, const QStringList& problems) {
        for (const QString& line : problems) {
            if (reported_.contains(line))
                continue;
            reported_.insert(line);
            ++failures_;
            say(when + QStringLiteral(": ") + line);
        }
    }

    const JournalTally& tally() const { return tally_; }
    const QMap<QString, qint64>& counts() const { return counts_; }

private:
    void start(Clerk& clerk) {
        clerk.number = ++processes_;
        clerk.process = std::make_unique<QProcess>();
        QProcess& p = *clerk.process;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.setProgram(QCoreApplication::applicationFilePath());
        p.setArguments({QStringLiteral("child"), QStringLiteral("--server"), shop_,
                        QStringLiteral("--folder"), folder_, QStringLiteral("--seed"),
                        QString::number(random_()), QStringLiteral("--process"),
                        QString::number(clerk.number), QStringLiteral("--think"),
                        QString::number(options_.thinkMs)});
        p.start();
        QByteArray out;
        QElapsedTimer waited;
        waited.start();
        while (!out.contains("running\n") && waited.elapsed() < kStartTimeoutMs &&
               p.waitForReadyRead(kStartTimeoutMs))
            out += p.readAllStandardOutput();
        if (!out.contains("running\n"))
            report(QStringLiteral("clerk %1").arg(clerk.number),
                   {QStringLiteral("did not start working (%1)").arg(p.errorString())});
    }

    void stop(Clerk& clerk) {
        if (!clerk.process)
            return;
        QProcess& p = *clerk.process;
        if (p.state() == QProcess::Running)
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        else
            report(QStringLiteral("clerk %1").arg(clerk.number),
                   {QStringLiteral("ended by itself, exit code %1").arg(p.exitCode())});
        p.waitForFinished(30000);
        clerk.process.reset();
    }

    // Stops the server abruptly while the clerks work, starts it again a moment later and waits
    // until every clerk has opened the shop anew and committed an operation.
    void restartServer(const std::vector<Clerk>& clerks) {
        ++restarts_;
        const QString when = QStringLiteral("server restart %1").arg(restarts_);
        QString error = cluster_.stopAbruptly();
        QThread::msleep(
            static_cast<unsigned long>(std::uniform_int_distribution<int>(200, 1500)(random_)));
        if (error.isEmpty())
            error = cluster_.start();
        if (!error.isEmpty()) {
            report(when, {error});
            return;
        }
        QElapsedTimer waited;
        waited.start();
        for (const Clerk& clerk : clerks) {
            while (!resumedAfterReconnecting(readJournal(journalPath(folder_, clerk.number))) &&
                   waited.elapsed() < kResumeTimeoutMs)
                QThread::msleep(50);
            if (!resumedAfterReconnecting(readJournal(journalPath(folder_, clerk.number))))
                report(when, {QStringLiteral("clerk %1 did not work again within %2 s")
                                  .arg(clerk.number)
                                  .arg(kResumeTimeoutMs / 1000)});
        }
    }

    const HarnessOptions& options_;
    QString folder_;
    QString shop_;
    std::mt19937 random_;
    ServerCluster cluster_;
    QSet<int> restartAt_;
    QSet<QString> reported_;
    int failures_ = 0;
    int processes_ = 0;
    int restarts_ = 0;
    int checks_ = 0;
    JournalTally tally_;
    QMap<QString, qint64> counts_;
};

} // namespace

int runServerKillLoop(const HarnessOptions& options) {
    QTemporaryDir temporary;
    QString folder = options.folder.isEmpty() ? temporary.path() : options.folder;
    if (folder.isEmpty()) {
        say(QStringLiteral("cannot make a temporary folder"));
        return 2;
    }
    QDir().mkpath(folder);
    folder = QDir(folder).absolutePath();
    if (!QDir(folder).entryList({QStringLiteral("clerk-*.journal")}, QDir::Files).isEmpty()) {
        say(QStringLiteral("%1 holds the journals of another run; give an empty folder")
                .arg(folder));
        return 2;
    }
    QElapsedTimer elapsed;
    elapsed.start();

    std::unique_ptr<ServerShop> server;
    QString durability = QStringLiteral("as the server is set");
    try {
        server = std::make_unique<ServerShop>(options.server);
        OpenShop probe(folder, server->connectionString());
        if (!probe.dm.isNew()) {
            say(QStringLiteral("%1 already holds a shop; give an empty database")
                    .arg(server->databaseName()));
            return 2;
        }
        if (options.restarts > 0)
            durability = server->makeCommitsDurable();
    } catch (const DbError& error) {
        say(QStringLiteral("cannot prepare the server database: %1")
                .arg(QString::fromUtf8(error.what())));
        return 2;
    }
    say(QStringLiteral("crash harness on a server: seed %1, %2 clerks, %3 kills, checks every %4 "
                       "kills, %5 server restarts, database %6 (synchronous_commit %7), folder %8")
            .arg(options.seed)
            .arg(options.clerks)
            .arg(options.kills)
            .arg(options.killsPerCheck)
            .arg(options.restarts)
            .arg(server->databaseName(), durability, folder));

    ServerKillLoop loop(options, folder, server->connectionString());
    try {
        loop.makeShop();
    } catch (const DbError& error) {
        say(QStringLiteral("cannot make the shop: %1").arg(QString::fromUtf8(error.what())));
        return 2;
    }
    loop.check(QStringLiteral("start"));
    const QMap<QString, qint64> startCounts = loop.counts();
    loop.run();

    QStringList done;
    qint64 total = 0;
    for (auto it = loop.counts().cbegin(); it != loop.counts().cend(); ++it) {
        const qint64 n = it.value() - startCounts.value(it.key());
        total += n;
        done << QStringLiteral("%1 %2").arg(it.key()).arg(n);
    }
    const JournalTally& t = loop.tally();
    say(QStringLiteral(
            "clerk processes: %1, killed at random: %2, checks of the whole database: %3")
            .arg(loop.processes())
            .arg(options.kills)
            .arg(loop.checks()));
    say(QStringLiteral("operations stored: %1 (%2); seen committed by the clerks: %3")
            .arg(total)
            .arg(done.join(QStringLiteral(", ")))
            .arg(t.done));
    say(QStringLiteral("server restarts: %1; operations cut off by them: %2; clerks back at "
                       "work: %3, of them through the data module's own new connection: %4")
            .arg(loop.restarts())
            .arg(t.connectionLost)
            .arg(t.reconnected)
            .arg(t.recoveredByItself));
    say(QStringLiteral("time: %1 s")
            .arg(static_cast<double>(elapsed.elapsed()) / 1000.0, 0, 'f', 1));
    say(QStringLiteral("failures: %1").arg(loop.failures()));
    if (loop.failures() > 0) {
        server->keep();
        if (options.folder.isEmpty())
            temporary.setAutoRemove(false);
        say(QStringLiteral("the journals are kept in %1, the database %2 on the server")
                .arg(folder, server->databaseName()));
    }
    return loop.failures() == 0 ? 0 : 1;
}

} // namespace lms::crash
