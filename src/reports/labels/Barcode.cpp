#include "reports/labels/Barcode.h"

#include <zint.h>

#include <algorithm>
#include <memory>

namespace lms::Labels {

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

// zint's vector units per module: the dark marks of both symbologies span the symbol's width
// exactly (Code 128 ends in a bar, a QR code has finder patterns at both sides), which holds
// whatever unit a zint version chooses.
double unitsPerModule(const zint_symbol& symbol) {
    double left = symbol.vector->width;
    double right = 0;
    for (const zint_vector_rect* r = symbol.vector->rectangles; r; r = r->next) {
        if (r->colour == -1) {
            left = std::min(left, double(r->x));
            right = std::max(right, double(r->x + r->width));
        }
    }
    return right > left && symbol.width > 0 ? (right - left) / symbol.width : 1.0;
}

// zint's colours: -1 the foreground, 8 white; the symbologies used here paint no others.
bool isLight(int colour) {
    return colour == 8;
}

Barcode fromVector(const zint_symbol& symbol, Barcode::Kind kind) {
    const zint_vector& vector = *symbol.vector;
    const double unit = unitsPerModule(symbol);
    Barcode barcode;
    barcode.kind = kind;
    barcode.size = QSizeF(vector.width / unit, vector.height / unit);
    for (const zint_vector_rect* r = vector.rectangles; r; r = r->next) {
        const QRectF rect(r->x / unit, r->y / unit, r->width / unit, r->height / unit);
        (isLight(r->colour) ? barcode.light : barcode.dark).append(rect);
    }
    for (const zint_vector_hexagon* h = vector.hexagons; h; h = h->next)
        barcode.hexagons.append(
            {QPointF(h->x / unit, h->y / unit), h->diameter / unit, h->rotation});
    for (const zint_vector_circle* c = vector.circles; c; c = c->next)
        barcode.circles.append({QPointF(c->x / unit, c->y / unit), c->diameter / unit,
                                c->width / unit, c->colour != 0});
    return barcode;
}

} // namespace

bool fitsCode128(const QString& id) {
    return !id.isEmpty() && std::all_of(id.cbegin(), id.cend(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() <= 0x7e;
    });
}

std::optional<Barcode> encodeId(const QString& id) {
    if (id.isEmpty())
        return std::nullopt;
    const Barcode::Kind kind = fitsCode128(id) ? Barcode::Kind::Code128 : Barcode::Kind::QrCode;
    Symbol symbol(ZBarcode_Create());
    if (!symbol)
        return std::nullopt;
    symbol->symbology = kind == Barcode::Kind::Code128 ? BARCODE_CODE128 : BARCODE_QRCODE;
    // The text under the bars is the label's own; the quiet zones (10 modules each side of
    // Code 128, 4 around a QR code) are part of the drawing.
    symbol->show_hrt = 0;
    symbol->output_options = BARCODE_QUIET_ZONES;
    // The UTF-8 bytes as they are, in byte mode and without an ECI header, which a desk
    // scanner could otherwise type in front of the id.
    symbol->input_mode = DATA_MODE;
    const QByteArray data = id.toUtf8();
    const int result = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()),
        0);
    if (result >= ZINT_ERROR || !symbol->vector)
        return std::nullopt;
    return fromVector(*symbol, kind);
}

} // namespace lms::Labels
