#pragma once

#include "queries/QueryDefinition.h"

// Short ways of writing the criteria tables of the query screens.
namespace lms {

// A typed value: equal to it in exact mode, containing it in contains mode.
inline Criterion value(const QString& box, const QString& caption, const QString& field,
                       const QString& exact, const QString& contains) {
    return {.kind = CriterionKind::Value,
            .checkBox = box,
            .caption = caption,
            .valueField = field,
            .exactFragment = exact,
            .containsFragment = contains};
}

// A drop-down of names stored in the shop (users, book types) that may also be typed into.
inline Criterion storedName(const QString& box, const QString& caption, const QString& field,
                            const QString& exact, const QString& contains) {
    Criterion criterion = value(box, caption, field, exact, contains);
    criterion.valueKind = FieldKind::EditList;
    return criterion;
}

// A drop-down that offers only these items, the first chosen initially.
inline Criterion fixedList(const QString& box, const QString& caption, const QString& field,
                           const QString& exact, const QString& contains,
                           const QStringList& items) {
    Criterion criterion = value(box, caption, field, exact, contains);
    criterion.valueKind = FieldKind::List;
    criterion.fixedItems = items;
    return criterion;
}

inline Criterion dateRange(const QString& box, const QString& caption, const QString& lower,
                           const QString& upper) {
    return {.kind = CriterionKind::DateRange,
            .checkBox = box,
            .caption = caption,
            .exactFragment = lower,
            .containsFragment = lower,
            .upperFragment = upper};
}

inline Criterion beforeToday(const QString& box, const QString& caption, const QString& fragment) {
    return {.kind = CriterionKind::BeforeToday,
            .checkBox = box,
            .caption = caption,
            .exactFragment = fragment,
            .containsFragment = fragment};
}

inline Criterion orderOnly(const QString& box, const QString& caption) {
    return {.kind = CriterionKind::OrderOnly, .checkBox = box, .caption = caption};
}

inline ResultColumn rowNumber() {
    return {.caption = QStringLiteral("序号"), .format = CellFormat::RowNumber};
}

} // namespace lms
