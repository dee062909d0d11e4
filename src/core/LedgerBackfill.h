#pragma once

#include "core/Database.h"

#include "core/LedgerIds.h"

#include <optional>

namespace lms {

// Names the reader and book of ledger records written before the ledger held them, from the log
// record the same operation wrote at the same moment by the same clerk.
namespace LedgerBackfill {

// The ids a log record of `logEvent` names in its explanation, as that operation writes it;
// nothing for another event or an explanation of another form.
std::optional<LedgerIds> idsOfLog(const QString& logEvent, const QString& explanation);

// Fills 读者编号 and 图书编号 of every ledger record whose operation's log record is found, one
// alone at that moment, and returns how many records other than a cleared ledger's summary were
// left empty. Runs inside the caller's transaction; throws DbError.
int fill(Database& db);

} // namespace LedgerBackfill

} // namespace lms
