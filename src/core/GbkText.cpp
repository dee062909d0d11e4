#include "core/GbkText.h"

namespace lms::Gbk {

namespace {

int bytesOf(char32_t codePoint) {
    return codePoint < 0x80 ? 1 : 2;
}

} // namespace

int byteLength(const QString& text) {
    int bytes = 0;
    for (char32_t codePoint : text.toUcs4())
        bytes += bytesOf(codePoint);
    return bytes;
}

QString truncateToBytes(const QString& text, int maxBytes) {
    int bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        const char32_t codePoint =
            pair ? QChar::surrogateToUcs4(text[end], text[end + 1]) : text[end].unicode();
        if (bytes + bytesOf(codePoint) > maxBytes)
            break;
        bytes += bytesOf(codePoint);
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

QString joinLines(const QString& memoText) {
    QString joined = memoText;
    joined.remove(QLatin1Char('\r'));
    joined.remove(QLatin1Char('\n'));
    return joined;
}

} // namespace lms::Gbk
