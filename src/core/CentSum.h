#pragma once

#include "core/NumberForms.h"

#include <QString>
#include <QtGlobal>
#include <cmath>
#include <cstdlib>

namespace lms {

// A sum of amounts kept in whole cents: exact over any number of rows, where a sum in floating
// point drifts (a whole shop's ledger added in single precision is off by hundreds of yuan).
class CentSum {
public:
    // Adds an amount, taken to the nearest cent (as the listings show amounts).
    void add(double amount) { cents_ += std::llround(amount * 100); }
    // Adds a ledger amount as the listings show it, its two-decimal form: a stored 1.005, a hair
    // below 1.005 as a double, shows and counts as 1.01 where the nearest cent would be 1.00.
    void addShown(double amount) { cents_ += Numbers::centsAsShown(amount); }
    void add(const CentSum& other) { cents_ += other.cents_; }
    qint64 cents() const { return cents_; }
    double value() const { return static_cast<double>(cents_) / 100; }
    // The two-decimal form of the sum ("-1234.50"), exact however large.
    QString text() const {
        const qint64 whole = std::llabs(cents_) / 100;
        const qint64 cents = std::llabs(cents_) % 100;
        return (cents_ < 0 ? QStringLiteral("-") : QString()) + QString::number(whole) +
               QLatin1Char('.') + QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
    }

private:
    qint64 cents_ = 0;
};

} // namespace lms
