#include "imports/ImportGrid.h"

#include "core/form/Field.h"
#include "imports/ImportCheck.h"

namespace lms::Imports {

namespace {

// Characters of a cell the grid shows at most.
constexpr qsizetype kLongestCell = 100;

// The columns before the file's own.
enum { RowNumber, Verdict, Reason, FirstFileColumn };

} // namespace

ImportGrid::ImportGrid(QObject* parent) : QAbstractTableModel(parent) {}

void ImportGrid::show(const ImportCheck* check) {
    beginResetModel();
    check_ = check;
    kindColumns_.clear();
    if (check_) {
        const std::vector<int>& sources = check_->file().sources;
        for (std::size_t c = 0; c < sources.size(); ++c)
            if (sources[c] >= 0)
                kindColumns_.push_back(static_cast<int>(c));
    }
    published_ = 0;
    shown_.clear();
    endResetModel();
}

void ImportGrid::publish() {
    if (!check_ || published_ == check_->checkedCount())
        return;
    const int from = published_;
    const int to = check_->checkedCount();
    if (!refusedOnly_) {
        beginInsertRows({}, from, to - 1);
        published_ = to;
        endInsertRows();
        return;
    }
    published_ = to;
    std::vector<int> added;
    for (int row = from; row < to; ++row)
        if (!check_->isGood(row))
            added.push_back(row);
    if (added.empty())
        return;
    const int first = static_cast<int>(shown_.size());
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    shown_.insert(shown_.end(), added.begin(), added.end());
    endInsertRows();
}

std::vector<int> ImportGrid::chosenRows() const {
    std::vector<int> rows;
    for (int row = 0; row < published_; ++row)
        if (!check_->isGood(row))
            rows.push_back(row);
    return rows;
}

void ImportGrid::setRefusedOnly(bool refusedOnly) {
    if (refusedOnly == refusedOnly_)
        return;
    beginResetModel();
    refusedOnly_ = refusedOnly;
    shown_ = refusedOnly_ && check_ ? chosenRows() : std::vector<int>();
    endResetModel();
}

int ImportGrid::fileRow(int gridRow) const {
    return refusedOnly_ ? shown_[std::size_t(gridRow)] : gridRow;
}

int ImportGrid::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return refusedOnly_ ? static_cast<int>(shown_.size()) : published_;
}

int ImportGrid::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !check_ ? 0
                                       : FirstFileColumn + static_cast<int>(kindColumns_.size());
}

QVariant ImportGrid::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const int row = fileRow(index.row());
    switch (index.column()) {
    case RowNumber:
        return check_->file().rowNumbers[std::size_t(row)];
    case Verdict:
        return check_->isGood(row) ? QStringLiteral("可导入") : QStringLiteral("拒绝");
    case Reason:
        return check_->reason(row);
    default: {
        const int column = kindColumns_[std::size_t(index.column() - FirstFileColumn)];
        const QString cell =
            check_->file().rows[row].value(check_->file().sources[std::size_t(column)]);
        // A very long value would make its column as wide; the file keeps it whole.
        return cell.size() > kLongestCell ? cell.left(kLongestCell) + QStringLiteral("…") : cell;
    }
    }
}

QVariant ImportGrid::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !check_ || section < 0 || section >= columnCount())
        return {};
    if (role == kWidestTextRole && section == RowNumber)
        return QString::number(check_->file().rowNumbers.back());
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case RowNumber:
        return QStringLiteral("行号");
    case Verdict:
        return QStringLiteral("结果");
    case Reason:
        return QStringLiteral("原因");
    default:
        return check_->kind()
            .columns()[std::size_t(kindColumns_[std::size_t(section - FirstFileColumn)])]
            .name;
    }
}

} // namespace lms::Imports
