#pragma once

#include "circulation/LoanStore.h"

#include <QAbstractTableModel>

namespace lms::Circulation {

// The grid of a reader's open loans on the return screen: book number and title under a fixed
// header; a single empty row when there are none.
class LoanList : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LoanList(QObject* parent = nullptr);

    void show(const QList<OpenLoan>& loans);
    void clear() { show({}); }
    // The book number of a row; empty for the empty row and outside the list.
    QString bookIdAt(int row) const;
    const QList<OpenLoan>& loans() const { return loans_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<OpenLoan> loans_;
};

} // namespace lms::Circulation
