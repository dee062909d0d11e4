#include "queries/AccountFacts.h"

#include "core/Database.h"
#include "core/NumberForms.h"

namespace lms::Accounts {

namespace {

const QString kSummary = QStringLiteral("资金汇总");

// How many ledger records name this reader (empty: none) with or without this event; each
// count runs on the index of 读者编号.
qint64 ledgerCount(Database& db, const QString& readerId, const QString& event, bool withEvent) {
    Query query(db, withEvent ? QStringLiteral("SELECT COUNT(*) FROM 资金 WHERE 读者编号 = ? "
                                               "AND 事件 = ?")
                              : QStringLiteral("SELECT COUNT(*) FROM 资金 WHERE 读者编号 = ? "
                                               "AND 事件 <> ?"));
    query.bind(1, readerId).bind(2, event);
    return query.next() ? query.integer(0) : 0;
}

} // namespace

AccountFacts accountFacts(Database& db, const QString& readerId) {
    AccountFacts facts;
    Query reader(db, QStringLiteral("SELECT 读者姓名, 押金 FROM 读者 WHERE 读者编号 = ?"));
    reader.bind(1, readerId);
    if (reader.next()) {
        facts.readerFound = true;
        facts.name = reader.text(0);
        facts.depositCents = reader.isNull(1) ? 0 : Numbers::centsAsShown(reader.real(1));
    }
    facts.registered = ledgerCount(db, readerId, QStringLiteral("添加读者"), true) > 0;
    facts.unnamedRows = static_cast<int>(ledgerCount(db, QString(), kSummary, false));
    facts.cleared = ledgerCount(db, QString(), kSummary, true) > 0;
    return facts;
}

} // namespace lms::Accounts
