// The day close of a generated shop's busiest day (the day with the most ledger records): the
// screen's "统计" for every clerk and for one clerk, and the store's reading alone; beside them
// the floor, the same two statements stepped through the engine's C API (or libpq) with every
// value read. Target: 100 ms on the large shop.
// LMS_BENCH_SMALL / LMS_BENCH_LARGE name the folders lms_datagen wrote; with LMS_BENCH_SERVER
// the shops are on that server, as in lms_bench.

#include "BenchSupport.h"
#include "ServerShop.h"

#include "core/LocalTimeZone.h"
#include "core/ScreenContext.h"
#include "queries/DayCloseStore.h"
#include "queries/Tfrm_DayClose.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

namespace lms::bench {
namespace {

struct DayCloseShop {
    DayCloseShop(const QString& generated, const QString& name, const QString& server)
        : label(server.isEmpty() ? name : QStringLiteral("server_") + name),
          serverShop(server.isEmpty()
                         ? nullptr
                         : std::make_unique<ServerShop>(server, generated,
                                                        QStringLiteral("lms_bench_") + name)),
          shop(generated,
               QStringLiteral("/tmp/lms_dayclose_bench_%1_%2")
                   .arg(name)
                   .arg(QCoreApplication::applicationPid()),
               serverShop ? serverShop->connectionString() : QString()),
          ctx{*shop.dm, shop.pub, shop.prompter, shop.clock, shop.host}, screen(ctx) {
        Database& db = shop.dm->db();
        Query busiest(db, QStringLiteral("SELECT substr(时间, 1, 10), COUNT(*) FROM 资金 "
                                         "GROUP BY 1 ORDER BY 2 DESC, 1 LIMIT 1"));
        if (!busiest.next())
            throw DbError(0, "the shop's ledger is empty");
        day = QDate::fromString(busiest.text(0), Qt::ISODate);
        records = busiest.integer(1);
        Query clerk(db, QStringLiteral("SELECT 操作者 FROM 资金 WHERE 时间 >= ? AND 时间 <= ? "
                                       "ORDER BY 操作者 LIMIT 1"));
        clerk.bindAll({DayCloseStore::dayStart(day), DayCloseStore::dayEnd(day)});
        if (clerk.next())
            oneClerk = clerk.text(0);
        // The screen opens on "today": the busiest day.
        shop.clock.set(QDateTime(day, QTime(20, 0)));
        screen.FormShow();
    }
    ~DayCloseShop() {
        const QString folder = shop.folder;
        shop.dm->disconnect();
        QDir(folder).removeRecursively();
    }

    QString label;
    std::unique_ptr<ServerShop> serverShop; // outlives the shop's connection to it
    BenchShop shop;
    ScreenContext ctx;
    Tfrm_DayClose screen;
    QDate day;
    qint64 records = 0;
    QString oneClerk;
};

std::map<QString, std::unique_ptr<DayCloseShop>> shops;

// The two statements the store sends for every clerk, stepped through the engine's own API.
double floorSeconds(DayCloseShop& s) {
    Database& db = s.shop.dm->db();
    const QVariantList range{DayCloseStore::dayStart(s.day), DayCloseStore::dayEnd(s.day)};
    const auto start = Clk::now();
    stepAll(db,
            QStringLiteral("SELECT IFNULL(操作者, ''), IFNULL(事件, ''), 金额总计, 开户费, 押金, "
                           "租金, 逾期罚款, 破损遗失赔偿 FROM 资金 WHERE 时间 >= ? AND 时间 <= ?"),
            range, true);
    stepAll(db,
            QStringLiteral("SELECT IFNULL(操作者, ''), 事件, COUNT(*) FROM 日志 WHERE 时间 >= ? "
                           "AND 时间 <= ? AND 事件 IN (?, ?, ?, ?, ?) GROUP BY 1, 2"),
            range + QVariantList{QStringLiteral("添加读者"), QStringLiteral("读者借书"),
                                 QStringLiteral("读者归书"), QStringLiteral("缴费充值"),
                                 QStringLiteral("删除读者")},
            true);
    return secondsSince(start);
}

void registerDayClose(DayCloseShop& s) {
    const auto run = [&s](benchmark::State& state, const std::function<void()>& work) {
        std::vector<double> times, floors;
        for (auto _ : state) {
            const auto start = Clk::now();
            work();
            const double seconds = secondsSince(start);
            times.push_back(seconds);
            state.SetIterationTime(seconds);
            floors.push_back(floorSeconds(s));
        }
        state.counters["ms"] = median(times) * 1e3;
        state.counters["floor_ms"] = median(floors) * 1e3;
        state.counters["ledger_rows"] = double(s.records);
        if (!s.screen.shown() || s.screen.shown()->day != s.day)
            state.SkipWithError("the day close did not read the day");
        if (s.shop.prompter.boxesShown() > 0)
            state.SkipWithError("a box was shown");
    };
    const std::string prefix = s.label.toStdString() + "/DayClose_busiest_day";
    benchmark::RegisterBenchmark((prefix + "/every_clerk").c_str(),
                                 [&s, run](benchmark::State& state) {
                                     s.screen.ComboBox1.setValue(Tfrm_DayClose::everyClerk());
                                     run(state, [&s] { s.screen.Button2Click(); });
                                 })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark((prefix + "/one_clerk").c_str(),
                                 [&s, run](benchmark::State& state) {
                                     s.screen.ComboBox1.setValue(s.oneClerk);
                                     run(state, [&s] { s.screen.Button2Click(); });
                                     s.screen.ComboBox1.setValue(Tfrm_DayClose::everyClerk());
                                 })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    // Choosing another day also reads that day's clerks for the drop-down.
    benchmark::RegisterBenchmark(
        (prefix + "/choosing_the_day").c_str(),
        [&s, run](benchmark::State& state) {
            run(state, [&s] {
                s.screen.DateTimePicker1.setValue(QDateTime(s.day.addDays(-1), QTime(0, 0)));
                s.screen.DateTimePicker1.setValue(QDateTime(s.day, QTime(0, 0)));
            });
        })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
}

} // namespace
} // namespace lms::bench

int main(int argc, char** argv) {
    // As the program does at start.
    lms::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    using namespace lms::bench;
    const QString server = qEnvironmentVariable("LMS_BENCH_SERVER");
    const bool ready = forEachGeneratedShop(
        "lms_dayclose_bench", [&server](const QString& size, const QString& folder) {
            auto& shop = shops[size];
            shop = std::make_unique<DayCloseShop>(folder, size, server);
            std::fprintf(stderr, "%s shop: busiest day %s, %lld ledger records\n", qPrintable(size),
                         qPrintable(shop->day.toString(Qt::ISODate)),
                         static_cast<long long>(shop->records));
            registerDayClose(*shop);
        });
    if (!ready)
        return 1;
    lms::bench::runRegistered(argc, argv);
    // The working copies are large; only the generated files stay.
    shops.clear();
    return 0;
}
