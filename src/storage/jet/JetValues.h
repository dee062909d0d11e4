#pragma once

#include <QDataStream>
#include <QList>
#include <QString>

namespace lms::Jet {

// One cell of a Jet table as the file holds it. Dates stay the engine's own number (days since
// 1899-12-30, local time, the fraction the time of day) until the target's form is chosen.
struct Value {
    enum Kind : quint8 { Null, Bool, Integer, Real, Text, Date };
    Kind kind = Null;
    qint64 integer = 0; // Bool (0 or 1) and Integer
    double real = 0;    // Real and Date
    QString text;       // Text (and memo)
};
using Row = QList<Value>;

// A column of a table and the kind of value it holds.
struct Column {
    QString name;
    Value::Kind kind = Value::Null;
};

// A table named in the file's catalogue with the number of live rows it keeps.
struct TableInfo {
    QString name;
    qint64 keptRows = 0;
};

// The records the reading child sends its parent, each a tag and its fields in QDataStream form:
//   'C' catalogue: the user tables with their kept row counts
//   'T' a table begins: its name and columns
//   'R' a batch of rows: their number, then the rows (a value per column) as one byte array
//   'E' the table ends: the rows sent
//   'Z' all was read
//   'X' the file could not be read: why
enum Tag : quint8 {
    CatalogTag = 'C',
    TableTag = 'T',
    RowTag = 'R',
    EndTag = 'E',
    DoneTag = 'Z',
    FailTag = 'X',
};

QDataStream& operator<<(QDataStream& out, const Value& value);
QDataStream& operator>>(QDataStream& in, Value& value);
QDataStream& operator<<(QDataStream& out, const Column& column);
QDataStream& operator>>(QDataStream& in, Column& column);
QDataStream& operator<<(QDataStream& out, const TableInfo& table);
QDataStream& operator>>(QDataStream& in, TableInfo& table);

// The stream's fixed first bytes, so a parent never reads another program's output as rows.
inline constexpr quint32 kStreamMark = 0x4C4A4554; // "LJET"
inline constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;
inline constexpr quint32 kRowsPerBatch = 256;

} // namespace lms::Jet
