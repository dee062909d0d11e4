#include "circulation/LoanList.h"

namespace lms::Circulation {

LoanList::LoanList(QObject* parent) : QAbstractTableModel(parent) {}

void LoanList::show(const QList<OpenLoan>& loans) {
    beginResetModel();
    loans_ = loans;
    endResetModel();
}

QString LoanList::bookIdAt(int row) const {
    return row >= 0 && row < loans_.size() ? loans_.at(row).bookId : QString();
}

int LoanList::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return loans_.isEmpty() ? 1 : static_cast<int>(loans_.size());
}

int LoanList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant LoanList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= loans_.size())
        return {};
    const OpenLoan& loan = loans_.at(index.row());
    return index.column() == 0 ? loan.bookId : loan.title;
}

QVariant LoanList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return section == 0 ? QStringLiteral("图书编号") : QStringLiteral("图书名称");
}

} // namespace lms::Circulation
