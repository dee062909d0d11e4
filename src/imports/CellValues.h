#pragma once

#include "imports/ImportKind.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Reading the cells of a row that registration would take from a list, a date picker or a spin
// field, and the reasons a row is refused for a cell, each naming its column.
namespace lms::Imports {

// A value quoted in a reason: “…”, long values shortened so the reason stays readable.
QString quoted(const QString& value);

// A registration message about a cell, with the column's name in front unless it names it.
QString aboutColumn(const QString& column, const QString& message);

// One of `items` (blanks around ignored), or `fallback` for an empty cell; the reason otherwise.
struct Choice {
    QString value;
    QString reason;
};
Choice readChoice(const RowCells& row, int column, const QString& name, const QStringList& items,
                  const QString& fallback);

// A date-time (see readDateText), or `fallback` for an empty cell.
struct DateCell {
    QDateTime value;
    QString reason;
};
DateCell readDate(const RowCells& row, int column, const QString& name, const QDateTime& fallback);

// A whole number from `least` to `most` ("3" or "3.0"), or `fallback` for an empty cell.
struct CountCell {
    int value = 0;
    QString reason;
};
CountCell readCount(const RowCells& row, int column, const QString& name, int least, int most,
                    int fallback);

// The reason for a line break, a tab or another control character in an id or a one-line text
// (the first one, by its place in the cell); empty when there is none.
QString notOneLine(const QString& name, const QString& text);

// The reason for a text longer than its column takes (bytes of GBK text); empty when it fits.
QString tooLong(const QString& name, const QString& text, int maxBytes);

} // namespace lms::Imports
