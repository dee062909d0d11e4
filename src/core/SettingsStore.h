#pragma once

#include "core/Database.h"
#include "core/pubdata.h"

#include <QDateTime>

namespace lms {

class Tdm_Dbase;

// The five settings records of sysset: the 7th to the 11th in rowid order.
// The first six are never touched; records are only updated, never appended.
namespace SettingsStore {

// Throws DbError when the records are missing or cannot be read.
void read(Database& db, PubData& into);
void write(Database& db, const PubData& from);

// Stores the data module's running settings with the log record "修改系统参数", in one
// transaction; throws DbError, and then nothing is stored.
void save(Tdm_Dbase& dm, const QString& user, const QDateTime& now);

} // namespace SettingsStore

} // namespace lms
