#pragma once

#include "core/Database.h"
#include "core/pubdata.h"

#include <QDateTime>

namespace lms {

class Tdm_Dbase;

// The five settings records of sysset: the 7th to the 11th in rowid order; the 11th also holds
// the shop's name (value14, text). The first six are never touched; records are only updated,
// never appended.
namespace SettingsStore {

// Throws DbError when the records are missing or cannot be read.
void read(Database& db, PubData& into);
void write(Database& db, const PubData& from);

// Whether two sets of values hold the same settings (the folder and the user aside).
bool sameSettings(const PubData& a, const PubData& b);
// Copies the settings alone into `to`, keeping its folder and user.
void copySettings(PubData& to, const PubData& from);

// What became of a save.
enum class SaveOutcome {
    Saved,           // the settings the clerk changed are stored
    SavedWithOthers, // the same, and settings another desk stored meanwhile were kept
    Refused,         // another desk stored another value of a setting the clerk changed
};

// Stores the settings of the data module's running ones that differ from what this desk last
// read or stored (`Tdm_Dbase::storedSettings`), with the log record "修改系统参数", in one
// transaction. Under the write lock the stored records are read first: a setting the clerk left
// alone keeps what another desk stored meanwhile, and when another desk stored a different value
// of a setting the clerk changed, nothing is written. Either way the running settings and the
// desk's copy of the stored ones become what is stored now. Throws DbError, and then nothing is
// stored and the running settings stay.
SaveOutcome save(Tdm_Dbase& dm, const QString& user, const QDateTime& now);

} // namespace SettingsStore

} // namespace lms
