#include "books/BookPrice.h"

#include "core/NumberForms.h"

#include <cfloat>
#include <cmath>

namespace lms::Books {

std::optional<double> parsePrice(const QString& text) {
    const std::optional<double> value = Numbers::parseDecimal(text);
    if (!value || std::fabs(*value) > FLT_MAX)
        return std::nullopt;
    return value;
}

} // namespace lms::Books
