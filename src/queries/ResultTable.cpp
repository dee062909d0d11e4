#include "queries/ResultTable.h"

#include "core/Database.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/form/Field.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <malloc.h>

namespace lms {

namespace {

// A moment as a day count with the time of day as fraction, days counted from 30 December 1899
// as the shop's earlier systems did; the parity of that count decides rounding at noon.
double dayCount(const QDateTime& moment) {
    constexpr qint64 kDayZero = 2415019; // the Julian day of 1899-12-30
    return static_cast<double>(moment.date().toJulianDay() - kDayZero) +
           moment.time().msecsSinceStartOfDay() / 86400000.0;
}

// Rounds to the nearest whole day, halves to the even day.
double roundedDays(double days) {
    return std::nearbyint(days);
}

} // namespace

ResultTable::ResultTable(QObject* parent) : QAbstractTableModel(parent) {}

bool ResultTable::holdsNumbers(CellFormat format) {
    return format == CellFormat::Number || format == CellFormat::Money;
}

ResultTable::~ResultTable() {
    releaseRows(true);
}

void ResultTable::releaseRows(bool forGood) {
    const bool large = rows_ >= kLargeListing;
    columns_.clear();
    columns_.shrink_to_fit();
    rows_ = 0;
    published_ = 0;
    // The allocator keeps freed memory for reuse, which suits a new listing; memory dropped for
    // good after a long listing would stay with the process.
    if (forGood && large)
        malloc_trim(0);
}

void ResultTable::start(const std::vector<ResultColumn>& columns, const QDateTime& now) {
    beginResetModel();
    releaseRows(false);
    for (const ResultColumn& definition : columns) {
        columns_.emplace_back();
        columns_.back().definition = definition;
    }
    rows_ = 0;
    published_ = 0;
    now_ = now;
    endResetModel();
}

void ResultTable::clear() {
    beginResetModel();
    releaseRows(true);
    endResetModel();
}

void ResultTable::append(const Query& query, const std::vector<int>& sources) {
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        Column& column = columns_[c];
        const int source = sources[c];
        if (source < 0)
            continue;
        if (holdsNumbers(column.definition.format)) {
            if (query.isNull(source)) {
                column.numbers.push_back(std::numeric_limits<double>::quiet_NaN());
                continue;
            }
            const double value = query.real(source);
            column.numbers.push_back(value);
            column.least = std::min(column.least, value);
            column.most = std::max(column.most, value);
            if (column.definition.format == CellFormat::Number && value != std::floor(value)) {
                QString text = Numbers::generalForm(value);
                if (text.size() > column.widestFraction.size())
                    column.widestFraction = std::move(text);
            }
        } else {
            appendText(column, query.utf8(source));
        }
    }
    ++rows_;
}

void ResultTable::appendText(Column& column, QByteArrayView bytes) {
    const auto size = static_cast<std::size_t>(bytes.size());
    if (column.blocks.empty() ||
        column.blocks.back().size() + size > column.blocks.back().capacity()) {
        column.blocks.emplace_back().reserve(std::max(kTextBlockBytes, size));
        column.blockFirstRows.push_back(rows_);
    }
    std::string& block = column.blocks.back();
    if (size > 0)
        block.append(bytes.data(), size);
    column.textEnds.push_back(static_cast<quint32>(block.size()));
}

void ResultTable::publish() {
    if (published_ == rows_)
        return;
    beginInsertRows({}, published_, rows_ - 1);
    published_ = rows_;
    endInsertRows();
}

int ResultTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : published_;
}

int ResultTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ResultTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= published_ || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const CellFormat format = columns_[index.column()].definition.format;
        const bool numeric = holdsNumbers(format) || format == CellFormat::RowNumber ||
                             format == CellFormat::OverdueDays;
        return QVariant::fromValue(Qt::AlignVCenter | (numeric ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant ResultTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == kWidestTextRole && orientation == Qt::Horizontal && section >= 0 &&
        section < columnCount())
        return widestText(section);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columnCount() ? columns_[section].definition.caption
                                                       : QVariant();
    return section + 1;
}

QString ResultTable::textAt(const Column& column, int row) const {
    const auto after =
        std::upper_bound(column.blockFirstRows.begin(), column.blockFirstRows.end(), row);
    const auto block = static_cast<std::size_t>(after - column.blockFirstRows.begin() - 1);
    const bool firstInBlock = column.blockFirstRows[block] == row;
    const quint32 begin = firstInBlock ? 0 : column.textEnds[row - 1];
    const quint32 end = column.textEnds[row];
    return QString::fromUtf8(column.blocks[block].data() + begin, end - begin);
}

std::optional<double> ResultTable::number(int row, int column) const {
    const Column& c = columns_.at(column);
    if (!holdsNumbers(c.definition.format) || row < 0 || row >= rows_)
        return std::nullopt;
    const double value = c.numbers[row];
    return std::isnan(value) ? std::nullopt : std::optional<double>(value);
}

QString ResultTable::numberText(const Column& column, double value) const {
    return column.definition.format == CellFormat::Money ? Numbers::twoDecimalForm(value)
                                                         : Numbers::generalForm(value);
}

QString ResultTable::widestText(int column) const {
    const Column& c = columns_.at(column);
    if (c.definition.format == CellFormat::RowNumber)
        return QString::number(published_);
    if (!holdsNumbers(c.definition.format) || c.least > c.most)
        return {};
    QString widest = c.widestFraction;
    for (const double extreme : {c.least, c.most}) {
        QString text = numberText(c, extreme);
        if (text.size() > widest.size())
            widest = std::move(text);
    }
    return widest;
}

QString ResultTable::cellText(int row, int column) const {
    const Column& c = columns_.at(column);
    switch (c.definition.format) {
    case CellFormat::RowNumber:
        return QString::number(row + 1);
    case CellFormat::Text:
        return textAt(c, row);
    case CellFormat::Number:
    case CellFormat::Money: {
        const std::optional<double> value = number(row, column);
        return value ? numberText(c, *value) : QString();
    }
    case CellFormat::DateText: {
        const QDateTime moment = Dates::fromStorage(textAt(c, row));
        return moment.isValid() ? formats_.dateTimeText(moment) : textAt(c, row);
    }
    case CellFormat::LongDate: {
        const QDateTime moment = Dates::fromStorage(textAt(c, row));
        return moment.isValid() ? formats_.longDate(moment.date()) : textAt(c, row);
    }
    case CellFormat::OverdueDays:
        return overdueDays(textAt(c, row));
    }
    return {};
}

QString ResultTable::overdueDays(const QString& due) const {
    const QDateTime moment = Dates::fromStorage(due);
    if (!moment.isValid())
        return QStringLiteral("0");
    const double days = roundedDays(dayCount(now_)) - roundedDays(dayCount(moment));
    return QString::number(days > 0 ? static_cast<qint64>(days) : 0);
}

} // namespace lms
