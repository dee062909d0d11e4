#include "reports/labels/LabelFaces.h"

#include <algorithm>
#include <cmath>

namespace lms::Labels {

namespace {

// 203 dpi thermal printers make 8 dots a millimetre: modules in whole eighths of a millimetre
// give every bar the same number of dots there (and near-whole numbers at 300 and 600 dpi).
constexpr double kModuleStepMm = 0.125;
// The widest module worth printing; a short id on a wide label does not need wider bars.
constexpr double kMaxBarModuleMm = 0.5;
constexpr double kMaxQrModuleMm = 0.75;
// Code 128 bars need not be taller than this to scan at an angle.
constexpr double kMaxBarHeightMm = 15;
// The white quiet zones may reach this close to the cell's edge; the ink stays further in.
constexpr double kEdgeMm = 0.5;

// Lays lines from the top of `room` down; each takes its height and a small gap.
class Column {
public:
    explicit Column(QRectF room, double gap) : room_(room), gap_(gap) {}
    QRectF top(double height) {
        const QRectF line(room_.left(), room_.top(), room_.width(), height);
        room_.setTop(room_.top() + height + gap_);
        return line;
    }
    QRectF bottom(double height) {
        const QRectF line(room_.left(), room_.bottom() - height, room_.width(), height);
        room_.setBottom(room_.bottom() - height - gap_);
        return line;
    }
    QRectF rest() const { return room_; }

private:
    QRectF room_;
    double gap_;
};

double stepDown(double module) {
    return std::floor(module / kModuleStepMm) * kModuleStepMm;
}

// The barcode spans the cell's width (its quiet zones are white); text keeps a padding.
QRectF acrossCell(const QRectF& rows, QSizeF cell) {
    return QRectF(kEdgeMm, rows.top(), cell.width() - 2 * kEdgeMm, rows.height());
}

} // namespace

BookFace bookFace(QSizeF cell) {
    const double pad = std::clamp(std::min(cell.width(), cell.height()) * 0.05, 0.8, 2.0);
    const QRectF inner(pad, pad, cell.width() - 2 * pad, cell.height() - 2 * pad);
    const double line = std::clamp(inner.height() * 0.14, 1.8, 4.0);
    Column column(inner, line * 0.1);
    BookFace face;
    face.title = column.top(line);
    face.type = column.top(line * 0.85);
    face.idText = column.bottom(line * 0.85);
    face.barcode = acrossCell(column.rest(), cell);
    return face;
}

CardFace cardFace(QSizeF cell, bool withShopLine) {
    const double pad = std::clamp(std::min(cell.width(), cell.height()) * 0.06, 0.8, 3.5);
    const QRectF inner(pad, pad, cell.width() - 2 * pad, cell.height() - 2 * pad);
    const double line = std::clamp(inner.height() * 0.09, 1.8, 4.5);
    Column column(inner, line * 0.2);
    CardFace face;
    if (withShopLine)
        face.shop = column.top(line);
    face.name = column.top(line * 1.25);
    const QRectF bottom = column.bottom(line * 0.85);
    face.type = QRectF(bottom.left(), bottom.top(), bottom.width() / 2, bottom.height());
    face.validity = face.type.translated(bottom.width() / 2, 0);
    face.idText = column.bottom(line * 0.85);
    face.barcode = acrossCell(column.rest(), cell);
    return face;
}

QRectF barcodeArea(const LabelContent& content, QSizeF cell) {
    if (content.kind == LabelContent::Kind::ReaderCard)
        return cardFace(cell, !content.shopName.isEmpty()).barcode;
    return bookFace(cell).barcode;
}

std::optional<PlacedBarcode> placeBarcode(Barcode barcode, const QRectF& area) {
    if (barcode.size.isEmpty() || area.isEmpty())
        return std::nullopt;
    PlacedBarcode placed;
    QSizeF size;
    if (barcode.kind == Barcode::Kind::Code128) {
        placed.module = std::min(kMaxBarModuleMm, stepDown(area.width() / barcode.size.width()));
        size =
            QSizeF(barcode.size.width() * placed.module, std::min(area.height(), kMaxBarHeightMm));
    } else {
        const double side = std::min(area.width(), area.height());
        placed.module = std::min(kMaxQrModuleMm, stepDown(side / barcode.size.width()));
        size = barcode.size * placed.module;
    }
    if (placed.module < kMinModuleMm)
        return std::nullopt;
    placed.rect =
        QRectF(area.left() + (area.width() - size.width()) / 2,
               area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
    placed.barcode = std::move(barcode);
    return placed;
}

std::optional<PlacedBarcode> placedBarcodeOf(const LabelContent& content, QSizeF cell) {
    std::optional<Barcode> barcode = encodeId(content.id);
    if (!barcode)
        return std::nullopt;
    return placeBarcode(std::move(*barcode), barcodeArea(content, cell));
}

} // namespace lms::Labels
