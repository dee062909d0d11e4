#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

namespace lms::Labels {

// An id's barcode as zint drew it, in modules (the narrowest bar is 1 wide), quiet zones
// included; y runs down. What it encodes is the id's text, nothing added.
struct Barcode {
    enum class Kind { Code128, QrCode };
    struct Hexagon {
        QPointF centre;
        double diameter = 0;
        int rotation = 0; // degrees
    };
    struct Circle {
        QPointF centre;
        double diameter = 0;
        double ring = 0;    // width of the ring; 0 for a filled disc
        bool light = false; // drawn in the background colour
    };
    Kind kind = Kind::Code128;
    QSizeF size;
    QList<QRectF> dark;
    QList<QRectF> light; // spaces zint paints over dark ones
    QList<Hexagon> hexagons;
    QList<Circle> circles;
};

// Code 128 carries printable ASCII ("20050003", "B-12/3"); any other id goes into a QR code.
bool fitsCode128(const QString& id);

// The barcode of `id`: Code 128 where it fits, else a QR code of its UTF-8 text. Nothing for an
// empty id or one zint cannot encode (too long even for a QR code).
std::optional<Barcode> encodeId(const QString& id);

} // namespace lms::Labels
