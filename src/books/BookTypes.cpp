#include "books/BookTypes.h"

#include "core/Database.h"

namespace lms::Books {

QStringList loadBookTypes(Database& db) {
    QStringList names;
    Query query(db, QStringLiteral("SELECT 图书类型名称 FROM 图书类型 ORDER BY rowid"));
    while (query.next())
        names << query.text(0);
    return names;
}

} // namespace lms::Books
