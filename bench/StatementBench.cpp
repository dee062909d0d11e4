// lms_statement_bench: a reader's statement ("读者账户明细") of 1,000 ledger lines on a generated
// shop, as the screen lists it with its running balance and check, beside its floor (the same
// statement stepped through the engine's C API). LMS_BENCH_LARGE (or LMS_BENCH_SMALL) names the
// folder lms_datagen wrote; with LMS_BENCH_SERVER the shop is moved onto that server first.

#include "BenchSupport.h"
#include "ServerShop.h"

#include "core/Database.h"
#include "core/LocalTimeZone.h"
#include "core/ScreenContext.h"
#include "queries/Tfrm_ZHMX.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace lms::bench {
namespace {

constexpr int kLines = 1000;

struct StatementShop {
    StatementShop(const QString& generated, const QString& server)
        : serverShop(server.isEmpty()
                         ? nullptr
                         : std::make_unique<ServerShop>(server, generated,
                                                        QStringLiteral("lms_statement_bench"))),
          shop(
              generated,
              QStringLiteral("/tmp/lms_statement_bench_%1").arg(QCoreApplication::applicationPid()),
              serverShop ? serverShop->connectionString() : QString()),
          ctx{*shop.dm, shop.pub, shop.prompter, shop.clock, shop.host}, statement(ctx) {
        Database& db = shop.dm->db();
        reader = db.scalar(QStringLiteral("SELECT 读者编号 FROM 读者 ORDER BY rowid LIMIT 1"))
                     .toString();
        // The reader's lines made up to 1,000, amounts of single precision among them, a day
        // apart from the first back.
        const int have =
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM 资金 WHERE 读者编号 = ?"), {reader})
                .toInt();
        const QDateTime first = QDateTime(QDate(2020, 1, 1), QTime(9, 0));
        Transaction transaction(db);
        for (int i = have; i < kLines; ++i)
            shop.dm->appendLedger(QStringLiteral("缴费充值"), QStringLiteral("admin"),
                                  first.addSecs(3600LL * i),
                                  {.total = 30.1,
                                   .openingFee = 0,
                                   .deposit = 0.1,
                                   .rent = 30,
                                   .fine = 0,
                                   .compensation = 0},
                                  {.readerId = reader, .bookId = QString()});
        transaction.commit();
        lines = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 资金 WHERE 读者编号 = ?"), {reader})
                    .toInt();
        statement.field(QStringLiteral("ID")).setValue(reader);
    }

    std::unique_ptr<ServerShop> serverShop; // outlives the shop's connection to it
    BenchShop shop;
    ScreenContext ctx;
    Tfrm_ZHMX statement;
    QString reader;
    int lines = 0;
};

std::unique_ptr<StatementShop> statementShop;

void statementOfAThousandLines(benchmark::State& state) {
    StatementShop& s = *statementShop;
    std::vector<double> screenTimes, floorTimes;
    for (auto _ : state) {
        auto t = Clk::now();
        s.statement.FormShow();
        const double screen = secondsSince(t);
        const Statement st = s.statement.statement();
        t = Clk::now();
        stepAll(s.shop.dm->db(), st.sql, st.params, true);
        floorTimes.push_back(secondsSince(t));
        screenTimes.push_back(screen);
        state.SetIterationTime(screen);
    }
    if (s.statement.results().rowCount() != s.lines)
        state.SkipWithError("the statement did not list every line");
    const double screen = median(screenTimes), floor = median(floorTimes);
    state.counters["ms"] = screen * 1e3;
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["ratio"] = floor > 0 ? screen / floor : 0;
    state.counters["rows"] = s.statement.results().rowCount();
}

} // namespace
} // namespace lms::bench

int main(int argc, char** argv) {
    // As the program does at start.
    lms::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    using namespace lms::bench;
    QString folder = qEnvironmentVariable("LMS_BENCH_LARGE");
    if (folder.isEmpty())
        folder = qEnvironmentVariable("LMS_BENCH_SMALL");
    if (folder.isEmpty()) {
        std::fprintf(stderr, "lms_statement_bench: set LMS_BENCH_LARGE to a generated shop\n");
        return 1;
    }
    try {
        statementShop =
            std::make_unique<StatementShop>(folder, qEnvironmentVariable("LMS_BENCH_SERVER"));
    } catch (const lms::DbError& error) {
        std::fprintf(stderr, "lms_statement_bench: %s\n", error.what());
        return 1;
    }
    benchmark::RegisterBenchmark("Statement_1000_lines", statementOfAThousandLines)
        ->UseManualTime()
        ->Iterations(20);
    lms::bench::runRegistered(argc, argv);
    const QString work = statementShop->shop.folder;
    statementShop.reset();
    // The working copy is large; only the generated files stay.
    QDir(work).removeRecursively();
    return 0;
}
