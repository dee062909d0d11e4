#pragma once

#include <QDateTime>

namespace lms {
struct PubData;
}

namespace lms::Readers {

// What a reader type costs and allows under the current settings: the proposals of
// registration and of a renewal.
struct TypeTerms {
    int maxBooks = 0;
    int maxDays = 0;
    float deposit = 0;
    float rent = 0; // the rent of one period; 0 for "按日租借", whose rent is charged per day
    float openingFee = 0;
    int months = 0; // length of one period; 0 for "按日租借", which has no validity
};

// The terms of the type with this list index; a type outside the list has all zero.
TypeTerms termsOf(int typeIndex, const PubData& pub);

// The end of one period bought at `from`: `from` plus the type's months, or `from` itself for
// "按日租借".
QDateTime periodEnd(const TypeTerms& terms, const QDateTime& from);

} // namespace lms::Readers
