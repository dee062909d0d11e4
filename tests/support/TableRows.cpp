#include "support/TableRows.h"

namespace lms::test {

namespace {

QList<QVariantMap> select(Database& db, const QString& sql) {
    QList<QVariantMap> all;
    Query query(db, sql);
    while (query.next()) {
        QVariantMap row;
        for (int c = 0; c < query.columnCount(); ++c) {
            // The server shows the order column that the file keeps hidden; it is no content.
            if (query.columnName(c) != QLatin1String("rowid"))
                row.insert(query.columnName(c), query.value(c));
        }
        all << row;
    }
    return all;
}

} // namespace

QList<QVariantMap> tableRows(Database& db, const QString& table) {
    return select(db, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
}

QVariantMap lastRow(Database& db, const QString& table) {
    const QList<QVariantMap> last =
        select(db, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid DESC LIMIT 1").arg(table));
    return last.isEmpty() ? QVariantMap() : last.first();
}

QStringList joinedRows(Database& db, const QString& table, const QStringList& columns) {
    QStringList joined;
    for (const QVariantMap& row : tableRows(db, table)) {
        QStringList values;
        for (const QString& column : columns)
            values << row.value(column).toString();
        joined << values.join(QLatin1Char('|'));
    }
    return joined;
}

} // namespace lms::test
