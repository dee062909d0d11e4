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

// The file, or the reason nothing of it can be imported: a path that is not a regular file (a
// folder, a device, a pipe), a file that cannot be read, that would take more memory than
// kMemoryBudget, is not text, or whose encoding is neither UTF-8 nor GBK; a quote that never
// closes; no header; a header without a required column or naming a column twice; no data rows.
// Cells a listing export protected from spreadsheets come back as they were listed.
struct FileReading {
    std::optional<ImportFile> file;
    QString problem;
};
FileReading readImportFile(const QString& path, const ImportKind& kind);

// The memory one file's import may take: its text, its cells and their verdicts. A file whose
// records and fields would need more is refused before they are made.
inline constexpr qint64 kMemoryBudget = qint64(512) << 20;
// What a record and a field take beyond their characters' two bytes each: the lists holding
// them, and a row's verdict, values and id in the check.
inline constexpr qint64 kRecordBytes = 768;
inline constexpr qint64 kFieldBytes = 64;
// Files larger than this are refused before they are read: the bytes, the text (two bytes a
// character) and the cells (as many again) of a larger file take more than the budget.
inline constexpr qint64 kLargestFileBytes = kMemoryBudget / 8;

} // namespace lms::Imports
