#pragma once

#include "core/Database.h"
#include "core/pubdata.h"

namespace lms {

// The five settings records of sysset: the 7th to the 11th in rowid order.
// The first six are never touched; records are only updated, never appended.
namespace SettingsStore {

// Throws DbError when the records are missing or cannot be read.
void read(Database& db, PubData& into);
void write(Database& db, const PubData& from);

} // namespace SettingsStore

} // namespace lms
