// A shop of version 2 brought to version 3 at its first start: the ledger gains its reader and
// book columns, filled from the log. The large generated shop (LMS_BENCH_LARGE, by default
// /tmp/shop_large) is first taken back to version 2 once, untimed; each run then starts the
// program's data module on a fresh copy of it, which upgrades the file.
//   lms_migration_bench [--benchmark_repetitions=N]

#include "BenchSupport.h"

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

// The shop as version 2 kept it: no reader and book in the ledger, no shop name.
void takeBackToVersionTwo(const QString& path) {
    Database db;
    db.open(path, Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
    db.exec(QStringLiteral("DROP INDEX IF EXISTS 资金_读者编号"));
    db.exec(QStringLiteral("ALTER TABLE 资金 DROP COLUMN 读者编号"));
    db.exec(QStringLiteral("ALTER TABLE 资金 DROP COLUMN 图书编号"));
    db.exec(QStringLiteral("ALTER TABLE sysset DROP COLUMN value14"));
    db.setUserVersion(2);
    db.exec(QStringLiteral("VACUUM"));
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
    std::vector<double> runs;
    int unnamed = -1;
    for (auto _ : state) {
        QFile::remove(folder + Tdm_Dbase::kFileName);
        QFile::copy(old, folder + Tdm_Dbase::kFileName);
        PageKeys::forget();
        PubData pub;
        pub.AppPath = folder;
        Tdm_Dbase dm(pub);
        const Clk::time_point start = Clk::now();
        dm.connect();
        const double seconds = secondsSince(start);
        runs.push_back(seconds);
        state.SetIterationTime(seconds);
        unnamed = dm.lastUpgrade().ledgerRowsUnnamed;
        if (dm.db().userVersion() != 3)
            state.SkipWithError("the file was not upgraded");
    }
    state.counters["upgrade_s"] = median(runs);
    state.counters["unnamed_rows"] = unnamed;
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
