#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Comma-separated values as spreadsheet programs read them (RFC 4180), in UTF-8.
namespace lms::Csv {

// The byte-order mark that tells spreadsheet programs the file is UTF-8.
QByteArray byteOrderMark();

// One field: in double quotes, with its quotes doubled, when it holds a comma, a quote or a line
// break; as it is otherwise.
QString field(const QString& value);

// One record: its fields separated by commas and ended by CR LF.
QString record(const QStringList& fields);

} // namespace lms::Csv
