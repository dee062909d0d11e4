#pragma once

class QPrinter;
class QWidget;

namespace lms::Labels {
class LabelDocument;
}

namespace lms {

// Shows the labels in Qt's print preview ("打印预览") over `parent`, the pages the size of the
// layout, with the document's notes (ids as QR codes, ids too long for a barcode) above them.
void showLabelPreview(const Labels::LabelDocument& document, QWidget* parent);

// Sets the printer to the layout's pages and paints every page on it; false when the printer
// cannot be painted on.
bool printLabels(const Labels::LabelDocument& document, QPrinter& printer);

} // namespace lms
