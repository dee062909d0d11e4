#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Comma-separated values as spreadsheet programs read them (RFC 4180), in UTF-8.
namespace lms::Csv {

// The byte-order mark that tells spreadsheet programs the file is UTF-8.
QByteArray byteOrderMark();

// One field: in double quotes, with its quotes doubled, when it holds a comma, a quote or a line
// break; as it is otherwise.
QString field(const QString& value);

// One record: its fields separated by commas and ended by CR LF.
QString record(const QStringList& fields);

// What a column holds, for how its cells are written.
enum class CellKind {
    Text,   // any text: one a spreadsheet would take for a formula is written as text
    Number, // an amount or a count: a plain number ("-12.50") is written as it is
};

// A cell as a spreadsheet shows it as it is, never running it as a formula (the program's data
// is typed by clerks and read from other shops' files). A text that begins with "=", "+", "-",
// "@", a tab or a CR, or with apostrophes followed by one of them, gets an apostrophe in front,
// which spreadsheets take as "this is text" and do not show. A number cell is written as it is
// when it holds a plain number, and as a text otherwise.
QString spreadsheetCell(const QString& value, CellKind kind);

// The text a cell written by spreadsheetCell stands for: a cell of apostrophes followed by one
// of the characters above loses its first apostrophe; any other cell is taken as it is.
QString fromSpreadsheetCell(const QString& cell);

// One record of cells of these kinds (a column without a kind holds text).
QString record(const QStringList& cells, const std::vector<CellKind>& kinds);

} // namespace lms::Csv
