#pragma once

#include "core/Database.h"
#include "support/ServerDatabase.h"
#include "support/TempProgramFolder.h"

#include <QByteArrayList>
#include <QString>
#include <memory>

namespace lms::test {

// The path of an old shop's Jet file among the test data (read only); the reading child is the
// lms_move of this build from then on.
QString oldShop(const QString& name);
// Copies an old shop's file to `path`, writable.
void copyOldShop(const QString& name, const QString& path);

// Edits a Jet file as damage or an old program would: on the data page that holds `rows` rows
// and every one of `marks` (texts as the page stores them), replaces the first `from` by `to`
// (the same length), or marks row `row` of that page deleted.
struct DataPage {
    int rows;
    QByteArrayList marks;
};
void patchDataPage(const QString& path, const DataPage& page, const QByteArray& from,
                   const QByteArray& to);
void markRowDeleted(const QString& path, const DataPage& page, int row);
// A short text as a Jet 4.0 page keeps it (compressed: a mark, then one byte per character).
QByteArray jetText(const char* latin);

// An empty database for a move to go into: a new encrypted file, or a database of its own on the
// test server in a server run.
struct EmptyTarget {
    EmptyTarget();
    TempProgramFolder folder;
    std::unique_ptr<ServerDatabase> server;
    Database db;
};

} // namespace lms::test
