#include "ServerCluster.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <unistd.h>

namespace lms::crash {

namespace {

// The newest installed server's pg_ctl, as the cluster script finds it.
QString pgCtlProgram() {
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    return versions.isEmpty()
               ? QStringLiteral("pg_ctl")
               : QStringLiteral("/usr/lib/postgresql/%1/bin/pg_ctl").arg(versions.last());
}

} // namespace

QString ServerCluster::pgCtl(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The server refuses to run as root: its owner runs its programs.
    if (::geteuid() == 0)
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                  QStringLiteral("--"), pgCtlProgram()} +
                          arguments);
    else
        process.start(pgCtlProgram(), arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("pg_ctl %1 did not finish").arg(arguments.join(QLatin1Char(' ')));
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {};
    return QStringLiteral("pg_ctl %1 failed: %2")
        .arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(process.readAll()).trimmed());
}

QString ServerCluster::stopAbruptly() {
    return pgCtl({QStringLiteral("-D"), folder_ + QStringLiteral("/data"), QStringLiteral("-m"),
                  QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

QString ServerCluster::start() {
    // "restart" of a stopped server starts it with the options it last ran with (the data
    // folder's postmaster.opts): the same socket folder, no TCP port.
    return pgCtl({QStringLiteral("-D"), folder_ + QStringLiteral("/data"), QStringLiteral("-l"),
                  folder_ + QStringLiteral("/server.log"), QStringLiteral("-w"),
                  QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("restart")});
}

} // namespace lms::crash
