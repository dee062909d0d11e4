#pragma once

#include <QString>

namespace lms {

// Whether a file can stand in for the shop's database: it opens with the program's password,
// is of a schema version this program can open, is undamaged and holds the nine tables.
bool isShopDatabase(const QString& path);

// Whether two paths name the same file (links and different spellings included).
bool isSameFile(const QString& a, const QString& b);

} // namespace lms
