// Moving a shop in from its Jet 4.0 file: the whole move of old-shop-medium.zqd (4,000 readers,
// 12,000 books, 30,000 ledger and 40,000 log rows, 10 MB) into a new encrypted file, through the
// reading child, checked and committed, beside its floor measured in the same run: libmdb alone
// reading every row of the nine tables with every column bound (as mdb-export does), in this
// process. Also reports the peak memory of the program and of the reading child.
//   lms_jet_bench [--benchmark_repetitions=N]   (LMS_BENCH_JET names another file)

#include "BenchSupport.h"

#include "core/LocalTimeZone.h"
#include "core/Schema.h"
#include "storage/jet/JetArrival.h"
#include "storage/jet/JetChild.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/resource.h>
#include <vector>

extern "C" {
#include <mdbtools.h>
}

namespace lms::bench {
namespace {

QString jetFile() {
    const QString named = qEnvironmentVariable("LMS_BENCH_JET");
    return named.isEmpty() ? QStringLiteral(LMS_BENCH_DATA "/old-shop-medium.zqd") : named;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// libmdb's own reading: every table of the shop, every row, every column bound as text.
qint64 readWithLibmdb(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    MdbHandle* mdb = mdb_open(name.constData(), MDB_NOFLAGS);
    if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE))
        throw DbError(0, "libmdb cannot open the file");
    qint64 rows = 0;
    for (const QString& table : Schema::tableNames()) {
        const QByteArray utf8 = table.toUtf8();
        MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(mdb, utf8.constData());
        MdbTableDef* def = entry ? mdb_read_table(entry) : nullptr;
        if (!def)
            throw DbError(0, "libmdb cannot read a table");
        mdb_read_columns(def);
        mdb_rewind_table(def);
        std::vector<std::vector<char>> bound(def->num_cols, std::vector<char>(MDB_BIND_SIZE));
        std::vector<int> lengths(def->num_cols);
        for (unsigned c = 0; c < def->num_cols; ++c)
            mdb_bind_column(def, static_cast<int>(c + 1), bound[c].data(), &lengths[c]);
        while (mdb_fetch_row(def)) {
            for (unsigned c = 0; c < def->num_cols; ++c) {
                auto* column = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c));
                // A memo is read whole, as the move reads it.
                if (column->col_type == MDB_MEMO && lengths[c] > 0)
                    benchmark::DoNotOptimize(bound[c][0]);
            }
            ++rows;
        }
        mdb_free_tabledef(def);
    }
    mdb_close(mdb);
    return rows;
}

double childPeakMb() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_JetMove(benchmark::State& state) {
    const QString jet = jetFile();
    std::vector<double> floors, moves;
    qint64 rows = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        rows = readWithLibmdb(jet);
        floors.push_back(seconds(start));
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("dbase.zqd"));
        start = std::chrono::steady_clock::now();
        JetArrival::moveToNewFile(jet, target);
        const double move = seconds(start);
        moves.push_back(move);
        state.SetIterationTime(move);
    }
    const double floor = median(floors);
    const double move = median(moves);
    state.counters["rows"] = double(rows);
    state.counters["libmdb_s"] = floor;
    state.counters["move_s"] = move;
    state.counters["ratio"] = floor > 0 ? move / floor : 0;
    state.counters["peak_MB"] = peakMemoryMb();
    state.counters["child_peak_MB"] = childPeakMb();
}

} // namespace
} // namespace lms::bench

int main(int argc, char** argv) {
    lms::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    lms::Jet::ChildReader::setProgram(QStringLiteral(LMS_MOVE_PROGRAM));
    benchmark::RegisterBenchmark("JetMove/medium", lms::bench::BM_JetMove)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    lms::bench::runRegistered(argc, argv);
    return 0;
}
