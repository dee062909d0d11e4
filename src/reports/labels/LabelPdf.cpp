#include "reports/labels/LabelSheet.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

namespace lms::Labels {

namespace {

constexpr int kPdfDpi = 600;

} // namespace

QPageLayout pageLayoutOf(const SheetLayout& layout) {
    // Page sizes are defined upright; a card wider than high is an upright page turned.
    const QSizeF upright(std::min(layout.page.width(), layout.page.height()),
                         std::max(layout.page.width(), layout.page.height()));
    return QPageLayout(
        QPageSize(upright, QPageSize::Millimeter, layout.name, QPageSize::ExactMatch),
        layout.page.width() > layout.page.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(), QPageLayout::Millimeter);
}

bool writePdf(const LabelDocument& document, const QString& path) {
    if (document.pageCount() == 0)
        return false;
    // Written beside and renamed into place: a failure leaves no half file behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QPdfWriter writer(&file);
    writer.setResolution(kPdfDpi);
    writer.setPageLayout(pageLayoutOf(document.layout()));
    QPainter painter;
    if (!painter.begin(&writer)) {
        file.cancelWriting();
        return false;
    }
    painter.scale(kPdfDpi / 25.4, kPdfDpi / 25.4);
    for (int p = 0; p < document.pageCount(); ++p) {
        if (p > 0)
            writer.newPage();
        document.paintPage(painter, p);
    }
    painter.end();
    return file.commit();
}

} // namespace lms::Labels
