#pragma once

#include <QString>

namespace lms {
class Database;
} // namespace lms

// What a reader's statement checks its lines against: the deposit stored with the reader, and
// what the ledger says of the records that name no reader.
namespace lms::Accounts {

struct AccountFacts {
    bool readerFound = false;
    QString name;
    long long depositCents = 0; // the stored 押金 as the listings show it
    bool registered = false;    // a "添加读者" record names the reader
    int unnamedRows = 0;        // records naming no reader, a cleared ledger's summary aside
    bool cleared = false;       // the ledger holds the summary "资金汇总" of a clearing
};

// Reads the facts of this reader; throws DbError.
AccountFacts accountFacts(Database& db, const QString& readerId);

} // namespace lms::Accounts
