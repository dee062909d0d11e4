// Reading CSV as spreadsheet programs write it, beyond the export's strict form: bare line
// feeds, quotes out of place, a last line without its end, and a quote that never closes.
#include "queries/CsvReader.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

TEST(CsvReading, SpreadsheetFilesReadAsTheProgramsThatWroteThemShowThem) {
    struct Case {
        const char* name;
        const char* text;
        QList<QStringList> records;
        bool strict;
    };
    const Case cases[] = {
        {"export", "a,\"b,\"\"c\"\"\r\nd\"\r\n,\r\n", {{"a", "b,\"c\"\r\nd"}, {"", ""}}, true},
        {"line feeds", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}, false},
        {"old line ends", "a\rb\r", {{"a"}, {"b"}}, false},
        {"no last line end", "a,b\r\nc,", {{"a", "b"}, {"c", ""}}, false},
        {"a quote inside a field", "5\"屏幕,x\r\n", {{"5\"屏幕", "x"}}, false},
        {"text after the closing quote", "\"ab\"c,d\r\n", {{"abc", "d"}}, false},
        {"blank lines", "\r\n\r\n", {{""}, {""}}, true},
        {"nothing", "", {}, true},
    };
    for (const Case& c : cases) {
        const Csv::Reading reading = Csv::read(QString::fromUtf8(c.text));
        EXPECT_EQ(reading.records, c.records) << c.name;
        EXPECT_EQ(reading.isStrict(), c.strict) << c.name;
        EXPECT_EQ(reading.unclosedQuoteRecord, 0) << c.name;
    }
}

TEST(CsvReading, AQuoteThatNeverClosesNamesTheRecordItOpensIn) {
    const Csv::Reading reading = Csv::read(u"a,b\r\nc,d\r\ne,\"f\r\ng,h\r\n");
    EXPECT_EQ(reading.unclosedQuoteRecord, 3);
    EXPECT_FALSE(reading.isStrict());
    EXPECT_EQ(reading.records.last(),
              (QStringList{QStringLiteral("e"), QStringLiteral("f\r\ng,h\r\n")}));
}

TEST(CsvReading, TheShapeCountedBeforeReadingIsTheOneReadingMakes) {
    const QString texts[] = {
        QString(),
        QStringLiteral("\r\n\r\n\n\r"),
        QStringLiteral(",,,,"),
        QStringLiteral("a,b\r\nc"),
        QStringLiteral("\"a,\"\"b\"\"\r\n\",c\r\n,\r\n"),
        QStringLiteral("\"x\"y,z\n\"never closed,\r\nstill in it"),
        QStringLiteral("a,\"b\"\r\n\"\"\r\n"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        const Csv::Reading reading = Csv::read(text);
        qint64 fields = 0;
        for (const QStringList& record : reading.records)
            fields += record.size();
        const Csv::Shape shape = Csv::measure(text);
        EXPECT_EQ(shape.records, reading.records.size());
        EXPECT_EQ(shape.fields, fields);
    }
    // Few bytes, many records or fields: what the import refuses before making them.
    EXPECT_EQ(Csv::measure(QString(100000, QLatin1Char('\n'))).records, 100000);
    EXPECT_EQ(Csv::measure(QString(100000, QLatin1Char(','))).fields, 100001);
}

} // namespace
} // namespace lms
