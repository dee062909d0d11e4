#pragma once

// Readable gtest output for the Qt values the unit tests compare.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariantMap>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QDate& date, std::ostream* out) {
    *out << date.toString(Qt::ISODate).toStdString();
}

inline void PrintTo(const QTime& time, std::ostream* out) {
    *out << time.toString(Qt::ISODateWithMs).toStdString();
}

inline void PrintTo(const QDateTime& moment, std::ostream* out) {
    *out << (moment.isValid() ? moment.toString(Qt::ISODateWithMs).toStdString()
                              : std::string("(invalid)"));
}

inline void PrintTo(const QVariant& value, std::ostream* out) {
    *out << (value.isValid() ? value.typeName() : "(invalid)") << ' '
         << value.toString().toStdString();
}

// A row as column name → value, so that a failed comparison names the column that differs.
inline void PrintTo(const QVariantMap& row, std::ostream* out) {
    *out << '{';
    for (auto it = row.begin(); it != row.end(); ++it) {
        *out << (it == row.begin() ? "" : ", ") << it.key().toStdString() << ": ";
        PrintTo(it.value(), out);
    }
    *out << '}';
}
