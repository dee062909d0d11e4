#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lms::test {

// Reads comma-separated values as a spreadsheet program does (RFC 4180): quoted fields may hold
// commas, doubled quotes and line breaks; records end with CR LF. `ok` turns false on text that
// breaks the rules (a quote inside an unquoted field, an unclosed quote, a bare line feed).
inline QList<QStringList> readCsv(const QString& text, bool* ok) {
    *ok = true;
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (!field.isEmpty() || wasQuoted)
                *ok = false;
            quoted = true;
            wasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text[i + 1] == QLatin1Char('\n')) {
            record << field;
            records << record;
            record.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            *ok = false;
        } else {
            if (wasQuoted)
                *ok = false;
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !record.isEmpty())
        *ok = false; // the last record lacks its line end
    return records;
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
