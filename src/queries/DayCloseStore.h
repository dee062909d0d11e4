#pragma once

#include "core/CentSum.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace lms {

class Database;

// The money one clerk (or every clerk) moved in one day, read from the ledger as the system
// writes it: money taken in is positive, money paid out negative; a return paid from the deposit
// takes no cash (金额总计 0) and lowers the deposit by its charges (押金 −total), a return paid in
// cash takes the total; a deletion pays the deposit back (押金 and 金额总计 −deposit).
struct DayMoney {
    // The six columns of 资金 summed as the money listing sums them, whatever the event.
    std::array<CentSum, 6> columns{}; // 金额总计, 开户费, 押金, 租金, 逾期罚款, 破损遗失赔偿
    CentSum depositsIn;               // 押金 taken in: registrations and payments
    CentSum depositsRefunded; // 押金 paid back (negative): deletions, a payment lowering it
    CentSum fromDeposits;     // charges of returns taken from the deposit (positive)
    CentSum cashIn;           // positive 金额总计
    CentSum cashOut;          // negative 金额总计
    CentSum summary; // 金额总计 of a "资金汇总" record: earlier days' money, no cash
    bool hasSummary = false;

    void add(const QString& event, const std::array<double, 6>& amounts);
    void add(const DayMoney& other);
};

// The operations of the day, counted from their log records.
struct DayCounts {
    int registrations = 0; // 添加读者
    int loans = 0;         // 读者借书
    int returns = 0;       // 读者归书
    int payments = 0;      // 缴费充值
    int deletions = 0;     // 删除读者

    void add(const DayCounts& other);
    bool operator==(const DayCounts&) const = default;
};

struct ClerkDay {
    QString clerk;
    DayMoney money;
    DayCounts counts;
};

// One day's close: each clerk who moved money or logged one of the counted operations that
// day, and their sum.
struct DayClose {
    QDate day;
    std::optional<QString> clerk; // none: every clerk
    std::vector<ClerkDay> clerks; // in the order of `order`, then by name
    ClerkDay total;
};

namespace DayCloseStore {

// The day as the money listing's date range takes it: from 00:00:00.000 to 23:59:59.999.
QString dayStart(const QDate& day);
QString dayEnd(const QDate& day);

// The day's figures of one clerk, or of every clerk; clerks listed in `order` come first, in
// that order. Throws DbError.
DayClose read(Database& db, const QDate& day, const std::optional<QString>& clerk,
              const QStringList& order = {});

// The clerks named by the day's ledger and log records, sorted. Throws DbError.
QStringList clerksOfDay(Database& db, const QDate& day);

} // namespace DayCloseStore

} // namespace lms
