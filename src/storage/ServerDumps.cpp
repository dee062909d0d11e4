#include "storage/ServerDumps.h"

#include "core/Schema.h"
#include "storage/PgTool.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace lms::ServerDumps {

namespace {

const QByteArray kSealTag = QByteArrayLiteral("\nlms-sha256 ");
constexpr qint64 kHexDigits = 64;
const qint64 kSealBytes = kSealTag.size() + kHexDigits + 1;
constexpr qint64 kBlockBytes = 1 << 20;

enum class Seal { Absent, Intact, Broken };

QStringList tablesOfTheShop() {
    return Schema::tableNames() + QStringList{QStringLiteral("lms_schema")};
}

// Counts the tool's reports that begin a table's rows.
PgToolReport stepsOf(const char* report, const Step& step) {
    return [report, step](const QByteArray& line) {
        if (step && line.contains(report))
            step();
    };
}

// The SHA-256 of the file's first `bytes` bytes; nothing when they cannot all be read.
std::optional<QByteArray> digestOf(QFile& file, qint64 bytes) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.seek(0))
        return std::nullopt;
    for (qint64 left = bytes; left > 0;) {
        const QByteArray block = file.read(std::min(left, kBlockBytes));
        if (block.isEmpty())
            return std::nullopt;
        hash.addData(block);
        left -= block.size();
    }
    return hash.result().toHex();
}

std::optional<QString> seal(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return file.errorString();
    const std::optional<QByteArray> digest = digestOf(file, file.size());
    if (!digest)
        return file.errorString();
    const QByteArray line = kSealTag + *digest + '\n';
    // The name is given only to a file that is on the disk whole.
    if (!file.seek(file.size()) || file.write(line) != line.size() || !file.flush() ||
        ::fsync(file.handle()) != 0)
        return file.errorString();
    return std::nullopt;
}

Seal sealOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Seal::Broken;
    const qint64 body = file.size() - kSealBytes;
    if (body < 0 || !file.seek(body))
        return Seal::Absent;
    const QByteArray line = file.read(kSealBytes);
    if (!line.startsWith(kSealTag) || !line.endsWith('\n'))
        return Seal::Absent;
    const std::optional<QByteArray> digest = digestOf(file, body);
    return digest && *digest == line.mid(kSealTag.size(), kHexDigits) ? Seal::Intact : Seal::Broken;
}

std::optional<QString> giveName(const QString& side, const QString& target) {
    std::error_code error;
    // Replaces a backup of the same name in one step.
    std::filesystem::rename(std::filesystem::path(side.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), error);
    if (error)
        return QString::fromStdString(error.message());
    return std::nullopt;
}

// How many tables' rows the table of contents holds; nothing when one of the shop's tables or
// its rows is missing. Its lines read "215; 1259 16390 TABLE public 读者 owner" and
// "3350; 0 16390 TABLE DATA public 读者 owner".
std::optional<int> shopTables(const QByteArray& contents) {
    static const QRegularExpression entry(
        QStringLiteral("^\\d+;\\s+\\d+\\s+\\d+\\s+TABLE( DATA)?\\s+\\S+\\s+(\\S+)"));
    QSet<QString> defined;
    QSet<QString> filled;
    for (const QByteArray& raw : contents.split('\n')) {
        const QRegularExpressionMatch match = entry.match(QString::fromUtf8(raw));
        if (match.hasMatch())
            (match.hasCaptured(1) ? filled : defined).insert(match.captured(2));
    }
    for (const QString& table : tablesOfTheShop())
        if (!defined.contains(table) || !filled.contains(table))
            return std::nullopt;
    return static_cast<int>(filled.size());
}

// The version the dump's row of lms_schema holds, from the rows pg_restore writes out:
// "COPY public.lms_schema (version) FROM stdin;" and then the number. 0 when there is none.
int schemaVersion(const QByteArray& rows) {
    static const QRegularExpression copy(
        QStringLiteral("^COPY \\S*lms_schema \\(version\\) FROM stdin;$"));
    const QList<QByteArray> lines = rows.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (copy.match(QString::fromUtf8(lines[i])).hasMatch())
            return lines[i + 1].trimmed().toInt();
    return 0;
}

} // namespace

QString extension() {
    return QStringLiteral("pgdump");
}

bool isDump(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "PGDMP";
}

int backupSteps() {
    return static_cast<int>(tablesOfTheShop().size());
}

std::optional<QString> write(const QString& connection, const QString& target, const Step& step) {
    const QString side = target + QStringLiteral(".part");
    const PgToolRun run =
        runPgTool(QStringLiteral("pg_dump"),
                  {QStringLiteral("--format=custom"), QStringLiteral("--no-owner"),
                   QStringLiteral("--no-privileges"), QStringLiteral("--no-password"),
                   QStringLiteral("--verbose"), QStringLiteral("--file=") + side,
                   QStringLiteral("--dbname=") + connection},
                  stepsOf("dumping contents of table ", step));
    std::optional<QString> failure;
    if (!run.ok)
        failure = run.failure;
    else if (const std::optional<QString> unsealed = seal(side))
        failure = unsealed;
    else
        failure = giveName(side, target);
    if (failure)
        QFile::remove(side);
    return failure;
}

Check check(const QString& path) {
    Check result;
    const QString file = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(file).isFile() || sealOf(file) == Seal::Broken)
        return result;
    const QString tool = QStringLiteral("pg_restore");
    const PgToolRun contents = runPgTool(tool, {QStringLiteral("--list"), file});
    if (!contents.ran) {
        result.failure = contents.failure;
        return result;
    }
    const std::optional<int> tables = contents.ok ? shopTables(contents.output) : std::nullopt;
    if (!tables)
        return result;
    const PgToolRun version =
        runPgTool(tool, {QStringLiteral("--data-only"), QStringLiteral("--table=lms_schema"),
                         QStringLiteral("--file=-"), file});
    const int schema = version.ok ? schemaVersion(version.output) : 0;
    if (schema < 1 || schema > Schema::currentVersion())
        return result;
    // Reading every row once finds a cut or damaged file before any table is touched.
    result.sound = runPgTool(tool, {QStringLiteral("--file=") + QProcess::nullDevice(), file}).ok;
    result.tables = *tables;
    return result;
}

std::optional<QString> restore(const QString& connection, const QString& path, const Step& step) {
    const PgToolRun run =
        runPgTool(QStringLiteral("pg_restore"),
                  {QStringLiteral("--single-transaction"), QStringLiteral("--clean"),
                   QStringLiteral("--if-exists"), QStringLiteral("--no-owner"),
                   QStringLiteral("--no-privileges"), QStringLiteral("--no-password"),
                   QStringLiteral("--verbose"), QStringLiteral("--dbname=") + connection,
                   QFileInfo(path).absoluteFilePath()},
                  stepsOf("processing data for table ", step));
    if (run.ok)
        return std::nullopt;
    return run.failure + QStringLiteral("\r数据库服务器上的数据没有改变。");
}

} // namespace lms::ServerDumps
