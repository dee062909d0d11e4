#pragma once

#include "imports/ImportKind.h"

#include <QList>
#include <QStringList>
#include <optional>
#include <vector>

namespace lms::Imports {

// A CSV file of books or readers as read for an import: its header matched to the kind's
// columns by name, and its data rows.
struct ImportFile {
    QString path;
    QString encoding;
    QStringList header;            // as the file has it, for the file of refused rows
    std::vector<int> sources;      // per column of the kind, the file's field or -1
    QStringList unknownColumns;    // names the kind does not know, ignored
    QList<QStringList> rows;       // the data rows, without blank rows and a totals row
    std::vector<int> rowNumbers;   // each row's record number in the file (the header's is 1)
    bool totalsRowLeftOut = false; // a listing's "合计" row was found and left out
};

// The file, or the reason nothing of it can be imported: a file that cannot be read, is not
// text, or whose encoding is neither UTF-8 nor GBK; a quote that never closes; no header; a
// header without a required column or naming a column twice; no data rows.
struct FileReading {
    std::optional<ImportFile> file;
    QString problem;
};
FileReading readImportFile(const QString& path, const ImportKind& kind);

// Files larger than this are refused (the whole file is held in memory while it is checked).
inline constexpr qint64 kLargestFileBytes = qint64(256) << 20;

} // namespace lms::Imports
