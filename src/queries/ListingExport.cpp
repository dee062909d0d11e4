#include "queries/ListingExport.h"

#include "queries/Csv.h"

#include <QElapsedTimer>
#include <QSaveFile>

namespace lms {

namespace {

// How many rows go between two looks at the clock.
constexpr int kRowsPerCheck = 256;

bool writeAll(QIODevice& device, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return device.write(bytes) == bytes.size();
}

} // namespace

bool ListingExport::write(QIODevice& device, const Listing& listing) const {
    if (device.write(Csv::byteOrderMark()) != Csv::byteOrderMark().size())
        return false;
    QString piece = Csv::record(listing.header, {});
    QElapsedTimer sinceReport;
    sinceReport.start();
    QStringList cells;
    for (int row = 0; row < listing.rowCount; ++row) {
        cells.clear();
        for (int column = 0; column < listing.header.size(); ++column)
            cells << listing.cell(row, column);
        piece += Csv::record(cells, listing.kinds);
        if ((row + 1) % kRowsPerCheck == 0) {
            if (!writeAll(device, piece))
                return false;
            piece.clear();
            if (sinceReport.elapsed() >= interval_.count()) {
                if (progress_)
                    progress_(row + 1);
                sinceReport.restart();
            }
        }
    }
    if (!listing.totals.isEmpty())
        piece += Csv::record(listing.totals, listing.kinds);
    if (!writeAll(device, piece))
        return false;
    if (progress_)
        progress_(listing.rowCount);
    return true;
}

std::optional<QString> ListingExport::toFile(const QString& path, const Listing& listing) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!write(file, listing)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace lms
