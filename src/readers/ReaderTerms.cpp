#include "readers/ReaderTerms.h"

#include "core/DateRules.h"
#include "core/pubdata.h"
#include "readers/ReaderDomains.h"

namespace lms::Readers {

TypeTerms termsOf(int typeIndex, const PubData& pub) {
    switch (typeIndex) {
    case Monthly:
        return {pub.MonthlyMaxBooks, pub.MonthlyMaxDays,    pub.MonthlyDeposit,
                pub.MonthlyRent,     pub.MonthlyOpeningFee, 1};
    case Quarterly:
        return {pub.QuarterlyMaxBooks, pub.QuarterlyMaxDays,    pub.QuarterlyDeposit,
                pub.QuarterlyRent,     pub.QuarterlyOpeningFee, 3};
    case Yearly:
        return {pub.YearlyMaxBooks, pub.YearlyMaxDays,    pub.YearlyDeposit,
                pub.YearlyRent,     pub.YearlyOpeningFee, 12};
    case Daily:
        return {pub.DailyMaxBooks, pub.DailyMaxDays, pub.DailyDeposit, 0, pub.DailyOpeningFee, 0};
    default:
        return {};
    }
}

QDateTime periodEnd(const TypeTerms& terms, const QDateTime& from) {
    return terms.months > 0 ? Dates::plusMonths(from, terms.months) : from;
}

} // namespace lms::Readers
