#include "reports/labels/LabelFaces.h"
#include "reports/labels/LabelSheet.h"

#include <algorithm>
#include <utility>

namespace lms::Labels {

namespace {

// A custom layout of no rows or columns still holds one label a page.
SheetLayout withRoom(SheetLayout layout) {
    layout.columns = std::max(1, layout.columns);
    layout.rows = std::max(1, layout.rows);
    return layout;
}

} // namespace

LabelDocument::LabelDocument(SheetLayout layout, QList<LabelContent> labels, Placement placement)
    : layout_(withRoom(std::move(layout))), labels_(std::move(labels)), placement_(placement) {
    // Skipping a whole sheet or more would only feed blank sheets through the printer.
    placement_.skip = std::clamp(placement_.skip, 0, layout_.perPage() - 1);
}

int LabelDocument::pageCount() const {
    return labels_.isEmpty() ? 0 : pageOf(int(labels_.size()) - 1) + 1;
}

int LabelDocument::pageOf(int index) const {
    return (placement_.skip + index) / layout_.perPage();
}

QRectF LabelDocument::cellOf(int index) const {
    const int slot = (placement_.skip + index) % layout_.perPage();
    const int column = slot % layout_.columns;
    const int row = slot / layout_.columns;
    const QPointF topLeft(
        layout_.margins.left() + column * (layout_.label.width() + layout_.gap.width()),
        layout_.margins.top() + row * (layout_.label.height() + layout_.gap.height()));
    return QRectF(topLeft + placement_.offset, layout_.label);
}

QStringList LabelDocument::notes() const {
    QStringList notes;
    for (const LabelContent& content : labels_) {
        if (content.id.isEmpty())
            continue;
        QString note;
        if (!placedBarcodeOf(content, layout_.label))
            note = QStringLiteral("编号 %1 太长，条码放不下").arg(content.id);
        else if (!fitsCode128(content.id))
            note = QStringLiteral("编号 %1 含有中文，用二维码").arg(content.id);
        if (!note.isEmpty() && !notes.contains(note))
            notes.append(note);
    }
    return notes;
}

} // namespace lms::Labels
