#include "queries/DayCloseTable.h"

namespace lms {

namespace {

constexpr int kMoneyColumns = 11; // 资金总计 … 破损遗失赔偿; the counts follow

QString moneyCell(const DayMoney& money, int column) {
    switch (column) {
    case 1:
        return money.columns[0].text();
    case 2:
        return money.cashIn.text();
    case 3:
        return money.cashOut.text();
    case 4:
        return money.fromDeposits.text();
    case 5:
        return money.columns[1].text();
    case 6:
        return money.depositsIn.text();
    case 7:
        return money.depositsRefunded.text();
    default: // 租金, 逾期罚款, 破损遗失赔偿
        return money.columns[static_cast<std::size_t>(column - 5)].text();
    }
}

int countCell(const DayCounts& counts, int column) {
    const int values[] = {counts.registrations, counts.loans, counts.returns, counts.payments,
                          counts.deletions};
    return values[column - kMoneyColumns];
}

} // namespace

DayCloseTable::DayCloseTable(QObject* parent) : QAbstractTableModel(parent) {}

const QStringList& DayCloseTable::headings() {
    static const QStringList texts = {
        QStringLiteral("操作人员"), QStringLiteral("资金总计"),     QStringLiteral("现金收入"),
        QStringLiteral("现金支出"), QStringLiteral("从押金中扣除"), QStringLiteral("开户费"),
        QStringLiteral("押金收入"), QStringLiteral("押金退还"),     QStringLiteral("租金"),
        QStringLiteral("逾期罚款"), QStringLiteral("破损遗失赔偿"), QStringLiteral("添加读者"),
        QStringLiteral("读者借书"), QStringLiteral("读者还书"),     QStringLiteral("缴费充值"),
        QStringLiteral("删除读者")};
    return texts;
}

void DayCloseTable::show(const DayClose& close) {
    beginResetModel();
    rows_ = close.clerks;
    if (!close.clerk) {
        rows_.push_back(close.total);
        rows_.back().clerk = QStringLiteral("合计");
    }
    endResetModel();
}

void DayCloseTable::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

QString DayCloseTable::cellText(int row, int column) const {
    const ClerkDay& entry = rows_.at(static_cast<std::size_t>(row));
    if (column == 0)
        return entry.clerk;
    if (column < kMoneyColumns)
        return moneyCell(entry.money, column);
    return QString::number(countCell(entry.counts, column));
}

int DayCloseTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DayCloseTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headings().size());
}

QVariant DayCloseTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() > 0)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant DayCloseTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < headings().size())
        return headings().at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace lms
