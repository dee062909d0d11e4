#include "support/DatabaseDump.h"

#include <algorithm>
#include <sqlite3.h>

namespace lms::test {

namespace {

QStringList tableNames(Database& db) {
    // The engine's own tables stay out; on a server the schema version has a table of its own.
    const QString sql =
        db.isFile()
            ? QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                             "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name")
            : QStringLiteral("SELECT tablename FROM pg_catalog.pg_tables WHERE schemaname = "
                             "current_schema() AND tablename <> 'lms_schema' ORDER BY tablename");
    QStringList names;
    Query query(db, sql);
    while (query.next())
        names << query.text(0);
    return names;
}

DatabaseDump::Cell readCell(const Query& query, int column) {
    DatabaseDump::Cell cell;
    const QVariant value = query.value(column);
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        cell.type = SQLITE_NULL;
        break;
    case QMetaType::LongLong:
        cell.type = SQLITE_INTEGER;
        cell.bytes = QByteArray::number(value.toLongLong());
        break;
    case QMetaType::Double:
        cell.type = SQLITE_FLOAT;
        // Seventeen digits tell every double apart.
        cell.bytes = QByteArray::number(value.toDouble(), 'g', 17);
        break;
    case QMetaType::QByteArray:
        cell.type = SQLITE_BLOB;
        cell.bytes = value.toByteArray();
        break;
    default:
        cell.type = SQLITE_TEXT;
        cell.bytes = query.utf8(column).toByteArray();
        break;
    }
    return cell;
}

DatabaseDump::Table readTable(Database& db, const QString& name) {
    DatabaseDump::Table table;
    table.name = name;
    // The name comes from the catalogue, not from typed text; quotes inside it are doubled.
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    Query query(db, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(quoted));
    // The server shows the order column that the file keeps hidden; it is no content.
    QList<int> content;
    bool stepped = query.next();
    for (int c = 0; c < query.columnCount(); ++c) {
        if (query.columnName(c) == QLatin1String("rowid"))
            continue;
        content << c;
        table.columns << query.columnName(c);
    }
    for (; stepped; stepped = query.next()) {
        DatabaseDump::Row row;
        row.reserve(content.size());
        for (const int c : content)
            row << readCell(query, c);
        table.rows << row;
    }
    return table;
}

QString describeRow(const DatabaseDump::Table& table, const DatabaseDump::Row& row) {
    QStringList cells;
    for (qsizetype c = 0; c < row.size(); ++c)
        cells << table.columns.value(c) + QLatin1Char('=') + describeCell(row[c]);
    return cells.join(QStringLiteral(", "));
}

void describeTable(const DatabaseDump::Table& before, const DatabaseDump::Table& after,
                   QStringList& lines) {
    if (before.columns != after.columns)
        lines << QStringLiteral("%1: columns %2 -> %3")
                     .arg(after.name, before.columns.join(QLatin1Char(',')),
                          after.columns.join(QLatin1Char(',')));
    const qsizetype common = std::min(before.rows.size(), after.rows.size());
    for (qsizetype r = 0; r < common; ++r) {
        if (before.rows[r] == after.rows[r])
            continue;
        QStringList changes;
        for (qsizetype c = 0; c < std::max(before.rows[r].size(), after.rows[r].size()); ++c) {
            const DatabaseDump::Cell old = before.rows[r].value(c);
            const DatabaseDump::Cell now = after.rows[r].value(c);
            if (!(old == now))
                changes << after.columns.value(c) + QLatin1Char(' ') + describeCell(old) +
                               QStringLiteral(" -> ") + describeCell(now);
        }
        lines << QStringLiteral("%1 row %2 changed: %3")
                     .arg(after.name)
                     .arg(r + 1)
                     .arg(changes.join(QStringLiteral("; ")));
    }
    for (qsizetype r = common; r < after.rows.size(); ++r)
        lines << QStringLiteral("%1 row %2 added: %3")
                     .arg(after.name)
                     .arg(r + 1)
                     .arg(describeRow(after, after.rows[r]));
    for (qsizetype r = common; r < before.rows.size(); ++r)
        lines << QStringLiteral("%1 row %2 gone: %3")
                     .arg(before.name)
                     .arg(r + 1)
                     .arg(describeRow(before, before.rows[r]));
}

} // namespace

const DatabaseDump::Table* DatabaseDump::table(const QString& name) const {
    for (const Table& t : tables)
        if (t.name == name)
            return &t;
    return nullptr;
}

DatabaseDump DatabaseDump::without(const QStringList& names) const {
    DatabaseDump copy;
    copy.userVersion = userVersion;
    for (const Table& t : tables)
        if (!names.contains(t.name))
            copy.tables << t;
    return copy;
}

DatabaseDump dumpDatabase(Database& db) {
    DatabaseDump dump;
    dump.userVersion = db.userVersion();
    for (const QString& name : tableNames(db))
        dump.tables << readTable(db, name);
    return dump;
}

QString describeCell(const DatabaseDump::Cell& cell) {
    switch (cell.type) {
    case SQLITE_NULL:
        return QStringLiteral("NULL");
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return QString::fromLatin1(cell.bytes);
    case SQLITE_BLOB:
        return QStringLiteral("x'%1'").arg(QString::fromLatin1(cell.bytes.toHex()));
    default:
        break;
    }
    QString shown;
    const QString text = QString::fromUtf8(cell.bytes);
    const qsizetype shownLength = std::min<qsizetype>(text.size(), 60);
    for (qsizetype i = 0; i < shownLength; ++i) {
        const QChar ch = text[i];
        if (ch.unicode() < 0x20 || ch.isSurrogate() || ch.unicode() == 0x7f)
            shown += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
        else if (ch == QLatin1Char('"') || ch == QLatin1Char('\\'))
            shown += QLatin1Char('\\') + ch;
        else
            shown += ch;
    }
    if (shownLength < text.size())
        shown += QStringLiteral("…(%1 bytes)").arg(cell.bytes.size());
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString describeDifference(const DatabaseDump& before, const DatabaseDump& after) {
    QStringList lines;
    if (before.userVersion != after.userVersion)
        lines << QStringLiteral("user_version %1 -> %2")
                     .arg(before.userVersion)
                     .arg(after.userVersion);
    for (const DatabaseDump::Table& old : before.tables) {
        const DatabaseDump::Table* now = after.table(old.name);
        if (!now)
            lines << QStringLiteral("table %1 gone (%2 rows)").arg(old.name).arg(old.rows.size());
        else if (!(old == *now))
            describeTable(old, *now, lines);
    }
    for (const DatabaseDump::Table& now : after.tables)
        if (!before.table(now.name))
            lines << QStringLiteral("table %1 added (%2 rows)").arg(now.name).arg(now.rows.size());
    return lines.join(QLatin1Char('\n'));
}

} // namespace lms::test
