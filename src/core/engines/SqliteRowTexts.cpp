#include "core/engines/SqliteEngine.h"

#include "core/SqlNames.h"

#include <algorithm>
#include <sqlite3.h>

namespace lms {

namespace {

constexpr char kFunction[] = "lms_row_text";

// lms_row_text(rowid, column, current): the row's new text of that column, else its current
// value. The update scans the table in rowid order, so the search mostly meets the same lines of
// memory as the row before.
void rowText(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* rows = static_cast<const RowTexts*>(sqlite3_user_data(context));
    const qint64 rowid = sqlite3_value_int64(arguments[0]);
    const auto found = std::lower_bound(rows->rowids.cbegin(), rows->rowids.cend(), rowid);
    if (found == rows->rowids.cend() || *found != rowid) {
        sqlite3_result_value(context, arguments[2]);
        return;
    }
    const std::size_t row = static_cast<std::size_t>(found - rows->rowids.cbegin());
    const QByteArrayView text =
        rows->texts[row * static_cast<std::size_t>(rows->columns.size()) +
                    static_cast<std::size_t>(sqlite3_value_int(arguments[1]))];
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

} // namespace

void SqliteConnection::setRowTexts(const QString& table, const RowTexts& rows) {
    if (rows.rowids.empty())
        return;
    // The function lives only while this update runs.
    const int made =
        sqlite3_create_function_v2(db_, kFunction, 3, SQLITE_UTF8, const_cast<RowTexts*>(&rows),
                                   rowText, nullptr, nullptr, nullptr);
    if (made != SQLITE_OK)
        fail(made, QString::fromLatin1(kFunction));
    struct Unregister {
        sqlite3* db;
        ~Unregister() {
            sqlite3_create_function_v2(db, kFunction, 3, SQLITE_UTF8, nullptr, nullptr, nullptr,
                                       nullptr, nullptr);
        }
    } unregister{db_};
    QStringList sets;
    for (qsizetype i = 0; i < rows.columns.size(); ++i)
        sets << QStringLiteral("%1 = %2(rowid, %3, %1)")
                    .arg(quotedName(rows.columns[i]), QString::fromLatin1(kFunction))
                    .arg(i);
    prepare(
        QStringLiteral("UPDATE %1 SET %2").arg(quotedName(table), sets.join(QStringLiteral(", "))))
        ->next();
}

} // namespace lms
