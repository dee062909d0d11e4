// A file brought in for import, whatever its bytes: finding its encoding never fails on them,
// bytes that are UTF-8 read back as themselves, and whatever records the CSV reading finds come
// back the same when written as the export writes them and read again.
#include "Check.h"
#include "FuzzText.h"
#include "imports/TextDecoding.h"
#include "queries/Csv.h"
#include "queries/CsvReader.h"

namespace {

using lms::fuzz::check;
using lms::fuzz::units;

void checkDecoding(const QByteArray& bytes) {
    const lms::Imports::DecodedText decoded = lms::Imports::decodeText(bytes);
    if (decoded.problem.isEmpty() && decoded.encoding == QStringLiteral("UTF-8"))
        check(decoded.text.toUtf8() == bytes, "text found to be UTF-8 is the bytes themselves",
              units(decoded.text));
}

void checkRoundTrip(const QString& text) {
    const lms::Csv::Reading first = lms::Csv::read(text);
    QString written;
    for (const QStringList& record : first.records)
        written += lms::Csv::record(record);
    const lms::Csv::Reading second = lms::Csv::read(written);
    check(second.isStrict(), "what the export writes reads back strictly", units(written));
    check(second.records == first.records, "records written and read again are the same",
          units(text) + QStringLiteral(" -> ") + units(written));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray raw(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    checkDecoding(raw);
    FuzzedDataProvider data(bytes, size);
    checkRoundTrip(lms::fuzz::remainingText(data));
    return 0;
}
