#include "storage/jet/JetValues.h"

namespace lms::Jet {

QDataStream& operator<<(QDataStream& out, const Value& value) {
    out << quint8(value.kind);
    switch (value.kind) {
    case Value::Null:
        break;
    case Value::Bool:
    case Value::Integer:
        out << value.integer;
        break;
    case Value::Real:
    case Value::Date:
        out << value.real;
        break;
    case Value::Text:
        out << value.text;
        break;
    }
    return out;
}

QDataStream& operator>>(QDataStream& in, Value& value) {
    quint8 kind = 0;
    in >> kind;
    value = Value();
    switch (kind) {
    case Value::Null:
        break;
    case Value::Bool:
    case Value::Integer:
        in >> value.integer;
        break;
    case Value::Real:
    case Value::Date:
        in >> value.real;
        break;
    case Value::Text:
        in >> value.text;
        break;
    default:
        in.setStatus(QDataStream::ReadCorruptData);
        return in;
    }
    value.kind = static_cast<Value::Kind>(kind);
    return in;
}

QDataStream& operator<<(QDataStream& out, const Column& column) {
    return out << column.name << quint8(column.kind);
}

QDataStream& operator>>(QDataStream& in, Column& column) {
    quint8 kind = 0;
    in >> column.name >> kind;
    if (kind > Value::Date)
        in.setStatus(QDataStream::ReadCorruptData);
    column.kind = static_cast<Value::Kind>(kind);
    return in;
}

QDataStream& operator<<(QDataStream& out, const TableInfo& table) {
    return out << table.name << table.keptRows;
}

QDataStream& operator>>(QDataStream& in, TableInfo& table) {
    return in >> table.name >> table.keptRows;
}

} // namespace lms::Jet
