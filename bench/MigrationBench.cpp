// A shop of version 2 brought to version 3 at its first start: the ledger gains its reader and
// book columns, filled from the log. The large generated shop (LMS_BENCH_LARGE, by default
// /tmp/shop_large) is first taken back to version 2 once, untimed; each run then starts the
// program's data module on a fresh copy of it, which upgrades the file.
// With LMS_BENCH_SERVER the same on that server: the shop is moved there once (and kept), and each
// run takes a fresh copy of it back to version 2 (the server drops the columns in place).
//   lms_migration_bench [--benchmark_repetitions=N]

#include "BenchSupport.h"
#include "ServerShop.h"

#include "core/Database.h"
#include "core/LocalTimeZone.h"
#include "core/Tdm_Dbase.h"
#include "core/engines/PageKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace lms::bench {
namespace {

QString largeShop() {
    const QString named = qEnvironmentVariable("LMS_BENCH_LARGE");
    return (named.isEmpty() ? QStringLiteral("/tmp/shop_large") : named) + QLatin1Char('/') +
           Tdm_Dbase::kFileName;
}

// The shop as version 2 kept it: no reader and book in the ledger, no shop name. The file's
// engine cannot drop a column, so both tables are made again without them.
void takeBackToVersionTwo(const QString& path) {
    Database db;
    db.open(path, Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
    Transaction transaction(db);
    db.exec(QStringLiteral("CREATE TABLE 资金旧 (事件 TEXT, 操作者 TEXT, 时间 TEXT, 金额总计 REAL, "
                           "开户费 REAL, 押金 REAL, 租金 REAL, 逾期罚款 REAL, 破损遗失赔偿 REAL)"));
    db.exec(QStringLiteral("INSERT INTO 资金旧 SELECT 事件, 操作者, 时间, 金额总计, 开户费, 押金, "
                           "租金, 逾期罚款, 破损遗失赔偿 FROM 资金 ORDER BY rowid"));
    db.exec(QStringLiteral("DROP TABLE 资金"));
    db.exec(QStringLiteral("ALTER TABLE 资金旧 RENAME TO 资金"));
    db.exec(QStringLiteral("CREATE INDEX 资金_时间 ON 资金 (时间)"));
    QString columns;
    for (int i = 1; i <= 13; ++i)
        columns +=
            (i > 1 ? QStringLiteral(", value") : QStringLiteral("value")) + QString::number(i);
    db.exec(QStringLiteral("CREATE TABLE sysset旧 AS SELECT %1 FROM sysset ORDER BY rowid")
                .arg(columns));
    db.exec(QStringLiteral("DROP TABLE sysset"));
    db.exec(QStringLiteral("ALTER TABLE sysset旧 RENAME TO sysset"));
    db.setUserVersion(2);
    transaction.commit();
    db.exec(QStringLiteral("VACUUM"));
}

// The starts of one benchmark, each of which upgrades the shop.
struct Upgrades {
    std::vector<double> seconds;
    int unnamed = -1;

    void timedStart(benchmark::State& state, Tdm_Dbase& dm) {
        const Clk::time_point start = Clk::now();
        dm.connect();
        seconds.push_back(secondsSince(start));
        state.SetIterationTime(seconds.back());
        unnamed = dm.lastUpgrade().ledgerRowsUnnamed;
        if (dm.db().userVersion() != 3)
            state.SkipWithError("the shop was not upgraded");
    }
    void report(benchmark::State& state) const {
        state.counters["upgrade_s"] = median(seconds);
        state.counters["unnamed_rows"] = unnamed;
    }
};

void takeBackToVersionTwoOnServer(const QString& connection) {
    Database db;
    db.openServer(connection);
    Transaction transaction(db);
    db.exec(QStringLiteral("DROP INDEX 资金_读者编号"));
    db.exec(QStringLiteral("ALTER TABLE 资金 DROP COLUMN 读者编号, DROP COLUMN 图书编号"));
    db.exec(QStringLiteral("ALTER TABLE sysset DROP COLUMN value14"));
    db.setUserVersion(2);
    transaction.commit();
}

void BM_UpgradeOnServer(benchmark::State& state, const QString& server) {
    QTemporaryDir work;
    const QString folder = largeShop().section(QLatin1Char('/'), 0, -2);
    Upgrades upgrade;
    for (auto _ : state) {
        ServerShop shop(server, folder, QStringLiteral("lms_migration"));
        takeBackToVersionTwoOnServer(shop.connectionString());
        PubData pub;
        pub.AppPath = work.path() + QLatin1Char('/');
        Tdm_Dbase dm(pub);
        dm.useServer(shop.connectionString());
        upgrade.timedStart(state, dm);
        dm.disconnect();
    }
    upgrade.report(state);
}

void BM_UpgradeToVersionThree(benchmark::State& state) {
    QTemporaryDir work;
    const QString old = work.filePath(QStringLiteral("version2.zqd"));
    if (!QFile::copy(largeShop(), old)) {
        state.SkipWithError("no large shop: run lms_datagen large /tmp/shop_large");
        return;
    }
    takeBackToVersionTwo(old);
    const QString folder = work.filePath(QStringLiteral("shop")) + QLatin1Char('/');
    QDir().mkpath(folder);
    Upgrades upgrade;
    for (auto _ : state) {
        QFile::remove(folder + Tdm_Dbase::kFileName);
        QFile::copy(old, folder + Tdm_Dbase::kFileName);
        PageKeys::forget();
        PubData pub;
        pub.AppPath = folder;
        Tdm_Dbase dm(pub);
        upgrade.timedStart(state, dm);
    }
    upgrade.report(state);
    state.counters["peak_MB"] = peakMemoryMb();
}

} // namespace
} // namespace lms::bench

int main(int argc, char** argv) {
    lms::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    benchmark::RegisterBenchmark("UpgradeToVersion3/large", lms::bench::BM_UpgradeToVersionThree)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    const QString server = qEnvironmentVariable("LMS_BENCH_SERVER");
    if (!server.isEmpty())
        benchmark::RegisterBenchmark("UpgradeToVersion3/large/server",
                                     lms::bench::BM_UpgradeOnServer, server)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    lms::bench::runRegistered(argc, argv);
    return 0;
}
