#pragma once

#include <QString>
#include <QStringList>

namespace lms::Gbk {

// Length of a text as the GBK code page stores it: ASCII one byte, every other character two.
int byteLength(const QString& text);

// The longest beginning of the text that fits into the given number of bytes, cut between
// whole characters (as an input field with that limit accepts typing).
QString truncateToBytes(const QString& text, int maxBytes);

// A multi-line remark as it is stored: its lines joined with nothing between them.
QString joinLines(const QString& memoText);

} // namespace lms::Gbk
