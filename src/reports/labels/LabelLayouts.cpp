#include "reports/labels/LabelSheet.h"

#include <cmath>

namespace lms::Labels {

namespace {

const QSizeF kA4(210, 297);

// A sheet whose grid of labels sits in the middle of the page, as on the shop's label sheets.
SheetLayout centredSheet(const QString& name, QSizeF label, int columns, int rows, QSizeF gap) {
    // Kept to a hundredth of a millimetre, as the custom fields show them.
    const auto hundredths = [](double mm) { return std::round(mm * 100) / 100; };
    const double across =
        hundredths((kA4.width() - columns * label.width() - (columns - 1) * gap.width()) / 2);
    const double down =
        hundredths((kA4.height() - rows * label.height() - (rows - 1) * gap.height()) / 2);
    return SheetLayout{.name = name,
                       .page = kA4,
                       .label = label,
                       .columns = columns,
                       .rows = rows,
                       .margins = QMarginsF(across, down, across, down),
                       .gap = gap};
}

// One label a page, the page as large as the label: a label printer's roll.
SheetLayout singleLabel(const QString& name, QSizeF label) {
    return SheetLayout{.name = name,
                       .page = label,
                       .label = label,
                       .columns = 1,
                       .rows = 1,
                       .margins = QMarginsF(),
                       .gap = QSizeF(0, 0)};
}

} // namespace

const QList<SheetLayout>& builtInLayouts() {
    static const QList<SheetLayout> layouts{
        centredSheet(QStringLiteral("A4 3×8（70×37 毫米）"), QSizeF(70, 37), 3, 8, QSizeF(0, 0)),
        centredSheet(QStringLiteral("A4 4×10（52.5×29.7 毫米）"), QSizeF(52.5, 29.7), 4, 10,
                     QSizeF(0, 0)),
        centredSheet(QStringLiteral("A4 5×13（38.1×21.2 毫米）"), QSizeF(38.1, 21.2), 5, 13,
                     QSizeF(2.5, 0)),
        singleLabel(QStringLiteral("标签打印机 40×30 毫米"), QSizeF(40, 30)),
        singleLabel(QStringLiteral("标签打印机 50×30 毫米"), QSizeF(50, 30)),
        singleLabel(QStringLiteral("读者证 85.6×54 毫米"), QSizeF(85.6, 54)),
    };
    return layouts;
}

} // namespace lms::Labels
