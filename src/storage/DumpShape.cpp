#include "storage/DumpShape.h"

#include "core/Database.h"
#include "core/Schema.h"
#include "storage/PgTool.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace lms {

namespace {

// Who owns an object, and the random key of psql's "\restrict" lines, differ from dump to dump
// and are never sent to the server.
bool isStatementLine(const QByteArray& line) {
    return !line.isEmpty() && !line.startsWith("--") && !line.startsWith("\\restrict") &&
           !line.startsWith("\\unrestrict");
}

// "-- Name: 读者; Type: TABLE; Schema: public; Owner: lms" without its owner.
QString headerOf(const QByteArray& line) {
    QString header = QString::fromUtf8(line.mid(3));
    const qsizetype owner = header.lastIndexOf(QStringLiteral("; Owner: "));
    return owner >= 0 ? header.left(owner) : header;
}

// pg_restore's choice of tablespace and table access method ahead of the next table: written
// where that table comes first, which differs with what else the dump holds.
bool isTableSetting(const QByteArray& line) {
    return line.startsWith("SET default_tablespace = ") ||
           line.startsWith("SET default_table_access_method = ");
}

// Each object's statements in pg_restore's script, under the comment that names the object.
QHash<QString, QString> schemaBlocks(const QByteArray& script) {
    QHash<QString, QString> blocks;
    QString header = QStringLiteral("Name: -; Type: SETTINGS; Schema: -");
    for (const QByteArray& line : script.split('\n')) {
        if (line.startsWith("-- Name: "))
            header = headerOf(line);
        else if (isStatementLine(line) && !isTableSetting(line))
            blocks[header] += QString::fromUtf8(line) + QLatin1Char('\n');
    }
    return blocks;
}

// The data section's statements outside the rows themselves.
void readDataStatements(const QByteArray& script, DumpShape& shape) {
    bool inRows = false;
    for (const QByteArray& line : script.split('\n')) {
        if (inRows) {
            inRows = line != "\\.";
            continue;
        }
        if (!isStatementLine(line))
            continue;
        const QString statement = QString::fromUtf8(line);
        if (const std::optional<SequenceValue> set = sequenceValue(statement))
            shape.sequences.insert(set->sequence);
        else
            shape.dataStatements.insert(statement);
        inRows = line.startsWith("COPY ") && line.endsWith(" FROM stdin;");
    }
}

// "215; 1259 16390 TABLE public 读者 owner" as "TABLE public 读者".
QSet<QString> contentsEntries(const QByteArray& contents) {
    static const QRegularExpression entry(
        QStringLiteral("^\\d+;\\s+\\d+\\s+\\d+\\s+(.+)\\s+\\S+$"));
    QSet<QString> entries;
    for (const QByteArray& raw : contents.split('\n')) {
        const QRegularExpressionMatch match = entry.match(QString::fromUtf8(raw));
        if (!match.hasMatch())
            continue;
        const QString what = match.captured(1);
        // Grants are never applied by a restore of this program.
        if (what.startsWith(QStringLiteral("ACL ")) ||
            what.startsWith(QStringLiteral("DEFAULT ACL ")))
            continue;
        entries.insert(what);
    }
    return entries;
}

std::optional<DumpShape> readShape(const QString& path, QString* failure,
                                   const std::function<QByteArray(QByteArray)>& rename) {
    const QString tool = QStringLiteral("pg_restore");
    const PgToolRun contents = runPgTool(tool, {QStringLiteral("--list"), path});
    const PgToolRun schema =
        contents.ok
            ? runPgTool(tool, {QStringLiteral("--schema-only"), QStringLiteral("--no-owner"),
                               QStringLiteral("--no-privileges"), QStringLiteral("--file=-"), path})
            : contents;
    if (!schema.ok) {
        if (failure)
            *failure = schema.failure;
        return std::nullopt;
    }
    DumpShape shape;
    shape.entries = contentsEntries(rename(contents.output));
    shape.schema = schemaBlocks(rename(schema.output));
    return shape;
}

// How pg_dump writes a schema's name in a statement.
QByteArray quotedName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]*$"));
    if (plain.match(name).hasMatch())
        return name.toUtf8();
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

// The kinds of entry named in the shop owner's terms; pg_dump's own word for any other.
QString kindName(const QString& kind) {
    static const QHash<QString, QString> names = {
        {QStringLiteral("TABLE"), QStringLiteral("表")},
        {QStringLiteral("TABLE DATA"), QStringLiteral("表的数据")},
        {QStringLiteral("VIEW"), QStringLiteral("视图")},
        {QStringLiteral("MATERIALIZED VIEW"), QStringLiteral("物化视图")},
        {QStringLiteral("INDEX"), QStringLiteral("索引")},
        {QStringLiteral("CONSTRAINT"), QStringLiteral("约束")},
        {QStringLiteral("FK CONSTRAINT"), QStringLiteral("外键约束")},
        {QStringLiteral("CHECK CONSTRAINT"), QStringLiteral("检查约束")},
        {QStringLiteral("DEFAULT"), QStringLiteral("默认值")},
        {QStringLiteral("SEQUENCE"), QStringLiteral("序列")},
        {QStringLiteral("SEQUENCE SET"), QStringLiteral("序列值")},
        {QStringLiteral("SEQUENCE OWNED BY"), QStringLiteral("序列")},
        {QStringLiteral("FUNCTION"), QStringLiteral("函数")},
        {QStringLiteral("PROCEDURE"), QStringLiteral("存储过程")},
        {QStringLiteral("AGGREGATE"), QStringLiteral("聚合函数")},
        {QStringLiteral("TRIGGER"), QStringLiteral("触发器")},
        {QStringLiteral("EVENT TRIGGER"), QStringLiteral("事件触发器")},
        {QStringLiteral("RULE"), QStringLiteral("规则")},
        {QStringLiteral("POLICY"), QStringLiteral("行安全策略")},
        {QStringLiteral("ROW SECURITY"), QStringLiteral("行安全")},
        {QStringLiteral("EXTENSION"), QStringLiteral("扩展")},
        {QStringLiteral("SCHEMA"), QStringLiteral("模式")},
        {QStringLiteral("COMMENT"), QStringLiteral("注释")},
        {QStringLiteral("TYPE"), QStringLiteral("类型")},
        {QStringLiteral("DOMAIN"), QStringLiteral("域")},
        {QStringLiteral("OPERATOR"), QStringLiteral("操作符")},
        {QStringLiteral("CAST"), QStringLiteral("类型转换")},
        {QStringLiteral("PROCEDURAL LANGUAGE"), QStringLiteral("过程语言")},
        {QStringLiteral("FOREIGN TABLE"), QStringLiteral("外部表")},
        {QStringLiteral("SERVER"), QStringLiteral("外部服务器")},
        {QStringLiteral("PUBLICATION"), QStringLiteral("发布")},
        {QStringLiteral("LARGE OBJECT"), QStringLiteral("大对象")},
        {QStringLiteral("BLOB"), QStringLiteral("大对象")},
    };
    return names.value(kind, kind);
}

// "FUNCTION public evil()" as "函数 public.evil()": the longest kind the entry begins with.
QString entryName(const QString& entry) {
    static const QStringList kinds = [] {
        QStringList all = {QStringLiteral("TABLE DATA"),          QStringLiteral("SEQUENCE SET"),
                           QStringLiteral("SEQUENCE OWNED BY"),   QStringLiteral("FK CONSTRAINT"),
                           QStringLiteral("CHECK CONSTRAINT"),    QStringLiteral("EVENT TRIGGER"),
                           QStringLiteral("MATERIALIZED VIEW"),   QStringLiteral("ROW SECURITY"),
                           QStringLiteral("PROCEDURAL LANGUAGE"), QStringLiteral("FOREIGN TABLE"),
                           QStringLiteral("LARGE OBJECT")};
        return all;
    }();
    QString kind = entry.section(QLatin1Char(' '), 0, 0);
    for (const QString& known : kinds)
        if (entry.startsWith(known + QLatin1Char(' ')))
            kind = known;
    const QString rest = entry.mid(kind.size() + 1);
    const QString schema = rest.section(QLatin1Char(' '), 0, 0);
    const QString name = rest.section(QLatin1Char(' '), 1);
    return kindName(kind) + QLatin1Char(' ') +
           (schema == QLatin1String("-") ? name : schema + QLatin1Char('.') + name);
}

// "Name: 读者; Type: TABLE; Schema: public" as "表 public.读者".
QString blockName(const QString& header) {
    static const QRegularExpression parts(QStringLiteral("^Name: (.*); Type: (.*); Schema: (.*)$"));
    const QRegularExpressionMatch match = parts.match(header);
    if (!match.hasMatch())
        return header;
    return entryName(match.captured(2) + QLatin1Char(' ') + match.captured(3) + QLatin1Char(' ') +
                     match.captured(1));
}

} // namespace

std::optional<SequenceValue> sequenceValue(const QString& line) {
    static const QRegularExpression setval(QStringLiteral(
        "^SELECT pg_catalog\\.setval\\('((?:[^']|'')+)', (\\d{1,18}), (true|false)\\);$"));
    const QRegularExpressionMatch match = setval.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    return SequenceValue{.sequence = match.captured(1),
                         .value = match.captured(2).toLongLong(),
                         .called = match.captured(3) == QLatin1String("true")};
}

std::optional<DumpShape> DumpShape::read(const QString& path, QString* failure) {
    return readShape(path, failure, [](QByteArray text) { return text; });
}

std::optional<DumpShape> DumpShape::ofProgram(const QString& connection, int version,
                                              QString* failure) {
    const auto fail = [failure](const QString& why) -> std::optional<DumpShape> {
        if (failure)
            *failure = why;
        return std::nullopt;
    };
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shape.pgdump"));
    QString schema;
    QString scratch;
    try {
        Database db;
        db.openServer(connection);
        schema = db.scalar(QStringLiteral("SELECT current_schema()")).toString();
        if (schema.isEmpty())
            return fail(QStringLiteral("数据库服务器上没有连接所用的模式（search_path）。"));
        // The name is the program's own: the session's number keeps two desks' apart.
        scratch = QStringLiteral("lms_shape_%1")
                      .arg(db.scalar(QStringLiteral("SELECT pg_backend_pid()")).toLongLong());
        const auto dropScratch = [&db, &scratch] {
            db.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(scratch));
        };
        dropScratch();
        db.exec(QStringLiteral("CREATE SCHEMA %1").arg(scratch));
        std::optional<QString> dumped;
        try {
            db.exec(QStringLiteral("SET search_path TO %1").arg(scratch));
            Schema::createEmpty(db, version);
            const PgToolRun run =
                runPgTool(QStringLiteral("pg_dump"),
                          {QStringLiteral("--format=custom"), QStringLiteral("--schema=") + scratch,
                           QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
                           QStringLiteral("--no-password"), QStringLiteral("--file=") + path,
                           QStringLiteral("--dbname=") + connection});
            if (!run.ok)
                dumped = run.failure;
        } catch (...) {
            dropScratch();
            throw;
        }
        dropScratch();
        if (dumped)
            return fail(*dumped);
    } catch (const DbError& error) {
        return fail(QStringLiteral("无法在数据库服务器上建立本系统的表作对照：\r") +
                    QString::fromUtf8(error.what()));
    }
    const QByteArray from = scratch.toUtf8();
    const QByteArray quoted = quotedName(schema) + '.';
    const QByteArray plain = schema.toUtf8();
    const auto rename = [&](QByteArray text) {
        return text.replace(from + '.', quoted).replace(from, plain);
    };
    std::optional<DumpShape> shape = readShape(path, failure, rename);
    if (!shape)
        return shape;
    shape->entries.remove(QStringLiteral("SCHEMA - ") + schema);
    shape->schema.remove(QStringLiteral("Name: %1; Type: SCHEMA; Schema: -").arg(schema));
    const PgToolRun data =
        runPgTool(QStringLiteral("pg_restore"),
                  {QStringLiteral("--data-only"), QStringLiteral("--file=-"), path});
    if (!data.ok)
        return fail(data.failure);
    readDataStatements(rename(data.output), *shape);
    return shape;
}

QStringList DumpShape::differencesFrom(const DumpShape& program) const {
    QStringList found;
    const auto note = [&found](const QString& what) {
        if (!found.contains(what))
            found << what;
    };
    for (const QString& entry : entries)
        if (!program.entries.contains(entry))
            note(QStringLiteral("多出%1").arg(entryName(entry)));
    for (auto block = schema.cbegin(); block != schema.cend(); ++block) {
        const auto ours = program.schema.constFind(block.key());
        if (ours == program.schema.cend())
            note(QStringLiteral("多出%1").arg(blockName(block.key())));
        else if (*ours != block.value())
            note(QStringLiteral("%1的定义与本系统的不同").arg(blockName(block.key())));
    }
    for (const QString& entry : program.entries)
        if (!entries.contains(entry))
            note(QStringLiteral("缺少%1").arg(entryName(entry)));
    for (auto block = program.schema.cbegin(); block != program.schema.cend(); ++block)
        if (!schema.contains(block.key()))
            note(QStringLiteral("缺少%1").arg(blockName(block.key())));
    found.sort();
    return found;
}

} // namespace lms
