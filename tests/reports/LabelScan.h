#pragma once

#include "reports/labels/LabelSheet.h"

#include <QImage>
#include <QRectF>
#include <QStringList>

namespace lms::test {

// Label tests draw with fonts: one QGuiApplication for the whole run (the off-screen platform).
void ensureGuiApplication();

// A page of the document drawn on white at `dpi`, as a printer of that resolution makes it.
QImage renderPage(const Labels::LabelDocument& document, int page, double dpi);

// The part of a page image under a rectangle in millimetres.
QImage cropMm(const QImage& page, const QRectF& mm, double dpi);

// What a scanner reads from the image: the text of each Code 128 and QR code zbar finds, as the
// bytes it carries read as UTF-8.
struct Scan {
    QString symbology; // "CODE-128", "QR-Code"
    QString text;
};
QList<Scan> scanBarcodes(const QImage& image);
QStringList scannedTexts(const QImage& image);

} // namespace lms::test
