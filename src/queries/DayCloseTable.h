#pragma once

#include "queries/DayCloseStore.h"

#include <QAbstractTableModel>

namespace lms {

// The day close's grid: one row per clerk with the money by kind and way of payment and the
// counts, and a "合计" row under them when every clerk is shown.
class DayCloseTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DayCloseTable(QObject* parent = nullptr);

    void show(const DayClose& close);
    void clear();

    static const QStringList& headings();
    // The text of a cell as the grid shows it.
    QString cellText(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<ClerkDay> rows_;
};

} // namespace lms
