// The decimal and single-precision parsers over any text: they accept exactly the clerk's
// grammar, agree with the C library's reading, never give NaN or infinity, and what they read
// survives both number forms.
#include "FuzzText.h"
#include "NumberProperties.h"

#include <cerrno>
#include <optional>
#include <string>

namespace {

using lms::fuzz::check;
using lms::fuzz::units;

bool isAsciiBlank(QChar c) {
    return c == QLatin1Char(' ') || (c.unicode() >= 0x09 && c.unicode() <= 0x0d);
}

bool isDigit(const QString& text, qsizetype i) {
    return i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9');
}

// The grammar written out by hand: blanks, sign, digits with an optional point (at least one
// digit), an optional exponent, blanks. Gives the number without the blanks, or nothing.
std::optional<std::string> clerkNumber(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isAsciiBlank(text[begin]))
        ++begin;
    while (end > begin && isAsciiBlank(text[end - 1]))
        --end;
    const QString body = text.mid(begin, end - begin);
    qsizetype i = 0;
    if (i < body.size() && (body[i] == QLatin1Char('+') || body[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    while (isDigit(body, i))
        ++i, ++digits;
    if (i < body.size() && body[i] == QLatin1Char('.')) {
        ++i;
        while (isDigit(body, i))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < body.size() && (body[i] == QLatin1Char('e') || body[i] == QLatin1Char('E'))) {
        ++i;
        if (i < body.size() && (body[i] == QLatin1Char('+') || body[i] == QLatin1Char('-')))
            ++i;
        if (!isDigit(body, i))
            return std::nullopt;
        while (isDigit(body, i))
            ++i;
    }
    if (i != body.size())
        return std::nullopt;
    return body.toStdString();
}

void checkParsers(const QString& text) {
    const QString context = units(text);
    const std::optional<double> value = lms::Numbers::parseDecimal(text);
    const std::optional<float> single = lms::Numbers::parseSingle(text);
    const std::optional<std::string> grammar = clerkNumber(text);

    if (!grammar) {
        check(!value, "text outside the grammar is refused", context);
        check(!single, "text outside the grammar is refused as a single", context);
        return;
    }
    errno = 0;
    const double reference = std::strtod(grammar->c_str(), nullptr);
    const bool outOfRange = errno == ERANGE;
    if (value) {
        check(std::isfinite(*value), "no NaN or infinity is accepted", context);
        check(*value == reference, "the reading agrees with the C library's",
              context + QStringLiteral(" -> ") + lms::fuzz::shown(*value));
    } else {
        check(outOfRange, "a number of the grammar is refused only when out of range", context);
    }

    // The single is the decimal narrowed, refused only when it does not fit.
    if (!value) {
        check(!single, "what the decimal parser refuses the single parser refuses", context);
    } else if (std::isinf(static_cast<float>(*value))) {
        check(!single, "a value beyond single precision is refused", context);
    } else {
        check(single.has_value() && *single == static_cast<float>(*value),
              "the single is the decimal narrowed", context);
    }

    // Blanks around change nothing; anything after the number makes it refused.
    const std::optional<double> padded =
        lms::Numbers::parseDecimal(QStringLiteral(" \t") + text + QStringLiteral("\r\n "));
    check(padded == value, "blanks around do not change the reading", context);
    check(!lms::Numbers::parseDecimal(text + QStringLiteral("x")),
          "a letter after the number is refused", context);
    check(!lms::Numbers::parseDecimal(text + QStringLiteral(",0")),
          "a thousands separator is refused", context);

    if (value)
        lms::fuzz::checkFormsOf(*value);
    if (single)
        lms::fuzz::checkSingleForms(*single);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    checkParsers(lms::fuzz::remainingText(data));
    return 0;
}
