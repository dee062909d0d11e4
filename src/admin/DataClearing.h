#pragma once

#include "core/Tdm_Dbase.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace lms::DataClearing {

// The statements of the data-maintenance screen: whole groups of tables emptied, each clear one
// transaction with its log record; throws DbError, and then nothing is cleared.

// The groups of tables a clear empties, with its log event.
enum class Group {
    Log,             // 日志: "清空操作日志"
    History,         // 图书借阅历史记录: "清空图书借阅历史记录"
    ReadersAndBooks, // 图书, 读者 and 借出图书: "清空所有读者、所有图书"
};
void clear(Tdm_Dbase& dm, Group group, const QString& user, const QDateTime& now);

// An amount as the ledger shows it ("0.00"), read back.
double asShown(double amount);

// The ledger's amounts summed as the summary record holds them, each amount first rounded to two
// decimals; nothing when the ledger is empty. Throws DbError.
std::optional<LedgerAmounts> sumLedger(Database& db);

// Empties the ledger and logs "清空系统中所有资金"; with a summary, the sums of the cleared
// records become its one record "资金汇总". False, with nothing cleared, when a summary is asked
// for and the ledger is already empty.
bool clearLedger(Tdm_Dbase& dm, bool summary, const QString& user, const QDateTime& now);

} // namespace lms::DataClearing
