// The import of 100,000 books from a CSV file into a generated shop, through the import screen:
// the time until the preview shows its first rows, the check of every row, the store of the
// good rows in one transaction, and the whole. The floor is the store's statements, recorded
// once with their values and sent again through the engine's C API (or libpq).
// LMS_BENCH_SMALL / LMS_BENCH_LARGE name the folders lms_datagen wrote; with LMS_BENCH_SERVER
// the shops are on that server, as in lms_bench.

#include "BenchSupport.h"
#include "ServerShop.h"

#include "core/LocalTimeZone.h"
#include "core/ScreenContext.h"
#include "imports/Tfrm_DRBook.h"
#include "queries/Csv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

namespace lms::bench {
namespace {

constexpr int kBooks = 100000;
// The imported books' ids: eight characters, as the shop's own, in a range of their own.
const QString kIdPrefix = QStringLiteral("I");

// A file of `count` new books as a spreadsheet program saves it: UTF-8 with its mark, the
// columns of "所有图书查询" in another order, quotes and commas in some values.
QString writeBookFile(const QString& folder, int count) {
    const QString path = folder + QStringLiteral("import-books.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw DbError(0, "cannot write the book file");
    QString text =
        Csv::record({QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("作者"),
                     QStringLiteral("图书类型"), QStringLiteral("价格"), QStringLiteral("附件"),
                     QStringLiteral("备注")});
    const QStringList types = {QStringLiteral("小说"), QStringLiteral("历史"),
                               QStringLiteral("科技"), QStringLiteral("少儿")};
    for (int i = 0; i < count; ++i) {
        text += Csv::record({kIdPrefix + QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0')),
                             QStringLiteral("第%1卷，\"新版\"").arg(i),
                             QStringLiteral("作者%1").arg(i % 977), types[i % types.size()],
                             QString::number(10 + i % 90) + QStringLiteral(".50"),
                             i % 5 == 0 ? QStringLiteral("光盘") : QString(),
                             i % 7 == 0 ? QStringLiteral("旧书店购入, 九成新") : QString()});
    }
    file.write(Csv::byteOrderMark() + text.toUtf8());
    return path;
}

std::unique_ptr<ServerShop> onServer(const QString& server, const QString& generated,
                                     const QString& name) {
    if (server.isEmpty())
        return nullptr;
    return std::make_unique<ServerShop>(server, generated, QStringLiteral("lms_bench_") + name);
}

// One size's working shop with the import screen.
struct ImportShop {
    ImportShop(const QString& generated, const QString& name, const QString& server)
        : label(server.isEmpty() ? name : QStringLiteral("server_") + name),
          serverShop(onServer(server, generated, name)),
          shop(generated,
               QStringLiteral("/tmp/lms_import_bench_%1_%2")
                   .arg(name)
                   .arg(QCoreApplication::applicationPid()),
               serverShop ? serverShop->connectionString() : QString()),
          ctx{*shop.dm, shop.pub, shop.prompter, shop.clock, shop.host}, screen(ctx) {}

    qint64 books() {
        return shop.dm->db().scalar(QStringLiteral("SELECT count(*) FROM 图书")).toLongLong();
    }
    // Takes the imported books and their log record out again (untimed).
    void removeImported() {
        Database& db = shop.dm->db();
        Transaction transaction(db);
        Query(db, QStringLiteral("DELETE FROM 图书 WHERE 图书编号 >= ? AND 图书编号 < ?"))
            .bindAll({kIdPrefix, QStringLiteral("J")})
            .exec();
        Query(db, QStringLiteral("DELETE FROM 日志 WHERE 事件 = ?"))
            .bind(1, QStringLiteral("导入图书"))
            .exec();
        transaction.commit();
    }

    ~ImportShop() {
        const QString folder = shop.folder;
        shop.dm->disconnect();
        QDir(folder).removeRecursively();
    }

    QString label;
    std::unique_ptr<ServerShop> serverShop; // outlives the shop's connection to it
    BenchShop shop;
    ScreenContext ctx;
    Tfrm_DRBook screen;
};

std::map<QString, std::unique_ptr<ImportShop>> shops;

void registerImport(ImportShop& s) {
    benchmark::RegisterBenchmark((s.label.toStdString() + "/Import_100k_books").c_str(),
                                 [&s](benchmark::State& state) {
                                     s.shop.prompter.file = writeBookFile(s.shop.folder, kBooks);
                                     const qint64 before = s.books();
                                     // Once beforehand: the store's statements, recorded with their
                                     // values.
                                     s.screen.ImportMenuClick();
                                     s.screen.finishChecking();
                                     const auto recorded =
                                         record(s.shop.dm->db(), [&] { s.screen.Button1Click(); });
                                     bool ok = s.books() == before + kBooks;
                                     s.removeImported();

                                     std::vector<double> firstRows, checks, stores, floors;
                                     double peak = 0;
                                     for (auto _ : state) {
                                         resetPeakMemory();
                                         const auto start = Clk::now();
                                         // Reading, decoding and splitting the file, and checking
                                         // the first rows: the preview opens here.
                                         s.screen.ImportMenuClick();
                                         firstRows.push_back(secondsSince(start));
                                         auto t = Clk::now();
                                         s.screen.finishChecking();
                                         checks.push_back(secondsSince(t));
                                         t = Clk::now();
                                         s.screen.Button1Click();
                                         stores.push_back(secondsSince(t));
                                         state.SetIterationTime(secondsSince(start));
                                         peak = std::max(peak, peakMemoryMb());
                                         ok = ok && s.books() == before + kBooks;
                                         s.removeImported();
                                         t = Clk::now();
                                         recorded->replay();
                                         floors.push_back(secondsSince(t));
                                         ok = ok && s.books() == before + kBooks;
                                         s.removeImported();
                                     }
                                     const double store = median(stores), floor = median(floors);
                                     state.counters["first_rows_ms"] = median(firstRows) * 1e3;
                                     state.counters["check_ms"] = median(checks) * 1e3;
                                     state.counters["store_ms"] = store * 1e3;
                                     state.counters["floor_ms"] = floor * 1e3;
                                     state.counters["ratio"] = floor > 0 ? store / floor : 0;
                                     state.counters["statements"] = double(recorded->size());
                                     state.counters["peak_MB"] = peak;
                                     if (!ok)
                                         state.SkipWithError("the books were not all stored");
                                     QFile::remove(*s.shop.prompter.file);
                                     s.shop.prompter.file.reset();
                                 })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
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
        "lms_import_bench", [&server](const QString& size, const QString& folder) {
            auto& shop = shops[size];
            shop = std::make_unique<ImportShop>(folder, size, server);
            registerImport(*shop);
        });
    if (!ready)
        return 1;
    lms::bench::runRegistered(argc, argv);
    // The working copies are large; only the generated files stay.
    shops.clear();
    return 0;
}
