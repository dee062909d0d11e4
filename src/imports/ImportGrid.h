#pragma once

#include <QAbstractTableModel>
#include <vector>

namespace lms::Imports {

class ImportCheck;

// The preview's rows: the row number in the file, the verdict, the reason and the cells of the
// columns the import reads. Rows appear as they are checked, a piece at a time, and may be
// limited to the refused ones.
class ImportGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ImportGrid(QObject* parent = nullptr);

    // Shows the rows of this check (none yet), or none at all for null.
    void show(const ImportCheck* check);
    // Makes the rows checked since the last call visible.
    void publish();
    void setRefusedOnly(bool refusedOnly);
    // The file's row that a grid row shows.
    int fileRow(int gridRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // The rows shown now, as file rows: every checked row, or the refused ones.
    std::vector<int> chosenRows() const;

    const ImportCheck* check_ = nullptr;
    std::vector<int> kindColumns_; // the kind's columns the file has, in the kind's order
    bool refusedOnly_ = false;
    int published_ = 0;      // checked rows the grid has taken in
    std::vector<int> shown_; // file rows shown when only refused rows are (else all published)
};

} // namespace lms::Imports
