#include "imports/ImportStore.h"

#include "core/Database.h"
#include "core/Tdm_Dbase.h"

#include <algorithm>

namespace lms::Imports {

namespace {

// The file engine takes at most this many values in one statement.
constexpr int kMostValues = 999;
// Ids looked up by one statement.
constexpr int kIdsPerLookup = 500;

// "(?, ?, ?)" for `count` values.
QString placeholders(qsizetype count) {
    QString list = QStringLiteral("(");
    for (qsizetype i = 0; i < count; ++i)
        list += i == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    return list + QLatin1Char(')');
}

// "INSERT INTO t (a, b) VALUES (?, ?), (?, ?)" for `rows` rows. The names are the program's
// own, never typed text.
QString insertStatement(const QString& table, const QStringList& columns, qsizetype rows) {
    QString sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
                  columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES ");
    const QString row = placeholders(columns.size());
    for (qsizetype r = 0; r < rows; ++r)
        sql += r == 0 ? row : QStringLiteral(", ") + row;
    return sql;
}

} // namespace

QSet<QString> existingIds(Database& db, const QString& table, const QString& idColumn,
                          const QStringList& ids) {
    QSet<QString> found;
    for (qsizetype start = 0; start < ids.size(); start += kIdsPerLookup) {
        const QStringList some = ids.mid(start, kIdsPerLookup);
        Query query(db, QStringLiteral("SELECT ") + idColumn + QStringLiteral(" FROM ") + table +
                            QStringLiteral(" WHERE ") + idColumn + QStringLiteral(" IN ") +
                            placeholders(some.size()));
        for (int i = 0; i < some.size(); ++i)
            query.bind(i + 1, some[i]);
        while (query.next())
            found.insert(query.text(0));
    }
    return found;
}

QStringList storeImport(Tdm_Dbase& dm, const ImportBatch& batch, const QString& user,
                        const QDateTime& now) {
    Database& db = dm.db();
    Transaction transaction(db);
    // Checked again under the write lock: another desk may have registered an id meanwhile.
    QStringList ids;
    ids.reserve(static_cast<qsizetype>(batch.rows.size()));
    for (const QVariantList* row : batch.rows)
        ids << row->constFirst().toString();
    const QSet<QString> taken = existingIds(db, batch.table, batch.columns.first(), ids);
    if (!taken.isEmpty()) {
        QStringList sorted(taken.cbegin(), taken.cend());
        sorted.sort();
        return sorted;
    }

    // Each statement is made anew, so that every one passes the statement hook; the server
    // keeps one prepared statement per text, and the file engine prepares one per many rows.
    const qsizetype perStatement = kMostValues / batch.columns.size();
    for (std::size_t start = 0; start < batch.rows.size(); start += std::size_t(perStatement)) {
        const std::size_t end = std::min(batch.rows.size(), start + std::size_t(perStatement));
        Query insert(db, insertStatement(batch.table, batch.columns, qsizetype(end - start)));
        int index = 0;
        for (std::size_t r = start; r < end; ++r)
            for (const QVariant& value : *batch.rows[r])
                insert.bind(++index, value);
        insert.exec();
    }
    dm.appendLog(batch.logEvent, user, now, batch.logExplanation);
    transaction.commit();
    return {};
}

} // namespace lms::Imports
