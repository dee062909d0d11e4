#pragma once

#include "core/Database.h"

#include <QStringList>

namespace lms {

struct PubData;

// The tables of the shop's database and the numbered steps that bring a file up to date.
namespace Schema {

// The version a file has after every migration has run.
int currentVersion();

// What the migrations that ran found worth telling the shop.
struct UpgradeReport {
    // Ledger records of before version 3 whose reader and book the log does not name.
    int ledgerRowsUnnamed = 0;
};

// Runs the migrations the file lacks, each step in its own transaction, which reads the version
// under the shop's write lock: two desks started at once on an old version run each step once.
// A file without any version is not one of ours and is refused (DbError), never changed.
UpgradeReport upgrade(Database& db);

// Builds the tables of an empty database as they stood at `version` (1 to currentVersion()), by
// the same migrations, and records that version; no rows. Throws DbError where the database
// already holds tables of the shop.
void createEmpty(Database& db, int version);

// Builds a new, empty file's tables at the current version and its first rows: the eleven
// sysset records holding the given settings and a few book types. The caller adds the super
// user and wraps the whole in one transaction.
void create(Database& db, const PubData& defaults);

// The nine tables, as every screen names them.
const QStringList& tableNames();

// The book types a new database starts with.
const QStringList& defaultBookTypes();

} // namespace Schema

} // namespace lms
