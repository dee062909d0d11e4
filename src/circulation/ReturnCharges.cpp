#include "circulation/ReturnCharges.h"

#include "books/BookPrice.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "readers/Amounts.h"

#include <algorithm>

namespace lms::Circulation {

qint64 overdueDays(const QDateTime& due, const QDateTime& now) {
    return std::max<qint64>(0, Dates::daysBetween(due, now));
}

QString overdueFine(qint64 days, float finePerDay) {
    if (days == 0)
        return QStringLiteral("0");
    return Numbers::generalForm(static_cast<double>(days) * Numbers::widened(finePerDay));
}

QString dailyRent(const QDateTime& lentAt, const QDateTime& now, float rentPerDay) {
    const qint64 days = std::max<qint64>(1, Dates::daysBetween(lentAt, now));
    return Numbers::generalForm(static_cast<double>(days) * Numbers::widened(rentPerDay));
}

QString compensation(const QString& storedPrice, float damageRate) {
    const std::optional<double> price = Books::parsePrice(storedPrice);
    return Numbers::twoDecimalForm(price ? *price * Numbers::widened(damageRate) : 0.0);
}

std::optional<ReturnAmounts> returnAmounts(const QString& fine, const QString& rent,
                                           const QString& compensation, bool damagedOrLost) {
    const std::optional<double> fineValue = Readers::parseAmount(fine);
    const std::optional<double> rentValue = Readers::parseAmount(rent);
    if (!fineValue || !rentValue)
        return std::nullopt;
    ReturnAmounts amounts;
    amounts.fine = *fineValue;
    amounts.rent = *rentValue;
    if (damagedOrLost) {
        const std::optional<double> value = Readers::parseAmount(compensation);
        if (!value)
            return std::nullopt;
        amounts.compensation = *value;
    }
    const double sum = amounts.compensation + amounts.rent + amounts.fine;
    if (!Readers::fitsLedger(sum))
        return std::nullopt;
    // The total is what the clerk sees: the sum in the two-decimal form.
    const std::optional<double> shown = Numbers::parseDecimal(Numbers::twoDecimalForm(sum));
    if (!shown || !Readers::fitsLedger(*shown))
        return std::nullopt;
    amounts.total = *shown;
    return amounts;
}

} // namespace lms::Circulation
