#pragma once

#include "reports/labels/Barcode.h"
#include "reports/labels/LabelSheet.h"

#include <QRectF>
#include <optional>

namespace lms::Labels {

// Where the parts of a label sit in its cell, in millimetres from the cell's top left. Text
// rectangles are one line high: the text's height follows the rectangle's.
struct BookFace {
    QRectF title;
    QRectF type;
    QRectF barcode;
    QRectF idText;
};
BookFace bookFace(QSizeF cell);

struct CardFace {
    QRectF shop; // empty when the card has no shop line
    QRectF name;
    QRectF barcode;
    QRectF idText;
    QRectF type;     // left of the bottom line
    QRectF validity; // right of the bottom line
};
CardFace cardFace(QSizeF cell, bool withShopLine);

// The room a label's barcode has in its cell.
QRectF barcodeArea(const LabelContent& content, QSizeF cell);

// A barcode placed in its area: the module width (at least kMinModuleMm, in whole steps a
// thermal printer makes) and the rectangle it covers, quiet zones included.
struct PlacedBarcode {
    Barcode barcode;
    double module = 0;
    QRectF rect;
};
constexpr double kMinModuleMm = 0.25;
std::optional<PlacedBarcode> placeBarcode(Barcode barcode, const QRectF& area);

// The label's barcode placed in its cell, or nothing when the id is too long for it.
std::optional<PlacedBarcode> placedBarcodeOf(const LabelContent& content, QSizeF cell);

} // namespace lms::Labels
