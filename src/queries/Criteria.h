#pragma once

#include "queries/QueryDefinition.h"

// Short ways of writing the criteria tables of the query screens.
namespace lms {

inline Criterion value(const QString& box, const QString& caption, const QString& field,
                       const QString& exact, const QString& contains) {
    return {CriterionKind::Value, box, caption, field, exact, contains, {}, {}};
}

inline Criterion fixedList(const QString& box, const QString& caption, const QString& field,
                           const QString& exact, const QString& contains,
                           const QStringList& items) {
    return {CriterionKind::Value, box, caption, field, exact, contains, {}, items};
}

inline Criterion dateRange(const QString& box, const QString& caption, const QString& lower,
                           const QString& upper) {
    return {CriterionKind::DateRange, box, caption, {}, lower, lower, upper, {}};
}

inline Criterion beforeToday(const QString& box, const QString& caption, const QString& fragment) {
    return {CriterionKind::BeforeToday, box, caption, {}, fragment, fragment, {}, {}};
}

inline Criterion orderOnly(const QString& box, const QString& caption) {
    return {CriterionKind::OrderOnly, box, caption, {}, {}, {}, {}, {}};
}

inline ResultColumn rowNumber() {
    return {QStringLiteral("序号"), {}, CellFormat::RowNumber};
}

} // namespace lms
