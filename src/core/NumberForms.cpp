#include "core/NumberForms.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace lms::Numbers {

namespace {

// A finite value as 15 significant decimal digits: value = 0.d1d2...d15 x 10^exponent.
struct Decimal {
    bool negative = false;
    std::string digits; // exactly 15 digits, or empty for zero
    int exponent = 0;   // position of the decimal point after the first `exponent` digits
};

Decimal toDecimal(double value) {
    Decimal d;
    if (value == 0 || !std::isfinite(value))
        return d;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const std::string text(buffer); // d.dddddddddddddde[+-]xx
    d.negative = value < 0;
    d.digits = text.substr(0, 1) + text.substr(2, 14);
    d.exponent = std::stoi(text.substr(17)) + 1;
    return d;
}

// Writes the digits with the decimal point in place, keeping `decimals` places
// (-1: as many as there are significant digits, without trailing zeros).
QString place(const Decimal& d, int decimals) {
    std::string integerPart;
    std::string fraction;
    const int count = static_cast<int>(d.digits.size());
    for (int i = 0; i < std::max(d.exponent, 1); ++i) {
        const int index = i - (std::max(d.exponent, 1) - d.exponent);
        integerPart += (index >= 0 && index < count) ? d.digits[index] : '0';
    }
    const int fractionLength = decimals >= 0 ? decimals : std::max(0, count - d.exponent);
    for (int i = 0; i < fractionLength; ++i) {
        const int index = d.exponent + i;
        fraction += (index >= 0 && index < count) ? d.digits[index] : '0';
    }
    if (decimals < 0) {
        while (!fraction.empty() && fraction.back() == '0')
            fraction.pop_back();
    }
    std::string result = integerPart;
    if (!fraction.empty())
        result += "." + fraction;
    const bool zero = result.find_first_not_of("0.") == std::string::npos;
    if (d.negative && !zero)
        result = "-" + result;
    return QString::fromStdString(result);
}

// Rounds the digits at `decimals` places after the point, halves away from zero.
Decimal roundTo(Decimal d, int decimals) {
    const int keep = d.exponent + decimals;
    if (d.digits.empty() || keep >= static_cast<int>(d.digits.size()))
        return d;
    if (keep < 0)
        return Decimal{};
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    if (d.digits.find_first_not_of('0') == std::string::npos)
        d.digits.clear();
    return d;
}

} // namespace

QString generalForm(double value) {
    const Decimal d = toDecimal(value);
    return d.digits.empty() ? QStringLiteral("0") : place(d, -1);
}

QString twoDecimalForm(double value) {
    const Decimal d = roundTo(toDecimal(value), 2);
    return d.digits.empty() ? QStringLiteral("0.00") : place(d, 2);
}

long long centsAsShown(double value) {
    // A value already of whole cents reads back unchanged; only others take the (slow) round
    // trip through the printed form.
    if (std::round(value * 100) / 100 == value)
        return std::llround(value * 100);
    return std::llround(parseDecimal(twoDecimalForm(value)).value_or(0.0) * 100);
}

std::optional<double> parseDecimal(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?\\s*$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    std::string plain = text.trimmed().toStdString();
    if (!plain.empty() && plain.front() == '+')
        plain.erase(0, 1);
    // from_chars ignores the C locale, whose decimal point may not be '.'.
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<float> parseSingle(const QString& text) {
    const std::optional<double> value = parseDecimal(text);
    if (!value || std::isinf(static_cast<float>(*value)))
        return std::nullopt;
    return static_cast<float>(*value);
}

} // namespace lms::Numbers
