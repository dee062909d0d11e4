#pragma once

#include <QString>

namespace lms {

// What opening a file and reading its first pages shows: whether it can stand in for the shop's
// database so far (it opens with the program's password, is of a schema version this program
// can open and holds the nine tables), and for a file of the known page layout (`PageCodes`),
// how many whole pages it holds, whose authentication codes are still to be checked as it is
// read. A file of another layout is checked in full by the engine here.
struct ShopFileStart {
    bool opens = false;
    qint64 uncheckedPages = 0;
};
ShopFileStart openShopDatabase(const QString& path);

// Whether a file can stand in for the shop's database: it opens with the program's password,
// is of a schema version this program can open, is undamaged and holds the nine tables.
bool isShopDatabase(const QString& path);

// Whether two paths name the same file (links and different spellings included).
bool isSameFile(const QString& a, const QString& b);

} // namespace lms
