#pragma once

#include <QByteArray>
#include <QString>

namespace lms::Imports {

// A file's bytes as text, with the encoding it was found to be in.
struct DecodedText {
    QString text;
    QString encoding; // "UTF-8", "UTF-8（带BOM）", "UTF-16（带BOM）" or "GBK"
    QString problem;  // why the bytes are not text the program can read; empty when they are
};

// Finds the encoding by itself: a byte-order mark names it; otherwise bytes that are valid UTF-8
// are UTF-8, and bytes that are valid GBK (what spreadsheet programs on Chinese systems write by
// default) are GBK. Bytes holding NUL outside UTF-16 are not text at all.
DecodedText decodeText(const QByteArray& bytes);

} // namespace lms::Imports
