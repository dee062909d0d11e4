#include "core/widgets/LabelPreview.h"
#include "reports/labels/LabelSheet.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace lms {

bool printLabels(const Labels::LabelDocument& document, QPrinter& printer) {
    printer.setFullPage(true);
    printer.setPageLayout(Labels::pageLayoutOf(document.layout()));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // With the full page the painter's origin is the paper's corner, where the layout measures
    // from.
    painter.scale(printer.resolution() / 25.4, printer.resolution() / 25.4);
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0)
            printer.newPage();
        document.paintPage(painter, page);
    }
    return painter.end();
}

void showLabelPreview(const Labels::LabelDocument& document, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(Labels::pageLayoutOf(document.layout()));
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    const QStringList notes = document.notes();
    if (auto* column = qobject_cast<QBoxLayout*>(dialog.layout()); column && !notes.isEmpty()) {
        auto* line = new QLabel(notes.join(QStringLiteral("；")), &dialog);
        line->setWordWrap(true);
        line->setObjectName(QStringLiteral("labelNotes"));
        column->insertWidget(1, line);
    }
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&document](QPrinter* target) { printLabels(document, *target); });
    dialog.exec();
}

} // namespace lms
