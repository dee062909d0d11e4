#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

namespace lms {

class Database;

// Money taken in and paid out in each day of a month or each month of a year, with the totals.
struct CashSeries {
    QString title;
    QStringList labels;    // "1" … "31", or "1月" … "12月"
    QList<double> takenIn; // per label
    QList<double> paidOut; // per label, as a positive amount
    double totalIn = 0;
    double totalOut = 0;

    bool operator==(const CashSeries&) const = default;
};

// The sums come from the ledger alone: a record's 金额总计 is money taken in when positive and
// money paid out when negative. The "资金汇总" record that clearing the ledger leaves behind sums
// earlier records, so it is no money of its own day and is left out.
namespace CashTotals {

QString summaryEvent();

// Throws DbError.
CashSeries perDay(Database& db, int year, int month);
CashSeries perMonth(Database& db, int year);

} // namespace CashTotals

} // namespace lms

Q_DECLARE_METATYPE(lms::CashSeries)
