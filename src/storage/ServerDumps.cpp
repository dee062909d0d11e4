#include "storage/ServerDumps.h"

#include "core/Database.h"
#include "core/Schema.h"
#include "core/ServerSettings.h"
#include "core/engines/PgEngine.h"
#include "storage/DumpData.h"
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
                   // A scratch schema another desk's restore check left behind is no part of
                   // the shop.
                   QStringLiteral("--exclude-schema=lms_shape_*"),
                   QStringLiteral("--dbname=") + ServerSettings::withoutSecrets(connection)},
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

namespace {

// Nowhere: the rows are only read, to find what is foreign before anything is restored.
class NoRows : public DumpRowsSink {
public:
    void beginRows(const QString&) override {}
    void rows(const QByteArray&) override {}
    void endRows() override {}
    void setSequence(const SequenceValue&) override {}
};

// The restore's own connection, inside its transaction.
class ServerRows : public DumpRowsSink {
public:
    ServerRows(Database& db, const Step& step)
        : db_(db), pg_(dynamic_cast<PgConnection&>(db.connection())), step_(step) {}
    ~ServerRows() {
        if (copying_)
            pg_.abandonCopy();
    }
    ServerRows(const ServerRows&) = delete;
    ServerRows& operator=(const ServerRows&) = delete;

    void beginRows(const QString& copyStatement) override {
        pg_.beginCopy(copyStatement);
        copying_ = true;
        if (step_)
            step_();
    }
    void rows(const QByteArray& lines) override { pg_.putCopy(lines); }
    void endRows() override {
        copying_ = false;
        pg_.endCopy();
    }
    void setSequence(const SequenceValue& value) override {
        // The dump's statement quotes the name as a literal: its doubled quotes are one.
        QString sequence = value.sequence;
        sequence.replace(QStringLiteral("''"), QStringLiteral("'"));
        Query(db_, QStringLiteral("SELECT pg_catalog.setval(?, ?, ?)"))
            .bind(1, sequence)
            .bind(2, value.value)
            .bind(3, value.called)
            .exec();
    }

private:
    Database& db_;
    PgConnection& pg_;
    const Step& step_;
    bool copying_ = false;
};

// Streams the dump's data section through the reader; why it stopped, else nothing.
std::optional<QString> readData(const QString& path, DumpDataReader& reader) {
    const PgToolRun run =
        runPgTool(QStringLiteral("pg_restore"),
                  {QStringLiteral("--data-only"), QStringLiteral("--file=-"), path}, {},
                  [&reader](const QByteArray& piece) { return reader.take(piece); });
    if (!reader.foreign().isEmpty())
        return foreignContent({reader.foreign()});
    if (!run.ok)
        return run.failure.isEmpty() ? QStringLiteral("pg_restore") : run.failure;
    if (!reader.finish())
        return reader.foreign().isEmpty() ? QStringLiteral("pg_restore")
                                          : foreignContent({reader.foreign()});
    return std::nullopt;
}

} // namespace

QString foreignContent(const QStringList& found) {
    constexpr qsizetype kShown = 8;
    QString message = QStringLiteral("所选文件中有本系统的数据库以外的内容，不能恢复数据！");
    for (const QString& what : found.mid(0, kShown))
        message += QLatin1Char('\r') + what;
    if (found.size() > kShown)
        message += QStringLiteral("\r……等%1项").arg(found.size());
    return message;
}

Check check(const QString& connection, const QString& path) {
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
    // The dump is held against what this program's migrations make at its version.
    std::optional<DumpShape> program = DumpShape::ofProgram(connection, schema, &result.failure);
    if (!program)
        return result;
    const std::optional<DumpShape> dump = DumpShape::read(file, &result.failure);
    if (!dump)
        return result;
    if (const QStringList found = dump->differencesFrom(*program); !found.isEmpty()) {
        result.refusal = foreignContent(found);
        return result;
    }
    // Reading every row once finds a cut or damaged file, or a foreign statement among the
    // rows, before any table is touched.
    NoRows nowhere;
    DumpDataReader reader(*program, nowhere);
    if (const std::optional<QString> stopped = readData(file, reader)) {
        if (!reader.foreign().isEmpty())
            result.refusal = *stopped;
        return result;
    }
    result.sound = true;
    result.tables = *tables;
    result.version = schema;
    result.program = std::move(program);
    return result;
}

std::optional<QString> restore(const QString& connection, const QString& path, const Check& check,
                               const Step& step) {
    const QString unchanged = QStringLiteral("\r数据库服务器上的数据没有改变。");
    if (!check.sound || !check.program)
        return QStringLiteral("数据恢复失败！") + unchanged;
    std::optional<QString> failure;
    try {
        Database db;
        db.openServer(connection);
        // One transaction under the shop's lock: the other desks wait on the tables' locks and
        // then see the restored shop, and a failure changes nothing. The tables are made anew by
        // the program's own migrations; of the dump only its rows are taken.
        Transaction transaction(db);
        for (const QString& table : tablesOfTheShop())
            db.exec(QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(table));
        Schema::createEmpty(db, check.version);
        db.exec(QStringLiteral("DELETE FROM lms_schema"));
        {
            ServerRows rows(db, step);
            DumpDataReader reader(*check.program, rows);
            failure = readData(QFileInfo(path).absoluteFilePath(), reader);
        }
        if (!failure) {
            if (db.userVersion() != check.version)
                failure = QStringLiteral("备份文件中的数据库版本与核对时的不同。");
            else
                transaction.commit();
        }
    } catch (const DbError& error) {
        failure = QString::fromUtf8(error.what());
    }
    if (!failure)
        return std::nullopt;
    return *failure + unchanged;
}

} // namespace lms::ServerDumps
