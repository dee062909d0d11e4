#include "core/LineText.h"

namespace lms::LineText {

namespace {

Breaker kindOf(char16_t c) {
    switch (c) {
    case u'\t':
        return Breaker::Tab;
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case u'\x85':
    case u'\x2028':
    case u'\x2029':
        return Breaker::LineBreak;
    default:
        return Breaker::Control;
    }
}

bool forbidden(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

} // namespace

std::optional<Forbidden> firstForbidden(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (forbidden(c))
            return Forbidden{.position = i, .kind = kindOf(c), .code = c};
    }
    return std::nullopt;
}

QString described(const Forbidden& forbidden) {
    QString what;
    switch (forbidden.kind) {
    case Breaker::LineBreak:
        what = QStringLiteral("换行符");
        break;
    case Breaker::Tab:
        what = QStringLiteral("制表符");
        break;
    case Breaker::Control:
        what = QStringLiteral("控制字符（U+%1）")
                   .arg(QString::number(forbidden.code, 16).toUpper().rightJustified(4, u'0'));
        break;
    }
    return QStringLiteral("第%1个字符是").arg(forbidden.position + 1) + what;
}

} // namespace lms::LineText
