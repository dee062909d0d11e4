#include "core/widgets/PrintoutPrinter.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace lms {

namespace {

constexpr double kSlipWidthMm = 80;
constexpr double kSlipMarginMm = 4;
constexpr double kSheetMarginMm = 12;
// Listings with more columns than this are laid across the page.
constexpr int kPortraitColumns = 6;

QFont fontOf(double points, bool bold = false) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

double pixelsOfMm(const QPrinter& printer, double mm) {
    return mm / 25.4 * printer.resolution();
}

// A thin line at any resolution.
QPen thinPen(const QPrinter& printer, const QColor& color) {
    return QPen(color, std::max(1.0, printer.resolution() / 200.0));
}

QSizeF paintSize(const QPrinter& printer) {
    return printer.pageLayout().paintRectPixels(printer.resolution()).size();
}

double wrappedHeight(const QFontMetricsF& metrics, double width, const QString& text) {
    return metrics.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text).height();
}

// The widths a listing's columns need in `font`, header included.
std::vector<double> naturalWidths(const Printout& p, const QPrinter& printer, const QFont& font,
                                  const QFont& headerFont, double padding) {
    const QFontMetricsF metrics(font, &printer);
    const QFontMetricsF header(headerFont, &printer);
    std::vector<double> widths;
    for (int c = 0; c < p.columns.size(); ++c) {
        double width = header.horizontalAdvance(p.columns[c]);
        for (int row = 0; row < p.rowCount; ++row)
            width = std::max(width, metrics.horizontalAdvance(p.cell(row, c)));
        widths.push_back(width + 2 * padding);
    }
    return widths;
}

double sum(const std::vector<double>& values) {
    double total = 0;
    for (double v : values)
        total += v;
    return total;
}

} // namespace

std::vector<PrintoutPrinter::Page> PrintoutPrinter::plan(int rows, int firstRoom, int otherRoom,
                                                         int closingRoom) {
    std::vector<Page> pages;
    Page page{true, 0, 0, false};
    int room = std::max(firstRoom, 0);
    int next = 0;
    for (;;) {
        const int take = std::min(room, rows - next);
        page.firstRow = next;
        page.rowCount = take;
        next += take;
        if (next == rows) {
            page.closing = room - take >= closingRoom;
            pages.push_back(page);
            if (!page.closing)
                pages.push_back(Page{false, rows, 0, true});
            return pages;
        }
        pages.push_back(page);
        page = Page{false, next, 0, false};
        room = std::max(otherRoom, 1);
    }
}

void PrintoutPrinter::setUp(QPrinter& printer) const {
    printer.setDocName(printout_.title);
    if (printout_.paper == Printout::Paper::Sheet) {
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(printout_.columns.size() > kPortraitColumns
                                       ? QPageLayout::Landscape
                                       : QPageLayout::Portrait);
        printer.setPageMargins(
            QMarginsF(kSheetMarginMm, kSheetMarginMm, kSheetMarginMm, kSheetMarginMm),
            QPageLayout::Millimeter);
        return;
    }
    // A slip is as long as what it holds: measure at the slip's width first.
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(kSlipMarginMm, kSlipMarginMm, kSlipMarginMm, kSlipMarginMm),
                           QPageLayout::Millimeter);
    printer.setPageSize(QPageSize(QSizeF(kSlipWidthMm, 200), QPageSize::Millimeter,
                                  QStringLiteral("凭条"), QPageSize::ExactMatch));
    const double width = pixelsOfMm(printer, kSlipWidthMm - 2 * kSlipMarginMm);
    const QFontMetricsF title(fontOf(12, true), &printer);
    const QFontMetricsF text(fontOf(8.5), &printer);
    double height = title.height() * 1.8;
    for (const QString& line : printout_.headLines)
        height += wrappedHeight(text, width, line) + text.height() * 0.2;
    height += text.height();
    for (const PrintoutLine& line : printout_.lines) {
        if (line.label.isEmpty() && line.value.isEmpty()) {
            height += text.height();
            continue;
        }
        const double labelWidth = text.horizontalAdvance(line.label);
        const double valueWidth = text.horizontalAdvance(line.value);
        height += labelWidth + valueWidth + text.height() <= width
                      ? text.height() * 1.3
                      : text.height() * 1.3 + wrappedHeight(text, width * 0.85, line.value);
    }
    const double heightMm = height / printer.resolution() * 25.4 + 2 * kSlipMarginMm + 6;
    printer.setPageSize(QPageSize(QSizeF(kSlipWidthMm, std::max(60.0, heightMm)),
                                  QPageSize::Millimeter, QStringLiteral("凭条"),
                                  QPageSize::ExactMatch));
}

int PrintoutPrinter::paint(QPrinter& printer) const {
    return printout_.paper == Printout::Paper::Sheet ? paintSheet(printer) : paintSlip(printer);
}

int PrintoutPrinter::paintSheet(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    const QSizeF area = paintSize(printer);
    const double width = area.width();
    const double padding = pixelsOfMm(printer, 1.2);
    const Printout& p = printout_;
    const bool table = !p.columns.isEmpty();

    // Columns fit the page: a smaller type first, then narrower columns with shortened texts.
    double points = 9;
    std::vector<double> widths =
        naturalWidths(p, printer, fontOf(points), fontOf(points, true), padding);
    if (table && sum(widths) > width) {
        points = std::max(6.0, points * width / sum(widths));
        widths = naturalWidths(p, printer, fontOf(points), fontOf(points, true), padding);
    }
    // Too wide columns are narrowed with their texts shortened; narrow ones share the spare room.
    if (table && sum(widths) > 0) {
        const double scale =
            sum(widths) > width ? width / sum(widths) : std::min(1.6, width / sum(widths));
        for (double& w : widths)
            w *= scale;
    }
    const QFont textFont = fontOf(points);
    const QFont headerFont = fontOf(points, true);
    const QFont titleFont = fontOf(15, true);
    const QFont smallFont = fontOf(8);
    const QFont lineFont = fontOf(9);
    const QFontMetricsF text(textFont, &printer);
    const QFontMetricsF title(titleFont, &printer);
    const QFontMetricsF small(smallFont, &printer);
    const QFontMetricsF lineMetrics(lineFont, &printer);

    const double rowHeight = text.height() * 1.5;
    const double footer = small.height() * 2;
    const double runningTitle = small.height() * 2;
    double titleBlock = title.height() * 1.6;
    for (const QString& line : p.headLines)
        titleBlock += wrappedHeight(small, width, line) + small.height() * 0.3;
    titleBlock += small.height();
    const double headerRow = table ? rowHeight : 0;
    const double lineHeight = lineMetrics.height() * 1.5;
    const double closing =
        p.lines.empty() ? 0 : lineHeight * 0.5 + lineHeight * static_cast<double>(p.lines.size());

    const auto rowsIn = [&](double space) {
        return static_cast<int>(std::floor(std::max(0.0, space) / rowHeight));
    };
    const std::vector<Page> pages =
        plan(p.rowCount, rowsIn(area.height() - footer - titleBlock - headerRow),
             rowsIn(area.height() - footer - runningTitle - headerRow),
             static_cast<int>(std::ceil(closing / rowHeight)));

    const QPen rule = thinPen(printer, Qt::black);
    const QPen faint = thinPen(printer, QColor(190, 190, 190));
    for (std::size_t n = 0; n < pages.size(); ++n) {
        const Page& page = pages[n];
        if (n > 0)
            printer.newPage();
        double y = 0;
        if (page.title) {
            painter.setFont(titleFont);
            painter.drawText(QRectF(0, 0, width, title.height() * 1.4), Qt::AlignCenter, p.title);
            y = title.height() * 1.6;
            painter.setFont(smallFont);
            for (const QString& line : p.headLines) {
                const double h = wrappedHeight(small, width, line);
                painter.drawText(QRectF(0, y, width, h), Qt::TextWordWrap, line);
                y += h + small.height() * 0.3;
            }
            y += small.height();
        } else {
            painter.setFont(smallFont);
            painter.drawText(QRectF(0, 0, width, small.height() * 1.5), Qt::AlignLeft,
                             p.title + QStringLiteral("（续）"));
            y = runningTitle;
        }
        if (table) {
            // The header starts every page's part of the table.
            painter.fillRect(QRectF(0, y, sum(widths), rowHeight), QColor(230, 230, 230));
            painter.setFont(headerFont);
            double x = 0;
            for (int c = 0; c < p.columns.size(); ++c) {
                painter.drawText(
                    QRectF(x + padding, y, widths[c] - 2 * padding, rowHeight),
                    Qt::AlignVCenter | Qt::AlignLeft,
                    text.elidedText(p.columns[c], Qt::ElideRight, widths[c] - 2 * padding));
                x += widths[c];
            }
            y += rowHeight;
            painter.setPen(rule);
            painter.drawLine(QPointF(0, y), QPointF(sum(widths), y));
            painter.setFont(textFont);
            for (int row = page.firstRow; row < page.firstRow + page.rowCount; ++row) {
                x = 0;
                for (int c = 0; c < p.columns.size(); ++c) {
                    const bool right = c < p.rightAligned.size() && p.rightAligned[c];
                    painter.drawText(
                        QRectF(x + padding, y, widths[c] - 2 * padding, rowHeight),
                        Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft),
                        text.elidedText(p.cell(row, c), Qt::ElideRight, widths[c] - 2 * padding));
                    x += widths[c];
                }
                y += rowHeight;
                painter.setPen(faint);
                painter.drawLine(QPointF(0, y), QPointF(sum(widths), y));
                painter.setPen(rule);
            }
        }
        if (page.closing && !p.lines.empty()) {
            y += lineHeight * 0.5;
            painter.setFont(lineFont);
            double labelWidth = 0;
            for (const PrintoutLine& line : p.lines) {
                if (!line.value.isEmpty())
                    labelWidth = std::max(labelWidth, lineMetrics.horizontalAdvance(line.label));
            }
            for (const PrintoutLine& line : p.lines) {
                if (line.value.isEmpty()) {
                    // A line without a value heads the ones below it.
                    painter.drawText(QRectF(0, y, width, lineHeight),
                                     Qt::AlignVCenter | Qt::AlignLeft, line.label);
                    y += lineHeight;
                    continue;
                }
                painter.drawText(QRectF(0, y, labelWidth, lineHeight),
                                 Qt::AlignVCenter | Qt::AlignRight, line.label);
                painter.drawText(QRectF(labelWidth + padding, y, width - labelWidth, lineHeight),
                                 Qt::AlignVCenter | Qt::AlignLeft, line.value);
                y += lineHeight;
            }
        }
        painter.setFont(smallFont);
        painter.drawText(QRectF(0, area.height() - footer, width, footer),
                         Qt::AlignBottom | Qt::AlignHCenter,
                         QStringLiteral("第 %1 页，共 %2 页").arg(n + 1).arg(pages.size()));
    }
    painter.end();
    return static_cast<int>(pages.size());
}

int PrintoutPrinter::paintSlip(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    const double width = paintSize(printer).width();
    const QFont titleFont = fontOf(12, true);
    const QFont textFont = fontOf(8.5);
    const QFontMetricsF title(titleFont, &printer);
    const QFontMetricsF text(textFont, &printer);
    QPen dashed = thinPen(printer, Qt::black);
    dashed.setStyle(Qt::DashLine);

    painter.setFont(titleFont);
    painter.drawText(QRectF(0, 0, width, title.height() * 1.5), Qt::AlignCenter, printout_.title);
    double y = title.height() * 1.8;
    painter.setFont(textFont);
    for (const QString& line : printout_.headLines) {
        const double h = wrappedHeight(text, width, line);
        painter.drawText(QRectF(0, y, width, h), Qt::AlignHCenter | Qt::TextWordWrap, line);
        y += h + text.height() * 0.2;
    }
    const auto separator = [&] {
        painter.setPen(dashed);
        painter.drawLine(QPointF(0, y + text.height() * 0.5),
                         QPointF(width, y + text.height() * 0.5));
        painter.setPen(QPen(Qt::black));
        y += text.height();
    };
    separator();
    for (const PrintoutLine& line : printout_.lines) {
        if (line.label.isEmpty() && line.value.isEmpty()) {
            separator();
            continue;
        }
        const double lineHeight = text.height() * 1.3;
        painter.drawText(QRectF(0, y, width, lineHeight), Qt::AlignVCenter | Qt::AlignLeft,
                         line.label);
        const double labelWidth = text.horizontalAdvance(line.label);
        if (labelWidth + text.horizontalAdvance(line.value) + text.height() <= width) {
            painter.drawText(QRectF(0, y, width, lineHeight), Qt::AlignVCenter | Qt::AlignRight,
                             line.value);
            y += lineHeight;
        } else {
            // A long value goes under its label, wrapped.
            y += lineHeight;
            const double h = wrappedHeight(text, width * 0.85, line.value);
            painter.drawText(QRectF(width * 0.15, y, width * 0.85, h),
                             Qt::AlignRight | Qt::TextWordWrap, line.value);
            y += h;
        }
    }
    painter.end();
    return 1;
}

void PrintoutPrinter::preview(const Printout& printout, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    const PrintoutPrinter layout(printout);
    layout.setUp(printer);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(printout.title + QStringLiteral(" - 打印预览"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&layout](QPrinter* target) { layout.paint(*target); });
    dialog.resize(900, 700);
    dialog.exec();
}

} // namespace lms
