#pragma once

#include "queries/Csv.h"

#include <QDateTime>
#include <QStringList>
#include <QVariantList>
#include <vector>

namespace lms {
class Database;
struct PubData;
} // namespace lms

namespace lms::Imports {

// A column a file may bring, under the name the program shows it with in its listing.
struct ImportColumn {
    QString name;
    QStringList aliases{}; // other names taken for it (the table's own column name)
    bool required = false; // a file without it is refused whole
    // An amount or a count: a file of refused rows writes its numbers as numbers.
    Csv::CellKind kind = Csv::CellKind::Text;
};

// One data row of a file: its cells by the kind's columns, empty where the file has none.
struct RowCells {
    const QStringList& record;
    const std::vector<int>& sources; // per column of the kind, the record's field or -1

    QString operator[](int column) const {
        const int source = sources[static_cast<std::size_t>(column)];
        return source >= 0 && source < record.size() ? record[source] : QString();
    }
    // The cell without blanks around it, as the lists and numbers are read.
    QString trimmed(int column) const { return (*this)[column].trimmed(); }
};

// What a row turned out to be: the values to store, or why it is refused.
struct RowVerdict {
    QString reason;      // empty for a good row
    QVariantList values; // a good row's values in the order of `storedColumns()`

    static RowVerdict refused(const QString& reason) { return {reason, {}}; }
};

// A column by the name its listing shows and the name of the table's column it fills.
struct ColumnNames {
    const char* listed;
    const char* stored;
};
// The columns a file may have, each also taken under the table's name; the first two (the id
// and the name) are required.
std::vector<ImportColumn> importColumns(const std::vector<ColumnNames>& names);
// The table's columns, in the same order.
QStringList storedColumns(const std::vector<ColumnNames>& names);

// What differs between importing books and readers: the columns, the rules a row is held to,
// and the table it goes into. The first column is the id, the second the name; both required.
class ImportKind {
public:
    virtual ~ImportKind() = default;

    virtual QString screenName() const = 0;     // "frm_DRBook"
    virtual QString caption() const = 0;        // "导入图书"
    virtual QString noun() const = 0;           // "图书"
    virtual QString countWord() const = 0;      // "本", as in "3 本图书"
    virtual QString logEvent() const = 0;       // the log record's event
    virtual QString listingCaption() const = 0; // the listing whose export the import reads
    virtual const std::vector<ImportColumn>& columns() const = 0;
    virtual QString table() const = 0;
    // The table's columns a good row's values fill; the first is the id.
    virtual const QStringList& storedColumns() const = 0;

    // Reads what the rules need from the shop (book types) and keeps the settings and "now"
    // that values missing from a row default to. Throws DbError.
    virtual void prepare(Database& db, const PubData& pub, const QDateTime& now) = 0;
    // The rules of registration and the file's own (lists, dates, counts), in registration's
    // order; the id's uniqueness is checked by the caller afterwards.
    virtual RowVerdict check(const RowCells& row) const = 0;
    // Why a row whose id the shop already has is refused: registration's message.
    virtual QString existsReason(const QString& id) const = 0;
    // What the log record says beyond the file name and the count (empty for nothing), given
    // every row's values (empty for a refused row).
    virtual QString logDetails(const std::vector<QVariantList>& values) const = 0;
};

} // namespace lms::Imports
