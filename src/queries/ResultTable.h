#pragma once

#include "core/RegionalFormats.h"
#include "queries/QueryDefinition.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDateTime>
#include <limits>
#include <string>
#include <vector>

namespace lms {

class Query;

// The rows a query screen found, held as read (text as UTF-8 in large blocks per column, numbers
// as doubles) and formatted only when a cell is shown, so long listings stay small.
class ResultTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultTable(QObject* parent = nullptr);
    ~ResultTable() override;

    // Starts a new listing with these columns; `now` is the moment overdue days count from.
    void start(const std::vector<ResultColumn>& columns, const QDateTime& now);
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

private:
    struct Column {
        ResultColumn definition;
        // The values of a text column one after the other, in blocks of fixed size that are
        // never moved: one growing buffer would be copied on each growth, briefly holding it
        // three times over.
        std::vector<std::string> blocks;
        std::vector<int> blockFirstRows; // the first row of each block
        std::vector<quint32> textEnds;   // where each row's text ends within its block
        std::vector<double> numbers;     // NaN where the value is missing
        // What the widest value of a number column is made of: its extremes, and the longest
        // general form of a value with a fraction (which is not always an extreme's).
        double least = std::numeric_limits<double>::infinity();
        double most = -std::numeric_limits<double>::infinity();
        QString widestFraction;
    };
    // Listings from this many rows on give their memory back to the system when dropped.
    static constexpr int kLargeListing = 20000;
    static constexpr std::size_t kTextBlockBytes = 4 << 20;
    void appendText(Column& column, QByteArrayView bytes);
    void releaseRows(bool forGood);
    static bool holdsNumbers(CellFormat format);
    QString textAt(const Column& column, int row) const;
    QString numberText(const Column& column, double value) const;
    // The widest text a number column shows (empty for other columns).
    QString widestText(int column) const;
    QString overdueDays(const QString& due) const;

    std::vector<Column> columns_;
    int rows_ = 0;      // rows appended
    int published_ = 0; // rows the views know of
    QDateTime now_;
    RegionalFormats formats_;
};

} // namespace lms
