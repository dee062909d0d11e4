#pragma once

#include "core/RegionalFormats.h"
#include "queries/QueryDefinition.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDateTime>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace lms {

class Query;

// The rows a query screen found, held compactly and formatted only when a cell is shown, so long
// listings stay small: text as UTF-8 in large blocks per column, amounts as whole hundredths
// while every value of the column is one (as doubles otherwise), dates in the stored form as
// their digits while every value of the column is in that form (as text otherwise).
class ResultTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultTable(QObject* parent = nullptr);
    ~ResultTable() override;

    // Starts a new listing with these columns; `now` is the moment overdue days count from, and
    // `finePerDay` the rate late days are charged at.
    void start(const std::vector<ResultColumn>& columns, const QDateTime& now,
               float finePerDay = 0);
    // No header and no rows; the memory of a long listing goes back to the system.
    void clear();
    // Appends the query's current row; `sources` gives the query column of each result column
    // (-1 for the row number).
    void append(const Query& query, const std::vector<int>& sources);
    // Makes the rows appended so far visible.
    void publish();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    QString cellText(int row, int column) const;
    // The stored number of a numeric column; nothing when the value is missing.
    std::optional<double> number(int row, int column) const;
    // Calls `use(value, wholeHundredths)` for every row of a numeric column in order: the
    // value (NaN where missing), and whether it is known to be a whole number of hundredths.
    template <class Use> void eachNumber(int column, Use&& use) const;

private:
    // How a column holds its values; a column starts compact and turns general for good at the
    // first value the compact form cannot give back exactly.
    enum class Storage { Text, Digits, Hundredths, Doubles };
    struct Column {
        ResultColumn definition;
        Storage storage = Storage::Text;
        // The values of a text column one after the other, in blocks of fixed size that are
        // never moved: one growing buffer would be copied on each growth, briefly holding it
        // three times over.
        std::vector<std::string> blocks;
        std::vector<int> blockFirstRows; // the first row of each block
        std::vector<quint32> textEnds;   // where each row's text ends within its block
        // A date column's texts "yyyy-MM-dd HH:mm:ss.zzz" as the number their 17 digits make;
        // kNoDigits for an empty text.
        std::vector<qint64> digits;
        std::vector<qint32> hundredths; // kMissingHundredths where the value is missing
        std::vector<double> numbers;    // NaN where the value is missing
        // What the widest value of a number column is made of: its extremes, and the longest
        // general form of a value with a fraction (which is not always an extreme's).
        double least = std::numeric_limits<double>::infinity();
        double most = -std::numeric_limits<double>::infinity();
        QString widestFraction;
        long long runningCents = 0; // a balance column's sum so far
    };
    // Listings from this many rows on give their memory back to the system when dropped.
    static constexpr int kLargeListing = 20000;
    static constexpr std::size_t kTextBlockBytes = 4 << 20;
    static constexpr qint64 kNoDigits = -1;
    static constexpr qint32 kMissingHundredths = std::numeric_limits<qint32>::min();
    void appendText(Column& column, QByteArrayView bytes, int row);
    void appendDate(Column& column, QByteArrayView bytes);
    void appendNumber(Column& column, std::optional<double> value);
    // Turns a compact column general, keeping the values it holds.
    void widen(Column& column);
    void releaseRows(bool forGood);
    static bool holdsNumbers(CellFormat format);
    QString textAt(const Column& column, int row) const;
    QString numberText(const Column& column, double value) const;
    // The widest text a number column shows (empty for other columns).
    QString widestText(int column) const;
    QString overdueDays(const QString& due) const;
    // The cells the return screen's rules compute from a stored date.
    QString fromDate(CellFormat format, const QString& stored) const;

    std::vector<Column> columns_;
    int rows_ = 0;      // rows appended
    int published_ = 0; // rows the views know of
    QDateTime now_;
    float finePerDay_ = 0;
    RegionalFormats formats_;
};

template <class Use> void ResultTable::eachNumber(int column, Use&& use) const {
    const Column& c = columns_.at(column);
    if (c.storage == Storage::Hundredths) {
        for (const qint32 value : c.hundredths)
            use(value == kMissingHundredths ? std::numeric_limits<double>::quiet_NaN()
                                            : value / 100.0,
                true);
    } else if (c.storage == Storage::Doubles) {
        for (const double value : c.numbers)
            use(value, false);
    }
}

} // namespace lms
