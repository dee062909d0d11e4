#include "reports/LabelScan.h"

#include <QGuiApplication>
#include <QPainter>
#include <memory>
#include <vector>
#include <zbar.h>

namespace lms::test {

void ensureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "label_tests";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Kept for the whole run; never deleted, as a test main would keep it.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

QImage renderPage(const Labels::LabelDocument& document, int page, double dpi) {
    const double dotsPerMm = dpi / 25.4;
    const QSizeF size = document.layout().page * dotsPerMm;
    QImage image(qRound(size.width()), qRound(size.height()), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dotsPerMm * 1000));
    image.setDotsPerMeterY(qRound(dotsPerMm * 1000));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(dotsPerMm, dotsPerMm);
    document.paintPage(painter, page);
    painter.end();
    return image;
}

QImage cropMm(const QImage& page, const QRectF& mm, double dpi) {
    const double dotsPerMm = dpi / 25.4;
    const QRectF dots(mm.topLeft() * dotsPerMm, mm.size() * dotsPerMm);
    return page.copy(dots.toAlignedRect().intersected(page.rect()));
}

QList<Scan> scanBarcodes(const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const int width = grey.width();
    const int height = grey.height();
    std::vector<unsigned char> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(grey.constScanLine(y), width, pixels.begin() + ptrdiff_t(y) * width);

    std::unique_ptr<zbar::zbar_image_scanner_t, void (*)(zbar::zbar_image_scanner_t*)> scanner(
        zbar::zbar_image_scanner_create(), zbar::zbar_image_scanner_destroy);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_CODE128, zbar::ZBAR_CFG_ENABLE,
                                        1);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    // The bytes as the symbol carries them, not converted by a guess at their character set:
    // the labels' QR codes carry UTF-8 without an ECI header.
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
    std::unique_ptr<zbar::zbar_image_t, void (*)(zbar::zbar_image_t*)> frame(
        zbar::zbar_image_create(), zbar::zbar_image_destroy);
    zbar::zbar_image_set_format(frame.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(frame.get(), unsigned(width), unsigned(height));
    zbar::zbar_image_set_data(frame.get(), pixels.data(), pixels.size(), nullptr);
    zbar::zbar_scan_image(scanner.get(), frame.get());

    QList<Scan> scans;
    for (const zbar::zbar_symbol_t* symbol = zbar::zbar_image_first_symbol(frame.get()); symbol;
         symbol = zbar::zbar_symbol_next(symbol)) {
        const QByteArray data(zbar::zbar_symbol_get_data(symbol),
                              qsizetype(zbar::zbar_symbol_get_data_length(symbol)));
        scans.append(
            {QString::fromLatin1(zbar::zbar_get_symbol_name(zbar::zbar_symbol_get_type(symbol))),
             QString::fromUtf8(data)});
    }
    return scans;
}

QStringList scannedTexts(const QImage& image) {
    QStringList texts;
    for (const Scan& scan : scanBarcodes(image))
        texts.append(scan.text);
    return texts;
}

} // namespace lms::test
