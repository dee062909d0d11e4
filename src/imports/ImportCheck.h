#pragma once

#include "imports/ImportFile.h"
#include "imports/ImportKind.h"

#include <QHash>
#include <QVariantList>
#include <vector>

namespace lms {
class Database;
}

namespace lms::Imports {

// The verdicts on a file's rows, found a piece at a time so that a long file's first rows show at
// once: each row is held to the kind's rules, then its id must be the only one of its kind in
// the file and new to the shop.
class ImportCheck {
public:
    // The kind must have been prepared.
    ImportCheck(ImportFile file, const ImportKind& kind);

    const ImportFile& file() const { return file_; }
    const ImportKind& kind() const { return kind_; }
    int rowCount() const { return static_cast<int>(file_.rows.size()); }
    int checkedCount() const { return checked_; }
    bool done() const { return checked_ == rowCount(); }
    int goodCount() const { return good_; }
    int refusedCount() const { return checked_ - good_; }

    // Checks up to `count` more rows, looking their ids up in the shop. Throws DbError (the rows
    // of that piece stay unchecked).
    void checkNext(Database& db, int count);

    // Forgets the verdicts, to check every row again.
    void restart();

    // A checked row's reason (empty for a good row) and a good row's values.
    const QString& reason(int row) const { return reasons_[std::size_t(row)]; }
    bool isGood(int row) const { return row < checked_ && reason(row).isEmpty(); }
    const std::vector<QVariantList>& values() const { return values_; }

private:
    RowCells cells(int row) const { return {file_.rows[row], file_.sources}; }
    // The reason a row's id occurs more than once in the file, or empty.
    QString repeatedReason(const QString& id) const;
    // The reason a row has more fields than the header names, or empty.
    QString overlongReason(int row) const;

    ImportFile file_;
    const ImportKind& kind_;
    std::vector<QString> reasons_;
    std::vector<QVariantList> values_;
    QHash<QString, QList<int>> repeated_; // ids found more than once, with their row numbers
    int checked_ = 0;
    int good_ = 0;
};

} // namespace lms::Imports
