#pragma once

#include <QString>
#include <optional>

namespace lms::Books {

// A price as stored in 图书.价格: a decimal number (blanks around allowed) small enough for the
// single-precision amounts it is charged in. Nothing for any other text.
std::optional<double> parsePrice(const QString& text);

} // namespace lms::Books
