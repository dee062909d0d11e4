#pragma once

#include "core/form/Printout.h"

#include <vector>

class QPrinter;
class QWidget;

namespace lms {

// Lays a printout on paper and paints it: the title and head lines on the first page, the
// table's header at the top of every page, the closing lines after the last row, page numbers;
// a receipt on a narrow slip as long as its content.
class PrintoutPrinter {
public:
    explicit PrintoutPrinter(const Printout& printout) : printout_(printout) {}

    // Paper size and orientation for this document.
    void setUp(QPrinter& printer) const;
    // Paints every page; returns how many were painted.
    int paint(QPrinter& printer) const;

    // Shows the document in the print preview over `parent`.
    static void preview(const Printout& printout, QWidget* parent);

    // One page of a listing: whether it starts with the title, the rows it holds and whether the
    // closing lines follow them.
    struct Page {
        bool title = false;
        int firstRow = 0;
        int rowCount = 0;
        bool closing = false;
        bool operator==(const Page&) const = default;
    };
    // Spreads the rows over pages that hold `firstRoom` rows on the first page and `otherRoom` on
    // the others; the closing lines need `closingRoom` rows of room after the last row and go on
    // a page of their own when they do not fit.
    static std::vector<Page> plan(int rows, int firstRoom, int otherRoom, int closingRoom);

private:
    int paintSheet(QPrinter& printer) const;
    int paintSlip(QPrinter& printer) const;

    const Printout& printout_;
};

} // namespace lms
