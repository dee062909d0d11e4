#pragma once

#include "queries/CsvReader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lms::test {

// Reads comma-separated values with the program's own reader; `ok` tells whether the text is
// exactly in the export's form (every record ended by CR LF, every quote in place).
inline QList<QStringList> readCsv(const QString& text, bool* ok) {
    Csv::Reading reading = Csv::read(text);
    *ok = reading.isStrict();
    return std::move(reading.records);
}

// A CSV file as the export writes it: the UTF-8 byte-order mark, then the records.
inline QList<QStringList> readCsvFile(const QByteArray& bytes, bool* ok) {
    if (!bytes.startsWith(QByteArrayLiteral("\xEF\xBB\xBF"))) {
        *ok = false;
        return {};
    }
    return readCsv(QString::fromUtf8(bytes.mid(3)), ok);
}

} // namespace lms::test
