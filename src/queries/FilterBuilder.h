#pragma once

#include "queries/QueryDefinition.h"

#include <QDateTime>
#include <QHash>
#include <QVariantList>
#include <functional>

namespace lms {

// The statement one run of a query screen executes, with its values bound apart from the text.
struct Statement {
    QString sql;
    QVariantList params;
};

// What the builder needs to know of the screen's fields at the moment of the run.
struct FilterInput {
    std::function<bool(const QString& checkBox)> ticked;
    std::function<QString(const QString& field)> text;
    bool containsMode = false;
    QDateTime rangeStart;
    QDateTime rangeEnd;
    QDateTime now;
};

// Builds a query screen's statement: the start text, one clause per ticked criterion in the
// screen's order, then the order clause. Every typed value and date is a bound parameter.
namespace FilterBuilder {

Statement build(const QueryDefinition& definition, const FilterInput& input);

// A typed value as it takes part: blanks and control characters removed at both ends.
QString criterionValue(const QString& typed);

// Date bounds at the resolution of the pickers' display (seconds), both inclusive.
QString lowerBound(const QDateTime& moment);
QString upperBound(const QDateTime& moment);

} // namespace FilterBuilder

} // namespace lms
