// A query screen's listing leaving the screen: exported to a CSV file or printed.
#include "queries/QueryScreen.h"

#include "core/RegionalFormats.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "queries/ListingPrintout.h"

#include <QCoreApplication>

namespace lms {

namespace {

const QChar kCR(13);

QString fileTime(const QDateTime& moment) {
    return moment.toString(QStringLiteral("yyyyMMdd_HHmmss"));
}

} // namespace

ListingExport::Listing QueryScreen::listing() const {
    ListingExport::Listing out;
    for (int c = 0; c < results_.columnCount(); ++c)
        out.header << results_.headerData(c, Qt::Horizontal).toString();
    out.rowCount = results_.rowCount();
    out.cell = [this](int row, int column) { return results_.cellText(row, column); };
    for (const ResultColumn& column : definition_.columns)
        out.kinds.push_back(showsNumber(column.format) || column.format == CellFormat::TextAmount
                                ? Csv::CellKind::Number
                                : Csv::CellKind::Text);
    if (totalsCurrent_) {
        // The totals stand under the columns they sum; the first cell names the row.
        for (int c = 0; c < static_cast<int>(definition_.columns.size()); ++c) {
            QString cell;
            for (const TotalField& total : definition_.totalFields) {
                if (totalColumn(total.column) == c)
                    cell = field(total.field).text();
            }
            out.totals << cell;
        }
        if (!out.totals.isEmpty() && out.totals.first().isEmpty())
            out.totals.first() = QStringLiteral("合计");
    }
    return out;
}

std::vector<PrintoutLine> QueryScreen::totalLines() const {
    std::vector<PrintoutLine> lines;
    if (!totalsCurrent_)
        return lines;
    lines.push_back({definition_.totalsGroupCaption, QString()});
    for (const TotalField& total : definition_.totalFields)
        lines.push_back({total.caption, field(total.field).text()});
    return lines;
}

void QueryScreen::setBusy(bool busy, int rows) {
    busy_ = busy;
    for (Field* button : buttons_)
        button->setEnabled(!busy);
    restOutputs();
    Field& progress = *progress_;
    progress.setMaximum(std::max(rows, 1));
    progress.setValue(0);
    progress.setVisible(busy);
}

void QueryScreen::Button3Click() {
    if (busy_ || !whole_ || listing_)
        return;
    if (results_.rowCount() == 0) {
        ctx_.prompter.information(QStringLiteral("没有可导出的记录!"));
        return;
    }
    const std::optional<QString> path =
        ctx_.prompter.saveFile(QStringLiteral("导出"), QStringLiteral("CSV 文件|*.csv"),
                               definition_.caption + QLatin1Char('_') + fileTime(ctx_.clock.now()) +
                                   QStringLiteral(".csv"));
    if (!path || path->isEmpty())
        return;
    const ListingExport::Listing rows = listing();
    setBusy(true, rows.rowCount);
    // Between pieces the window repaints and shows the progress; the clerk's clicks and keys
    // wait until the file is done.
    const ListingExport exporter([this](int written) {
        progress_->setValue(written);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    const std::optional<QString> failure = exporter.toFile(*path, rows);
    setBusy(false, 0);
    if (failure) {
        ctx_.prompter.error(QStringLiteral("导出失败，文件没有保存：") + kCR + *path + kCR + kCR +
                            QStringLiteral("请选择一个可以写入的文件夹。（") + *failure +
                            QStringLiteral("）"));
        return;
    }
    ctx_.prompter.information(QStringLiteral("已导出 %1 条记录到文件：").arg(rows.rowCount) + kCR +
                              *path);
}

void QueryScreen::Button4Click() {
    if (busy_ || !whole_ || listing_)
        return;
    if (results_.rowCount() == 0) {
        ctx_.prompter.information(QStringLiteral("没有可打印的记录!"));
        return;
    }
    if (results_.rowCount() > kPrintLimit) {
        ctx_.prompter.information(
            QStringLiteral("共 %1 条记录，超过一次打印的上限 %2 条。")
                .arg(results_.rowCount())
                .arg(kPrintLimit) +
            kCR + kCR + QStringLiteral("请缩小查询范围后再打印，或用“导出”保存全部记录。"));
        return;
    }
    const RegionalFormats formats;
    const QDateTime now = ctx_.clock.now();
    ctx_.prompter.printPreview(ListingPrintout::make(
        definition_, results_, criteriaShown_,
        formats.longDate(now.date()) + QLatin1Char(' ') + formats.longTime(now.time()),
        totalLines()));
}

} // namespace lms
