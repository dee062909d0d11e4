#pragma once

#include "queries/QueryDefinition.h"

#include <vector>

namespace lms {

// The ledger's six amounts as its listings show them: one money column each, in the ledger's
// order, and the totals fields under the grid that sum them.
inline std::vector<ResultColumn> ledgerAmountColumns() {
    std::vector<ResultColumn> columns;
    for (const char* amount : {"金额总计", "开户费", "押金", "租金", "逾期罚款", "破损遗失赔偿"})
        columns.push_back(
            {QString::fromUtf8(amount), QString::fromUtf8(amount), CellFormat::Money});
    return columns;
}

inline std::vector<TotalField> ledgerAmountTotals() {
    return {{QStringLiteral("Edit1"), QStringLiteral("资金总计："), QStringLiteral("金额总计")},
            {QStringLiteral("Edit2"), QStringLiteral("开户费："), QStringLiteral("开户费")},
            {QStringLiteral("Edit3"), QStringLiteral("押金："), QStringLiteral("押金")},
            {QStringLiteral("Edit4"), QStringLiteral("租金："), QStringLiteral("租金")},
            {QStringLiteral("Edit5"), QStringLiteral("逾期罚款："), QStringLiteral("逾期罚款")},
            {QStringLiteral("Edit6"), QStringLiteral("破损遗失赔偿："),
             QStringLiteral("破损遗失赔偿")}};
}

} // namespace lms
