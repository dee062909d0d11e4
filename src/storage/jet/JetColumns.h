#pragma once

#include <QString>
#include <optional>

namespace lms::JetMove {

// How the program's tables hold each column of the shop.
enum class Holds { Text, Integer, Real, Date };
Holds holdsOf(const QString& column);

// The column of each table that names a row, which the program keeps unique; empty for none.
QString keyOf(const QString& table);

// The engine's days since 1899-12-30 (local time) as the stored local-time text, to the second;
// nothing for a moment outside the years 1 to 9999.
std::optional<QString> storedDate(double days);

} // namespace lms::JetMove
