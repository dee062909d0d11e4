#include "storage/PgTool.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace lms {

namespace {

constexpr int kPollMs = 100;

// "pg_dump: error: …" and the lines that explain it; every other line reports progress.
bool isErrorLine(const QByteArray& line) {
    for (const char* level : {": error: ", ": detail: ", ": hint: ", ": fatal: "})
        if (line.contains(level))
            return true;
    return false;
}

class LineSplitter {
public:
    LineSplitter(QStringList& errors, const PgToolReport& onReport)
        : errors_(errors), onReport_(onReport) {}

    void take(const QByteArray& bytes, bool last) {
        pending_ += bytes;
        qsizetype end = 0;
        while ((end = pending_.indexOf('\n')) >= 0) {
            handle(pending_.left(end));
            pending_.remove(0, end + 1);
        }
        if (last && !pending_.isEmpty()) {
            handle(pending_);
            pending_.clear();
        }
    }

private:
    void handle(const QByteArray& line) {
        if (isErrorLine(line))
            errors_ << QString::fromUtf8(line).trimmed();
        else if (onReport_)
            onReport_(line);
    }

    QStringList& errors_;
    const PgToolReport& onReport_;
    QByteArray pending_;
};

QString missing(const QString& name) {
    return QStringLiteral("找不到PostgreSQL的工具%1。\r请在本机安装postgresql-client软件包"
                          "（apt-get install postgresql-client）。")
        .arg(name);
}

} // namespace

PgToolRun runPgTool(const QString& name, const QStringList& arguments, const PgToolReport& onReport,
                    const PgToolOutput& onOutput) {
    PgToolRun run;
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty()) {
        run.failure = missing(name);
        return run;
    }
    QProcess process;
    // English messages, whatever the desk's language: the progress reports are known by them.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    process.setProcessEnvironment(environment);
    // The tools never ask for a password (libpq's password file gives it) nor read input.
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(-1)) {
        run.failure = missing(name) + QLatin1Char('\r') + process.errorString();
        return run;
    }
    run.ran = true;
    QStringList errors;
    LineSplitter lines(errors, onReport);
    const auto takeOutput = [&] {
        const QByteArray piece = process.readAllStandardOutput();
        if (!onOutput)
            run.output += piece;
        else if (!piece.isEmpty() && !run.stopped && !onOutput(piece))
            run.stopped = true;
    };
    while (process.state() != QProcess::NotRunning && !run.stopped) {
        // Output is taken as it comes, so a reader's pipe never holds more than a moment of it.
        if (!process.waitForReadyRead(kPollMs))
            process.waitForFinished(0);
        takeOutput();
        lines.take(process.readAllStandardError(), false);
    }
    if (run.stopped) {
        process.kill();
        process.waitForFinished(-1);
        return run;
    }
    takeOutput();
    lines.take(process.readAllStandardError(), true);
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!run.ok) {
        if (errors.isEmpty())
            errors << QStringLiteral("%1 exited with status %2").arg(name).arg(process.exitCode());
        run.failure =
            QStringLiteral("PostgreSQL的工具%1出错：\r").arg(name) + errors.join(QLatin1Char('\r'));
    }
    return run;
}

} // namespace lms
