#pragma once

#include <QString>
#include <optional>

namespace lms::Numbers {

// The general form: a plain decimal in the shortest form with up to 15 significant digits,
// no thousands separator and no trailing zeros (30, 2.5; a single-precision 0.3 widened
// shows as 0.300000011920929).
QString generalForm(double value);

// The two-decimal form "0.00": exactly two decimals, halves rounded away from zero
// (0.125 -> 0.13, 20.4 -> 20.40).
QString twoDecimalForm(double value);

// The whole cents an amount shows in the two-decimal form (0.125 -> 13, 0.300000011920929 -> 30),
// so that sums of cents are sums of the cells as shown.
long long centsAsShown(double value);

// A decimal number as the clerk types it: optional blanks around, optional sign, digits with
// an optional point, an optional exponent. Anything else, or a value out of range, is nothing.
std::optional<double> parseDecimal(const QString& text);

// The same, narrowed to single precision as the settings and amounts are held.
std::optional<float> parseSingle(const QString& text);

// A single-precision value as every amount is stored: 0.1 becomes 0.100000001490116...
inline double widened(float value) {
    return static_cast<double>(value);
}
inline double throughSingle(double value) {
    return static_cast<double>(static_cast<float>(value));
}

} // namespace lms::Numbers
