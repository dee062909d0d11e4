// The drawing of a label: one function a kind, in millimetres, used by the preview, the printer,
// the PDF and the tests alike.
#include "reports/labels/LabelPainting.h"
#include "reports/labels/LabelFaces.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace lms::Labels {

namespace {

// Text is laid out in hundredths of a millimetre, so that font sizes (whole units) are exact
// enough on a label a few millimetres high and the same at every resolution.
constexpr double kTextUnitsPerMm = 100;
// A font's em as a part of its line, leaving room for ascent and descent.
constexpr double kEmOfLine = 0.8;

QFont labelFont(double lineMm, bool bold) {
    QFont font(QStringList{QStringLiteral("WenQuanYi Micro Hei"),
                           QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Sans Serif")});
    font.setPixelSize(std::max(1, int(lineMm * kTextUnitsPerMm * kEmOfLine)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// What to do with a text wider than its line: a title is shortened with "…", an id is written
// smaller, since every character of it counts.
enum class Overflow { Elide, Shrink };

void drawLine(QPainter& painter, const QRectF& line, const QString& text, Qt::Alignment align,
              bool bold, Overflow overflow) {
    if (text.isEmpty() || line.isEmpty())
        return;
    painter.save();
    painter.scale(1 / kTextUnitsPerMm, 1 / kTextUnitsPerMm);
    const QRectF rect(line.topLeft() * kTextUnitsPerMm, line.size() * kTextUnitsPerMm);
    QFont font = labelFont(line.height(), bold);
    const QFontMetricsF metrics(font);
    QString shown = text;
    if (overflow == Overflow::Elide) {
        shown = metrics.elidedText(text, Qt::ElideRight, rect.width());
    } else if (const double width = metrics.horizontalAdvance(text); width > rect.width()) {
        font.setPixelSize(std::max(1, int(font.pixelSize() * rect.width() / width)));
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(rect, int(align | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    painter.restore();
}

QPolygonF hexagon(const Barcode::Hexagon& h) {
    QPolygonF corners;
    for (int i = 0; i < 6; ++i) {
        const double angle = qDegreesToRadians(h.rotation + 30.0 + 60.0 * i);
        corners << h.centre + QPointF(std::cos(angle), std::sin(angle)) * (h.diameter / 2);
    }
    return corners;
}

void drawBarcode(QPainter& painter, const PlacedBarcode& placed) {
    const Barcode& barcode = placed.barcode;
    painter.save();
    // Crisp module edges; neighbouring squares of a QR code show no seams.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(placed.rect.topLeft());
    painter.scale(placed.module, barcode.kind == Barcode::Kind::Code128
                                     ? placed.rect.height() / barcode.size.height()
                                     : placed.module);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const QRectF& rect : barcode.dark)
        painter.drawRect(rect);
    for (const Barcode::Hexagon& h : barcode.hexagons)
        painter.drawPolygon(hexagon(h));
    painter.setBrush(Qt::white);
    for (const QRectF& rect : barcode.light)
        painter.drawRect(rect);
    for (const Barcode::Circle& c : barcode.circles) {
        const QColor colour = c.light ? Qt::white : Qt::black;
        if (c.ring > 0) {
            painter.setPen(QPen(colour, c.ring));
            painter.setBrush(Qt::NoBrush);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
        }
        painter.drawEllipse(c.centre, c.diameter / 2, c.diameter / 2);
    }
    painter.restore();
}

// The id's barcode with the id under it; an id too long for the label is written out alone,
// where the barcode would be.
void drawId(QPainter& painter, const LabelContent& content, const QRectF& area,
            const QRectF& idText) {
    std::optional<Barcode> barcode = encodeId(content.id);
    if (const auto placed = barcode ? placeBarcode(std::move(*barcode), area) : std::nullopt) {
        drawBarcode(painter, *placed);
        drawLine(painter, idText, content.id, Qt::AlignHCenter, false, Overflow::Shrink);
        return;
    }
    const double height = std::min(area.height(), idText.height() * 1.5);
    const QRectF line(idText.left(), area.center().y() - height / 2, idText.width(), height);
    drawLine(painter, line, content.id, Qt::AlignHCenter, true, Overflow::Shrink);
}

void paintBookLabel(QPainter& painter, const LabelContent& book, QSizeF cell) {
    const BookFace face = bookFace(cell);
    drawLine(painter, face.title, book.title, Qt::AlignHCenter, true, Overflow::Elide);
    drawLine(painter, face.type, book.subtitle, Qt::AlignHCenter, false, Overflow::Elide);
    drawId(painter, book, face.barcode, face.idText);
}

void paintReaderCard(QPainter& painter, const LabelContent& card, QSizeF cell) {
    const CardFace face = cardFace(cell, !card.shopName.isEmpty());
    drawLine(painter, face.shop, card.shopName, Qt::AlignHCenter, true, Overflow::Elide);
    drawLine(painter, face.name, card.title, Qt::AlignHCenter, true, Overflow::Elide);
    drawId(painter, card, face.barcode, face.idText);
    drawLine(painter, face.type, card.subtitle, Qt::AlignLeft, false, Overflow::Elide);
    drawLine(painter, face.validity, card.validity, Qt::AlignRight, false, Overflow::Elide);
}

} // namespace

void paintLabel(QPainter& painter, const LabelContent& content, const QRectF& cell) {
    painter.save();
    painter.translate(cell.topLeft());
    if (content.kind == LabelContent::Kind::ReaderCard)
        paintReaderCard(painter, content, cell.size());
    else
        paintBookLabel(painter, content, cell.size());
    painter.restore();
}

void LabelDocument::paintPage(QPainter& painter, int page) const {
    const int perPage = layout_.perPage();
    const int first = std::max(0, page * perPage - placement_.skip);
    const int end = std::min(int(labels_.size()), (page + 1) * perPage - placement_.skip);
    for (int index = first; index < end; ++index)
        paintLabel(painter, labels_[index], cellOf(index));
}

} // namespace lms::Labels
