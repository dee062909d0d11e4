#include "queries/ResultTable.h"

#include "circulation/ReturnCharges.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/form/Field.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <malloc.h>
#include <optional>
#include <string_view>

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

// The stored form of a moment, "yyyy-MM-dd HH:mm:ss.zzz": 'd' where it holds a digit.
constexpr std::string_view kDigitsPattern = "dddd-dd-dd dd:dd:dd.ddd";

// The number the digits of a text in the stored form make, or nothing for any other text.
std::optional<qint64> packedDigits(QByteArrayView text) {
    if (text.size() != static_cast<qsizetype>(kDigitsPattern.size()))
        return std::nullopt;
    qint64 value = 0;
    for (std::size_t i = 0; i < kDigitsPattern.size(); ++i) {
        const char c = text[static_cast<qsizetype>(i)];
        if (kDigitsPattern[i] != 'd') {
            if (c != kDigitsPattern[i])
                return std::nullopt;
        } else if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
        } else {
            return std::nullopt;
        }
    }
    return value;
}

QString unpackedDigits(qint64 value) {
    char text[kDigitsPattern.size()];
    for (std::size_t i = kDigitsPattern.size(); i-- > 0;) {
        if (kDigitsPattern[i] != 'd') {
            text[i] = kDigitsPattern[i];
        } else {
            text[i] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
    }
    return QString::fromLatin1(text, static_cast<qsizetype>(kDigitsPattern.size()));
}

bool holdsDates(CellFormat format) {
    return format == CellFormat::DateText || format == CellFormat::LongDate ||
           format == CellFormat::OverdueDays || format == CellFormat::DaysLate ||
           format == CellFormat::LateFine || format == CellFormat::DaysLeft;
}

} // namespace

ResultTable::ResultTable(QObject* parent) : QAbstractTableModel(parent) {}

bool ResultTable::holdsNumbers(CellFormat format) {
    return format == CellFormat::Number || format == CellFormat::Money ||
           format == CellFormat::Balance;
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

void ResultTable::start(const std::vector<ResultColumn>& columns, const QDateTime& now,
                        float finePerDay) {
    beginResetModel();
    releaseRows(false);
    for (const ResultColumn& definition : columns) {
        Column& column = columns_.emplace_back();
        column.definition = definition;
        column.storage = holdsNumbers(definition.format) ? Storage::Hundredths
                         : holdsDates(definition.format) ? Storage::Digits
                                                         : Storage::Text;
    }
    rows_ = 0;
    published_ = 0;
    now_ = now;
    finePerDay_ = finePerDay;
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
        switch (column.storage) {
        case Storage::Hundredths:
        case Storage::Doubles:
            if (column.definition.format == CellFormat::Balance) {
                // A missing amount changes nothing.
                if (!query.isNull(source))
                    column.runningCents += Numbers::centsAsShown(query.real(source));
                appendNumber(column, static_cast<double>(column.runningCents) / 100);
            } else {
                appendNumber(column, query.isNull(source) ? std::nullopt
                                                          : std::optional(query.real(source)));
            }
            break;
        case Storage::Digits:
            appendDate(column, query.utf8(source));
            break;
        case Storage::Text:
            appendText(column, query.utf8(source), rows_);
            break;
        }
    }
    ++rows_;
}

void ResultTable::appendNumber(Column& column, std::optional<double> read) {
    if (!read) {
        if (column.storage == Storage::Hundredths)
            column.hundredths.push_back(kMissingHundredths);
        else
            column.numbers.push_back(std::numeric_limits<double>::quiet_NaN());
        return;
    }
    const double value = *read;
    if (column.storage == Storage::Hundredths) {
        // Kept as hundredths only when they give back the very same double (-0 included); the
        // check, not the rounding, makes that sure, so a cheap rounding serves.
        const double scaled = value * 100;
        const bool inRange = std::abs(scaled) < std::numeric_limits<qint32>::max() - 1;
        const auto whole = inRange ? static_cast<qint32>(scaled + (scaled < 0 ? -0.5 : 0.5)) : 0;
        if (inRange && std::bit_cast<quint64>(whole / 100.0) == std::bit_cast<quint64>(value))
            column.hundredths.push_back(whole);
        else
            widen(column);
    }
    if (column.storage == Storage::Doubles)
        column.numbers.push_back(value);
    column.least = std::min(column.least, value);
    column.most = std::max(column.most, value);
    if (column.definition.format == CellFormat::Number && value != std::floor(value)) {
        QString text = Numbers::generalForm(value);
        if (text.size() > column.widestFraction.size())
            column.widestFraction = std::move(text);
    }
}

void ResultTable::appendDate(Column& column, QByteArrayView bytes) {
    if (bytes.isEmpty()) {
        column.digits.push_back(kNoDigits);
    } else if (const std::optional<qint64> packed = packedDigits(bytes)) {
        column.digits.push_back(*packed);
    } else {
        widen(column);
        appendText(column, bytes, rows_);
    }
}

void ResultTable::widen(Column& column) {
    if (column.storage == Storage::Hundredths) {
        column.numbers.reserve(column.hundredths.size() + 1);
        for (const qint32 value : column.hundredths)
            column.numbers.push_back(value == kMissingHundredths
                                         ? std::numeric_limits<double>::quiet_NaN()
                                         : value / 100.0);
        column.hundredths = {};
        column.storage = Storage::Doubles;
    } else if (column.storage == Storage::Digits) {
        int row = 0;
        for (const qint64 value : column.digits) {
            const QByteArray text =
                value == kNoDigits ? QByteArray() : unpackedDigits(value).toLatin1();
            appendText(column, text, row++);
        }
        column.digits = {};
        column.storage = Storage::Text;
    }
}

void ResultTable::appendText(Column& column, QByteArrayView bytes, int row) {
    const auto size = static_cast<std::size_t>(bytes.size());
    if (column.blocks.empty() ||
        column.blocks.back().size() + size > column.blocks.back().capacity()) {
        column.blocks.emplace_back().reserve(std::max(kTextBlockBytes, size));
        column.blockFirstRows.push_back(row);
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
        const bool numeric = showsNumber(format);
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
    if (column.storage == Storage::Digits) {
        const qint64 value = column.digits[row];
        return value == kNoDigits ? QString() : unpackedDigits(value);
    }
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
    if (c.storage == Storage::Hundredths) {
        const qint32 value = c.hundredths[row];
        return value == kMissingHundredths ? std::nullopt : std::optional<double>(value / 100.0);
    }
    const double value = c.numbers[row];
    return std::isnan(value) ? std::nullopt : std::optional<double>(value);
}

QString ResultTable::numberText(const Column& column, double value) const {
    return column.definition.format == CellFormat::Number ? Numbers::generalForm(value)
                                                          : Numbers::twoDecimalForm(value);
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
    case CellFormat::TextAmount:
        return textAt(c, row);
    case CellFormat::Number:
    case CellFormat::Money:
    case CellFormat::Balance: {
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
    case CellFormat::DaysLate:
    case CellFormat::LateFine:
    case CellFormat::DaysLeft:
        return fromDate(c.definition.format, textAt(c, row));
    }
    return {};
}

QString ResultTable::fromDate(CellFormat format, const QString& stored) const {
    const QDateTime moment = Dates::fromStorage(stored);
    if (!moment.isValid())
        return QString();
    if (format == CellFormat::DaysLeft)
        return QString::number(Dates::daysBetween(now_, moment));
    const qint64 late = Circulation::overdueDays(moment, now_);
    return format == CellFormat::DaysLate ? QString::number(late)
                                          : Circulation::overdueFine(late, finePerDay_);
}

QString ResultTable::overdueDays(const QString& due) const {
    const QDateTime moment = Dates::fromStorage(due);
    if (!moment.isValid())
        return QStringLiteral("0");
    const double days = roundedDays(dayCount(now_)) - roundedDays(dayCount(moment));
    return QString::number(days > 0 ? static_cast<qint64>(days) : 0);
}

} // namespace lms
