#pragma once

#include <QStringList>

namespace lms {
class Database;
}

namespace lms::Books {

// The names of table 图书类型 in the order they were added. Throws DbError.
QStringList loadBookTypes(Database& db);

} // namespace lms::Books
