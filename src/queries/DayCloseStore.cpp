#include "queries/DayCloseStore.h"

#include "core/Database.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace lms {

namespace {

const QString kSummaryEvent = QStringLiteral("资金汇总");
const QString kReturnEvent = QStringLiteral("读者还书");

enum Column { Total, OpeningFee, Deposit, Rent, Fine, Compensation };

// The log events counted, as the operations write them.
struct CountedEvent {
    const char* event;
    int DayCounts::*count;
};
constexpr CountedEvent kCounted[] = {
    {"添加读者", &DayCounts::registrations}, {"读者借书", &DayCounts::loans},
    {"读者归书", &DayCounts::returns},       {"缴费充值", &DayCounts::payments},
    {"删除读者", &DayCounts::deletions},
};

// " AND 操作者 = ?" and its value when one clerk is asked for.
QString clerkClause(const std::optional<QString>& clerk, QVariantList& params) {
    if (!clerk)
        return {};
    params << *clerk;
    return QStringLiteral(" AND 操作者 = ?");
}

} // namespace

void DayMoney::add(const QString& event, const std::array<double, 6>& amounts) {
    std::array<CentSum, 6> shown{};
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        // A missing amount counts as 0, as in the listing.
        if (!std::isnan(amounts[i]))
            shown[i].addShown(amounts[i]);
        columns[i].add(shown[i]);
    }
    if (event == kSummaryEvent) {
        // What clearing the ledger summed up is no money of this day.
        hasSummary = true;
        summary.add(shown[Total]);
        return;
    }
    const CentSum& deposit = shown[Deposit];
    if (event == kReturnEvent)
        fromDeposits.add(-deposit.value());
    else
        (deposit.cents() > 0 ? depositsIn : depositsRefunded).add(deposit);
    (shown[Total].cents() > 0 ? cashIn : cashOut).add(shown[Total]);
}

void DayMoney::add(const DayMoney& other) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i].add(other.columns[i]);
    for (auto part : {&DayMoney::depositsIn, &DayMoney::depositsRefunded, &DayMoney::fromDeposits,
                      &DayMoney::cashIn, &DayMoney::cashOut, &DayMoney::summary})
        (this->*part).add(other.*part);
    hasSummary = hasSummary || other.hasSummary;
}

void DayCounts::add(const DayCounts& other) {
    for (const CountedEvent& counted : kCounted)
        this->*counted.count += other.*counted.count;
}

namespace DayCloseStore {

QString dayStart(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00.000");
}

QString dayEnd(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 23:59:59.999");
}

DayClose read(Database& db, const QDate& day, const std::optional<QString>& clerk,
              const QStringList& order) {
    QHash<QString, ClerkDay> byClerk;
    const auto of = [&byClerk](const QString& name) -> ClerkDay& {
        ClerkDay& entry = byClerk[name];
        entry.clerk = name;
        return entry;
    };

    QVariantList params{dayStart(day), dayEnd(day)};
    Query ledger(db, QStringLiteral("SELECT IFNULL(操作者, ''), IFNULL(事件, ''), 金额总计, "
                                    "开户费, 押金, 租金, 逾期罚款, 破损遗失赔偿 FROM 资金 "
                                    "WHERE 时间 >= ? AND 时间 <= ?") +
                         clerkClause(clerk, params));
    ledger.bindAll(params);
    while (ledger.next()) {
        std::array<double, 6> amounts{};
        for (int i = 0; i < 6; ++i)
            amounts[i] = ledger.isNull(2 + i) ? std::nan("") : ledger.real(2 + i);
        of(ledger.text(0)).money.add(ledger.text(1), amounts);
    }

    QVariantList logParams{dayStart(day), dayEnd(day)};
    QString events;
    for (const CountedEvent& counted : kCounted) {
        events += events.isEmpty() ? QStringLiteral("?") : QStringLiteral(", ?");
        logParams << QString::fromUtf8(counted.event);
    }
    Query log(db, QStringLiteral("SELECT IFNULL(操作者, ''), 事件, COUNT(*) FROM 日志 "
                                 "WHERE 时间 >= ? AND 时间 <= ? AND 事件 IN (") +
                      events + QStringLiteral(")") + clerkClause(clerk, logParams) +
                      QStringLiteral(" GROUP BY 1, 2"));
    log.bindAll(logParams);
    while (log.next()) {
        const QString event = log.text(1);
        DayCounts& counts = of(log.text(0)).counts;
        for (const CountedEvent& counted : kCounted) {
            if (event == QString::fromUtf8(counted.event))
                counts.*counted.count += static_cast<int>(log.integer(2));
        }
    }

    DayClose close{.day = day, .clerk = clerk, .clerks = {}, .total = {}};
    close.total.clerk = clerk.value_or(QString());
    for (const ClerkDay& entry : std::as_const(byClerk))
        close.clerks.push_back(entry);
    // The shop's users in their order, then anyone else (a user deleted since) by name.
    const auto rank = [&order](const QString& name) {
        const qsizetype at = order.indexOf(name);
        return at < 0 ? order.size() : at;
    };
    std::sort(close.clerks.begin(), close.clerks.end(),
              [&rank](const ClerkDay& a, const ClerkDay& b) {
                  const qsizetype ra = rank(a.clerk);
                  const qsizetype rb = rank(b.clerk);
                  return ra != rb ? ra < rb : a.clerk < b.clerk;
              });
    for (const ClerkDay& entry : close.clerks) {
        close.total.money.add(entry.money);
        close.total.counts.add(entry.counts);
    }
    return close;
}

QStringList clerksOfDay(Database& db, const QDate& day) {
    QStringList names;
    for (const char* table : {"资金", "日志"}) {
        Query query(db,
                    QStringLiteral("SELECT DISTINCT 操作者 FROM %1 WHERE 时间 >= ? AND 时间 <= ? "
                                   "AND 操作者 IS NOT NULL")
                        .arg(QString::fromUtf8(table)));
        query.bindAll({dayStart(day), dayEnd(day)});
        while (query.next()) {
            const QString name = query.text(0);
            if (!names.contains(name))
                names << name;
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace DayCloseStore

} // namespace lms
