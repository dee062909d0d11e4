#include "JetMoveKills.h"

#include "core/Database.h"
#include "core/Tdm_Dbase.h"
#include "storage/jet/JetArrival.h"
#include "storage/jet/JetChild.h"
#include "storage/jet/JetFormat.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <random>
#include <signal.h>
#include <unistd.h>

namespace lms::crash {

namespace {

const QStringList kSteps = {
    QStringLiteral("kept-copy-written"), QStringLiteral("original-kept"),
    QStringLiteral("side-file-opened"),  QStringLiteral("side-file-committed"),
    QStringLiteral("side-file-synced"),  QStringLiteral("renamed"),
    QStringLiteral("report-saved")};

QHash<QString, QString> options(const QStringList& arguments) {
    QHash<QString, QString> values;
    for (qsizetype i = 0; i + 1 < arguments.size(); i += 2)
        values.insert(arguments[i], arguments[i + 1]);
    return values;
}

void say(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char* stopAt = nullptr;
QByteArray stopAtName;

void stopHere(const char* step) {
    if (stopAt && qstrcmp(step, stopAt) == 0)
        ::kill(::getpid(), SIGKILL);
}

// What a kill left in `folder`; empty when it is sound.
QStringList problemsIn(const QString& folder, const QByteArray& original, bool& moved) {
    QStringList problems;
    const QDir dir(folder);
    const QString live = dir.filePath(Tdm_Dbase::kFileName);
    const QString kept = dir.filePath(JetArrival::keptName());
    moved = false;
    if (!QFile::exists(live))
        return {QStringLiteral("no dbase.zqd in the folder")};
    if (JetFormat::probe(live).kind == JetFormat::Kind::Jet4) {
        if (bytesOf(live) != original)
            problems << QStringLiteral("the Jet file was changed");
    } else {
        moved = true;
        if (bytesOf(kept) != original)
            problems << QStringLiteral("the moved shop has no byte-identical original beside it");
        try {
            Database db;
            db.open(live, Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
            if (db.scalar(QStringLiteral("SELECT count(*) FROM 读者")).toInt() == 0 ||
                db.scalar(QStringLiteral("SELECT count(*) FROM 管理员")).toInt() == 0)
                problems << QStringLiteral("the moved shop is empty");
        } catch (const DbError& error) {
            problems << QStringLiteral("the moved shop does not open: ") +
                            QString::fromUtf8(error.what());
        }
    }
    if (QFile::exists(kept) && bytesOf(kept) != original)
        problems << QStringLiteral("the kept original differs from the Jet file");
    if (!dir.entryList({QStringLiteral("dbase-jet4-原文件-*")}, QDir::Files).isEmpty())
        problems << QStringLiteral("a second copy of the original was kept");
    return problems;
}

// One move in a child process, killed after `delayMs` (or at its step `stop`); true when killed.
bool killedMove(const QString& folder, const QString& reader, int delayMs, const QString& stop) {
    QProcess child;
    QStringList arguments = {QStringLiteral("jet-move-child"), QStringLiteral("--folder"), folder,
                             QStringLiteral("--reader"), reader};
    if (!stop.isEmpty())
        arguments << QStringLiteral("--stop-at") << stop;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForStarted();
    if (stop.isEmpty() && !child.waitForFinished(delayMs)) {
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        child.waitForFinished();
        return true;
    }
    child.waitForFinished(120'000);
    return child.exitStatus() == QProcess::CrashExit;
}

} // namespace

int runJetMoveChild(const QStringList& arguments) {
    const QHash<QString, QString> values = options(arguments);
    if (!values.contains(QStringLiteral("--folder")) ||
        !values.contains(QStringLiteral("--reader")))
        return 2;
    Jet::ChildReader::setProgram(values.value(QStringLiteral("--reader")));
    if (values.contains(QStringLiteral("--stop-at"))) {
        stopAtName = values.value(QStringLiteral("--stop-at")).toLatin1();
        stopAt = stopAtName.constData();
    }
    JetArrival::setStepHook(&stopHere);
    try {
        JetArrival::moveInPlace(values.value(QStringLiteral("--folder")));
        return 0;
    } catch (const JetMove::Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.message().toUtf8().constData());
        return 1;
    }
}

int runJetMoveKills(const QStringList& arguments) {
    const QHash<QString, QString> values = options(arguments);
    const QString jet = values.value(QStringLiteral("--jet"));
    const QString reader = values.value(QStringLiteral("--reader"));
    if (jet.isEmpty() || reader.isEmpty())
        return 2;
    const int kills = values.value(QStringLiteral("--kills"), QStringLiteral("30")).toInt();
    const quint32 seed = values.contains(QStringLiteral("--seed"))
                             ? values.value(QStringLiteral("--seed")).toUInt()
                             : std::random_device()();
    std::mt19937 random(seed);
    const QByteArray original = bytesOf(jet);
    if (original.isEmpty())
        return 2;
    QTemporaryDir root;
    int failures = 0;
    int moved = 0;
    // How long a whole move takes here, so that the kills fall inside it.
    int wholeMs = 0;
    {
        const QString folder = root.filePath(QStringLiteral("measure"));
        QDir().mkpath(folder);
        QFile::copy(jet, QDir(folder).filePath(Tdm_Dbase::kFileName));
        QElapsedTimer timer;
        timer.start();
        killedMove(folder, reader, 600'000, QString());
        wholeMs = static_cast<int>(timer.elapsed());
        bool done = false;
        const QStringList problems = problemsIn(folder, original, done);
        if (!done || !problems.isEmpty()) {
            say(QStringLiteral("a move without a kill did not move the shop: ") +
                problems.join(QStringLiteral("; ")));
            return 1;
        }
    }
    say(QStringLiteral("jet move kills: seed %1, %2 kills, a whole move %3 ms")
            .arg(seed)
            .arg(kills)
            .arg(wholeMs));
    for (int kill = 1; kill <= kills; ++kill) {
        const QString folder = root.filePath(QStringLiteral("kill%1").arg(kill));
        QDir().mkpath(folder);
        QFile::copy(jet, QDir(folder).filePath(Tdm_Dbase::kFileName));
        // Each named step once, the rest at random moments of a whole move.
        const QString stop = kill <= kSteps.size() ? kSteps[kill - 1] : QString();
        const int delay = std::uniform_int_distribution<int>(0, wholeMs)(random);
        killedMove(folder, reader, delay, stop);
        bool done = false;
        QStringList problems = problemsIn(folder, original, done);
        if (!done && problems.isEmpty()) {
            // Still the Jet file: the next start asks again and moves it in.
            killedMove(folder, reader, 600'000, QString());
            problems = problemsIn(folder, original, done);
            if (!done)
                problems << QStringLiteral("the move after a kill did not move the shop");
        } else if (done) {
            ++moved;
        }
        for (const QString& problem : problems)
            say(QStringLiteral("kill %1 (%2): %3")
                    .arg(kill)
                    .arg(stop.isEmpty() ? QStringLiteral("after %1 ms").arg(delay) : stop)
                    .arg(problem));
        failures += problems.isEmpty() ? 0 : 1;
    }
    say(QStringLiteral("jet move kills: %1 of %2 left a sound folder (%3 after the rename)")
            .arg(kills - failures)
            .arg(kills)
            .arg(moved));
    return failures == 0 ? 0 : 1;
}

} // namespace lms::crash
