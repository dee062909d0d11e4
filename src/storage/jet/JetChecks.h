#pragma once

#include "core/Tdm_Dbase.h"
#include "storage/jet/JetMove.h"

#include <QHash>
#include <QList>
#include <QString>
#include <limits>
#include <optional>

namespace lms::JetMove {

// An empty 未还数量.
inline constexpr qint64 kNoCount = std::numeric_limits<qint64>::min();

// What the move learns of the old rows on the way, for the findings and the checks.
struct Seen {
    // reader id → 未还数量, kNoCount where it is empty
    QHash<QString, qint64> outstanding;
    QHash<QString, QString> bookStates; // book id → 当前状态
    struct Loan {
        qint64 row;
        QString book;
        QString reader;
    };
    QList<Loan> loans;
    std::optional<LedgerAmounts> ledger;
};

// Adds one row of the ledger's six amounts to the sums, as the listing totals them.
void addToSums(LedgerAmounts& sums, const QList<double>& amounts);

// Names what the old rows break (loans without book or reader, counts that disagree, books lent
// without a loan) among the report's findings.
void findBreaks(const Seen& seen, Report& report);

// Holds the new rows to the old ones before the move commits: the rows of every table, the
// ledger's sums, each reader's count of books out and the loans behind it. Throws Failure.
void checkCarried(Database& target, const Seen& seen, Report& report);

} // namespace lms::JetMove
