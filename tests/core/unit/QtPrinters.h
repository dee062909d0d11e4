#pragma once

// Readable gtest output for the Qt values the unit tests compare.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
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
