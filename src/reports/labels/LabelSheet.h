#pragma once

#include <QList>
#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPageLayout;
class QPainter;

namespace lms::Labels {

// What one book label or reader card shows; the id is printed and encoded exactly as stored.
struct LabelContent {
    enum class Kind { Book, ReaderCard };
    Kind kind = Kind::Book;
    QString id;
    QString title;    // book: its title; card: the reader's name
    QString subtitle; // book: its type; card: the reader type
    QString validity; // card: the validity line (a date, or "按日租借"); books: empty
    QString shopName; // card: the shop's name line, empty when the shop has none
};

// A kind of sheet: the page, the label on it and how the labels sit, all in millimetres.
struct SheetLayout {
    QString name; // as the layout list shows it
    QSizeF page;
    QSizeF label;
    int columns = 1;
    int rows = 1;
    QMarginsF margins; // from the page's edges to the first label (left, top; right, bottom)
    QSizeF gap;        // between neighbouring labels, across and down
    int perPage() const { return columns * rows; }
};

// The sheets a shop chooses from: A4 3 × 8, 4 × 10, 5 × 13, and one label per page for label
// printers (40 × 30, 50 × 30 and the card size 85.6 × 54).
const QList<SheetLayout>& builtInLayouts();

// Where printing starts on a partly used sheet, and how far this desk's printer shifts a page.
struct Placement {
    int skip = 0;   // labels already used on the first sheet
    QPointF offset; // millimetres, right and down
};

// Labels laid out on sheets, drawn in millimetres: the same drawing serves the preview, the
// printer and a PDF at any resolution.
class LabelDocument {
public:
    LabelDocument(SheetLayout layout, QList<LabelContent> labels, Placement placement);

    const SheetLayout& layout() const { return layout_; }
    const QList<LabelContent>& labels() const { return labels_; }
    int pageCount() const;
    // The cell of label `index` (0-based among the labels) on its page, in millimetres.
    int pageOf(int index) const;
    QRectF cellOf(int index) const;
    // Paints one page; the painter's coordinates are millimetres from the page's top left.
    void paintPage(QPainter& painter, int page) const;
    // What the preview says before printing: ids carried as QR codes, ids too long for their
    // label's width (printed as text without a barcode).
    QStringList notes() const;

private:
    SheetLayout layout_;
    QList<LabelContent> labels_;
    Placement placement_;
};

// The page of a layout for a printer or a PDF: its size, turned where it is wider than high, and
// no margins (the layout's own margins place the labels).
QPageLayout pageLayoutOf(const SheetLayout& layout);

// Writes the document as a PDF of its pages; false with nothing left behind when it cannot.
bool writePdf(const LabelDocument& document, const QString& path);

} // namespace lms::Labels
