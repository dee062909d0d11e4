#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace lms {

// One line of label and value under a listing (a total) or on a receipt; both empty for a gap.
struct PrintoutLine {
    QString label;
    QString value;
};

// A document to print, described without widgets: a title, lines under it, an optional table
// whose header repeats on every page, and label/value lines after it. The widgets lay it out.
struct Printout {
    enum class Paper {
        Sheet, // a full page, with page numbers
        Slip,  // a narrow receipt slip, as long as its content
    };
    Paper paper = Paper::Sheet;
    QString title;
    QStringList headLines; // under the title on the first page: criteria, date
    QStringList columns;   // the table's header; none for no table
    QList<bool> rightAligned;
    int rowCount = 0;
    std::function<QString(int row, int column)> cell;
    std::vector<PrintoutLine> lines; // after the table
};

} // namespace lms
