#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"

#include <array>
#include <optional>

namespace lms {

class Database;

// Clears whole groups of data: the operation log, the borrowing history, the money ledger
// (optionally leaving one summary record) and all readers, books and loans.
class Tfrm_QKSJB : public FormModel {
    Q_OBJECT
public:
    // The six ledger amounts in column order: 金额总计, 开户费, 押金, 租金, 逾期罚款, 破损遗失赔偿.
    using LedgerSums = std::array<float, 6>;

    explicit Tfrm_QKSJB(ScreenContext& context);

    void Button1Click();
    void Button5Click();
    void Button2Click();
    void Button3Click();

    // The ledger's amounts summed as the summary record holds them, each amount first rounded
    // to two decimals; nothing when the ledger is empty. Throws DbError.
    static std::optional<LedgerSums> sumLedger(Database& db);

private:
    // Empties the tables and writes the log record in one transaction; shows the outcome.
    void clearTables(const QStringList& tables, const QString& success, const QString& event);

    ScreenContext& ctx_;
};

} // namespace lms
