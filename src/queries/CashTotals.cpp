#include "queries/CashTotals.h"

#include "core/Database.h"
#include "core/DateRules.h"

#include <QDate>

namespace lms::CashTotals {

namespace {

// Adds the ledger's money of [from, to) into the slots numbered by the two digits of the stored
// time at `position` (the day or the month), counting from 1.
void collect(Database& db, const QDate& from, const QDate& to, int position, CashSeries& series) {
    Query query(db,
                QStringLiteral("SELECT CAST(substr(时间, ?, 2) AS INTEGER), "
                               "SUM(CASE WHEN 金额总计 > 0 THEN 金额总计 ELSE 0 END), "
                               "SUM(CASE WHEN 金额总计 < 0 THEN -金额总计 ELSE 0 END) "
                               "FROM 资金 WHERE 时间 >= ? AND 时间 < ? AND IFNULL(事件, '') <> ? "
                               "GROUP BY 1"));
    query.bindAll({position, Dates::toStorage(from.startOfDay()), Dates::toStorage(to.startOfDay()),
                   summaryEvent()});
    while (query.next()) {
        const qint64 slot = query.integer(0) - 1;
        if (slot < 0 || slot >= series.labels.size())
            continue;
        series.takenIn[slot] += query.real(1);
        series.paidOut[slot] += query.real(2);
    }
    for (qsizetype i = 0; i < series.labels.size(); ++i) {
        series.totalIn += series.takenIn[i];
        series.totalOut += series.paidOut[i];
    }
}

void makeSlots(CashSeries& series, int count, const QString& suffix) {
    for (int i = 1; i <= count; ++i)
        series.labels << QString::number(i) + suffix;
    series.takenIn.fill(0.0, count);
    series.paidOut.fill(0.0, count);
}

} // namespace

QString summaryEvent() {
    return QStringLiteral("资金汇总");
}

CashSeries perDay(Database& db, int year, int month) {
    const QDate first(year, month, 1);
    CashSeries series;
    series.title = QStringLiteral("%1年%2月 每日收支").arg(year).arg(month);
    makeSlots(series, first.daysInMonth(), QString());
    collect(db, first, first.addMonths(1), 9, series);
    return series;
}

CashSeries perMonth(Database& db, int year) {
    const QDate first(year, 1, 1);
    CashSeries series;
    series.title = QStringLiteral("%1年 每月收支").arg(year);
    makeSlots(series, 12, QStringLiteral("月"));
    collect(db, first, first.addYears(1), 6, series);
    return series;
}

} // namespace lms::CashTotals
