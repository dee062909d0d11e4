#pragma once

#include <QString>
#include <optional>

namespace lms::Readers {

// An amount as the clerk types it: a decimal number (blanks around allowed) that the ledger's
// single-precision columns can hold. Nothing for any other text, "1e400" and "1e39" included.
std::optional<double> parseAmount(const QString& text);

// Whether a computed amount (a sum of parsed ones) still fits the ledger.
bool fitsLedger(double amount);

} // namespace lms::Readers
