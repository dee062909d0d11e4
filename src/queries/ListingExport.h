#pragma once

#include "queries/Csv.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

class QIODevice;

namespace lms {

// Writes a listing to a CSV file a piece at a time, reporting its progress in between so that a
// long listing leaves the window alive; the file takes its name only once it is complete.
class ListingExport {
public:
    // What is written: the header, every row, and a totals row where the listing has one.
    struct Listing {
        QStringList header;
        int rowCount = 0;
        std::function<QString(int row, int column)> cell;
        QStringList totals; // empty for none
        // What each column holds (a column without a kind holds text); the header is text.
        std::vector<Csv::CellKind> kinds{};
    };
    // Told the number of rows written so far, between pieces and at the end.
    using Progress = std::function<void(int rowsWritten)>;

    // Pieces are written and reported about every `interval`.
    explicit ListingExport(Progress progress,
                           std::chrono::milliseconds interval = std::chrono::milliseconds(40))
        : progress_(std::move(progress)), interval_(interval) {}

    // Writes the byte-order mark and the records; false as soon as a write fails.
    bool write(QIODevice& device, const Listing& listing) const;
    // Writes to `path` through a temporary file beside it that replaces `path` only when
    // everything was written; the reason when the file could not be written.
    std::optional<QString> toFile(const QString& path, const Listing& listing) const;

private:
    Progress progress_;
    std::chrono::milliseconds interval_;
};

} // namespace lms
