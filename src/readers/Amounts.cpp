#include "readers/Amounts.h"

#include "core/NumberForms.h"

#include <cfloat>
#include <cmath>

namespace lms::Readers {

std::optional<double> parseAmount(const QString& text) {
    const std::optional<double> value = Numbers::parseDecimal(text);
    if (!value || !fitsLedger(*value))
        return std::nullopt;
    return value;
}

bool fitsLedger(double amount) {
    return std::fabs(amount) <= FLT_MAX;
}

} // namespace lms::Readers
