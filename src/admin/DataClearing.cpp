#include "admin/DataClearing.h"

#include "core/CentSum.h"
#include "core/NumberForms.h"

#include <array>
#include <cmath>

namespace lms::DataClearing {

namespace {

void clearTable(Database& db, const QString& table) {
    // Table names are the program's own, never typed text.
    db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
}

struct GroupTables {
    QStringList tables;
    QString event;
};

GroupTables tablesOf(Group group) {
    switch (group) {
    case Group::Log:
        return {{QStringLiteral("日志")}, QStringLiteral("清空操作日志")};
    case Group::History:
        return {{QStringLiteral("图书借阅历史记录")}, QStringLiteral("清空图书借阅历史记录")};
    case Group::ReadersAndBooks:
        return {{QStringLiteral("图书"), QStringLiteral("读者"), QStringLiteral("借出图书")},
                QStringLiteral("清空所有读者、所有图书")};
    }
    return {};
}

// The amounts in the order of the ledger's columns, as summed.
constexpr std::array<double LedgerAmounts::*, 6> kColumns = {
    &LedgerAmounts::total, &LedgerAmounts::openingFee, &LedgerAmounts::deposit,
    &LedgerAmounts::rent,  &LedgerAmounts::fine,       &LedgerAmounts::compensation};

} // namespace

void clear(Tdm_Dbase& dm, Group group, const QString& user, const QDateTime& now) {
    const GroupTables cleared = tablesOf(group);
    Database& db = dm.db();
    Transaction transaction(db);
    for (const QString& table : cleared.tables)
        clearTable(db, table);
    dm.appendLog(cleared.event, user, now, QString());
    transaction.commit();
}

double asShown(double amount) {
    // An amount already of whole cents reads back unchanged; only others take the (slow) round
    // trip through the printed form.
    if (std::round(amount * 100) / 100 == amount)
        return amount;
    return Numbers::parseDecimal(Numbers::twoDecimalForm(amount)).value_or(0);
}

std::optional<LedgerAmounts> sumLedger(Database& db) {
    Query query(db, QStringLiteral("SELECT 金额总计, 开户费, 押金, 租金, 逾期罚款, 破损遗失赔偿 "
                                   "FROM 资金 ORDER BY rowid"));
    std::array<CentSum, kColumns.size()> cents;
    bool any = false;
    while (query.next()) {
        any = true;
        // Rounded as the ledger shows it ("0.00"), then added in whole cents, as the listing
        // totals it.
        for (std::size_t i = 0; i < kColumns.size(); ++i)
            cents[i].add(asShown(query.real(static_cast<int>(i))));
    }
    if (!any)
        return std::nullopt;
    LedgerAmounts sums;
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        sums.*kColumns[i] = cents[i].value();
    return sums;
}

bool clearLedger(Tdm_Dbase& dm, bool summary, const QString& user, const QDateTime& now) {
    Database& db = dm.db();
    // Summing, clearing and the summary record stand or fall together.
    Transaction transaction(db);
    std::optional<LedgerAmounts> sums;
    if (summary) {
        sums = sumLedger(db);
        if (!sums)
            return false;
    }
    clearTable(db, QStringLiteral("资金"));
    if (sums)
        dm.appendLedger(QStringLiteral("资金汇总"), user, now, *sums, LedgerIds());
    dm.appendLog(QStringLiteral("清空系统中所有资金"), user, now, QString());
    transaction.commit();
    return true;
}

} // namespace lms::DataClearing
