#pragma once

#include "Check.h"
#include "core/NumberForms.h"

#include <QRegularExpression>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

// What the number forms promise of any finite value, shared by the parser and the form targets.
namespace lms::fuzz {

inline QString shown(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return QString::fromLatin1(buffer);
}

// The 15 significant digits of a value read back by the C library, as an independent measure.
inline double fifteenDigitsThroughLibc(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return std::strtod(buffer, nullptr);
}

inline void checkGeneralForm(double value) {
    static const QRegularExpression plain(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]*[1-9])?$"));
    const QString form = Numbers::generalForm(value);
    const QString context = shown(value) + QStringLiteral(" -> ") + form;
    check(plain.match(form).hasMatch() && form != QStringLiteral("-0"),
          "generalForm is a plain decimal without trailing zeros", context);
    const std::optional<double> back = Numbers::parseDecimal(form);
    check(back.has_value(), "generalForm is read back", context);
    check(*back == fifteenDigitsThroughLibc(value),
          "generalForm reads back as the value's 15 significant digits",
          context + QStringLiteral(" -> ") + shown(*back));
    if (std::fabs(value) >= DBL_MIN) {
        check(Numbers::generalForm(*back) == form, "generalForm of its own reading is the same",
              context);
        check(Numbers::generalForm(-value) ==
                  (form.startsWith(QLatin1Char('-')) ? form.mid(1) : QStringLiteral("-") + form),
              "generalForm of the negated value only flips the sign", context);
    }
}

inline void checkTwoDecimalForm(double value) {
    static const QRegularExpression money(QStringLiteral("^-?(0|[1-9][0-9]*)\\.[0-9][0-9]$"));
    const QString form = Numbers::twoDecimalForm(value);
    const QString context = shown(value) + QStringLiteral(" -> ") + form;
    check(money.match(form).hasMatch() && form != QStringLiteral("-0.00"),
          "twoDecimalForm has exactly two decimals", context);
    const std::optional<double> back = Numbers::parseDecimal(form);
    check(back.has_value(), "twoDecimalForm is read back", context);
    const double tolerance = 0.005 * (1 + 1e-9) + 6e-15 * std::fabs(value);
    check(std::fabs(*back - value) <= tolerance, "twoDecimalForm is within half a cent",
          context + QStringLiteral(" -> ") + shown(*back));
    check(Numbers::twoDecimalForm(*back) == form, "twoDecimalForm of its own reading is the same",
          context);
    // Both forms start from the same 15 digits, so rounding the general form agrees.
    const std::optional<double> general = Numbers::parseDecimal(Numbers::generalForm(value));
    if (general && std::fabs(value) >= DBL_MIN)
        check(Numbers::twoDecimalForm(*general) == form,
              "twoDecimalForm of the general form's reading is the same", context);
}

inline void checkSingleForms(float value) {
    const double wide = Numbers::widened(value);
    const QString form = Numbers::generalForm(wide);
    const QString context = shown(wide) + QStringLiteral(" -> ") + form;
    const std::optional<float> back = Numbers::parseSingle(form);
    check(back.has_value() && *back == value, "a single's general form reads back exactly",
          context);
    const QString money = Numbers::twoDecimalForm(wide);
    const std::optional<float> cents = Numbers::parseSingle(money);
    check(cents.has_value(), "a single's two-decimal form is read back", context);
    const double tolerance = 0.005 * (1 + 1e-6) + 1.2e-7 * std::fabs(wide);
    check(std::fabs(Numbers::widened(*cents) - wide) <= tolerance,
          "a single's two-decimal form is within half a cent (and single rounding)",
          context + QStringLiteral(" / ") + money);
}

// Fifteen significant digits round the largest doubles up past the largest double: their forms
// read back as out of range. Which ones do is what the C library's own reading of those digits
// says (the doubles just below the cut-off round down and stay readable). No amount comes near.
inline bool readable(double value) {
    return std::isfinite(value) && std::isfinite(fifteenDigitsThroughLibc(value));
}

inline void checkFormsOf(double value) {
    if (!std::isfinite(value)) {
        // Never produced by the parser; the forms still give a readable zero.
        check(Numbers::parseDecimal(Numbers::generalForm(value)).has_value(),
              "generalForm of a non-finite value is readable");
        check(Numbers::parseDecimal(Numbers::twoDecimalForm(value)).has_value(),
              "twoDecimalForm of a non-finite value is readable");
        return;
    }
    if (!readable(value)) {
        check(!Numbers::parseDecimal(Numbers::generalForm(value)).has_value(),
              "the general form of the largest doubles reads as out of range", shown(value));
        return;
    }
    checkGeneralForm(value);
    checkTwoDecimalForm(value);
}

} // namespace lms::fuzz
