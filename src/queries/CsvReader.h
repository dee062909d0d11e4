#pragma once

#include <QList>
#include <QStringList>
#include <QStringView>

// Reading comma-separated values as spreadsheet programs write them (RFC 4180): the way a
// listing exported by the program, or a spreadsheet saved as CSV, comes back in.
namespace lms::Csv {

struct Reading {
    QList<QStringList> records;
    // Where the text strays from the strict form the export writes; a spreadsheet's file may,
    // and is still read as well as it can be.
    bool bareLineEnds = false; // a record ended with a lone LF or CR instead of CR LF
    bool strayQuotes = false;  // a quote inside an unquoted field, or text after a closing quote
    bool lastUnended = false;  // the last record has no line end
    // The record (counting from 1) whose quoted field never closes: it swallowed the rest of the
    // text, so nothing after its start can be trusted. 0 when every quote closes.
    int unclosedQuoteRecord = 0;

    // Exactly the form the export writes: every record ended by CR LF, every quote in place.
    bool isStrict() const {
        return !bareLineEnds && !strayQuotes && !lastUnended && unclosedQuoteRecord == 0;
    }
};

// How many records and fields `read` makes of a text.
struct Shape {
    qint64 records = 0;
    qint64 fields = 0;
};
// Counts them without making them, so that a text of many empty lines or of many commas can be
// refused before its records take memory.
Shape measure(QStringView text);

// Splits the text into records and fields. Quoted fields may hold commas, doubled quotes and
// line breaks; a record ends with CR LF, LF or CR. A quote inside an unquoted field is kept as
// a character, as spreadsheet programs read it.
Reading read(QStringView text);

} // namespace lms::Csv
