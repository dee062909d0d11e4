// The performance suite: what a clerk waits for, on a generated small and large shop, each
// figure beside its floor (the same statements through the C API, or `cp` for a file copy).
// LMS_BENCH_SMALL / LMS_BENCH_LARGE name the folders lms_datagen wrote. With LMS_BENCH_SERVER
// (a libpq connection string without a database name) the shops are moved onto that server and
// the suite runs there, the floors sent through libpq; the file's own benchmarks (opening the
// encrypted file, backup and restore by copying it) are left out.

#include "BenchSupport.h"
#include "ServerShop.h"

#include "admin/DataBackup.h"
#include "admin/Tfrm_bfffDate.h"
#include "circulation/Tfrm_JNZC.h"
#include "circulation/Tfrm_TZHBook.h"
#include "circulation/Tfrm_TZJBook.h"
#include "core/LocalTimeZone.h"
#include "core/ScreenContext.h"
#include "core/engines/PageKeys.h"
#include "queries/CallList.h"
#include "queries/Tfrm_CHRZ.h"
#include "queries/Tfrm_QAllRec.h"
#include "queries/Tfrm_QCallList.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/Tfrm_QallReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <sqlite3.h>
#include <unistd.h>

namespace lms::bench {
namespace {

std::unique_ptr<ServerShop> onServer(const QString& server, const QString& generated,
                                     const QString& name) {
    if (server.isEmpty())
        return nullptr;
    auto shop =
        std::make_unique<ServerShop>(server, generated, QStringLiteral("lms_bench_") + name);
    std::fprintf(stderr, "%s shop on the server: %s\n", qPrintable(name),
                 shop->moved() ? "moved from the file" : "kept from an earlier run");
    return shop;
}

// One size's working shop with its screens, on the file or, with `server`, on that server.
struct SizedShop {
    SizedShop(const QString& generated, const QString& name, const QString& server)
        : label(server.isEmpty() ? name : QStringLiteral("server_") + name),
          serverShop(onServer(server, generated, name)),
          shop(generated,
               QStringLiteral("/tmp/lms_bench_%1_%2")
                   .arg(name)
                   .arg(QCoreApplication::applicationPid()),
               serverShop ? serverShop->connectionString() : QString()),
          ctx{*shop.dm, shop.pub, shop.prompter, shop.clock, shop.host}, borrowing(ctx),
          returning(ctx, borrowing), payment(ctx) {
        Database& db = shop.dm->db();
        lendReader = db.scalar(QStringLiteral(
                                   "SELECT 读者编号 FROM 读者 WHERE 读者类型 = '包年' AND "
                                   "当前状态 = '正常使用' AND 未还数量 = 0 ORDER BY rowid LIMIT 1"))
                         .toString();
        payReader = db.scalar(QStringLiteral(
                                  "SELECT 读者编号 FROM 读者 WHERE 读者类型 = '包月' AND "
                                  "当前状态 = '正常使用' AND 未还数量 = 0 ORDER BY rowid LIMIT 1"))
                        .toString();
        lookupBook = db.scalar(QStringLiteral("SELECT 图书编号 FROM 图书 WHERE 当前状态 = '未借出' "
                                              "ORDER BY rowid DESC LIMIT 1"))
                         .toString();
        lendBook = db.scalar(QStringLiteral("SELECT 图书编号 FROM 图书 WHERE 当前状态 = '未借出' "
                                            "ORDER BY rowid DESC LIMIT 1 OFFSET 7"))
                       .toString();
        loanReader =
            db.scalar(QStringLiteral("SELECT 读者编号 FROM 借出图书 ORDER BY rowid LIMIT 1"))
                .toString();
        start = shop.clock.now();
    }

    bool lent(const QString& book) {
        return shop.dm->db()
            .scalar(QStringLiteral("SELECT 1 FROM 借出图书 WHERE 图书编号 = ?"), {book})
            .isValid();
    }
    void lend(const QString& reader, const QString& book) {
        borrowing.FormShow();
        borrowing.field(QStringLiteral("tzID")).type(reader);
        borrowing.field(QStringLiteral("tsID")).type(book);
        borrowing.Button1Click();
    }
    void giveBack(const QString& book) {
        returning.FormShow();
        returning.field(QStringLiteral("tsID")).type(book);
        returning.Button1Click();
    }
    Database& db() { return shop.dm->db(); }

    QString label;                          // the size, and whether on a server
    std::unique_ptr<ServerShop> serverShop; // outlives the shop's connection to it
    BenchShop shop;
    ScreenContext ctx;
    Tfrm_TZJBook borrowing;
    Tfrm_TZHBook returning;
    Tfrm_JNZC payment;
    QString lendReader, payReader, lookupBook, lendBook, loanReader;
    QDateTime start;
};

std::map<QString, std::unique_ptr<SizedShop>> shops;

void fail(benchmark::State& state, const char* why) {
    state.SkipWithError(why);
}

// Times `screen` against `floor`, alternating, and reports the medians and their ratio.
// `between` and `after` run untimed, after the screen and after the floor.
void compare(benchmark::State& state, const std::function<void()>& prepare,
             const std::function<void()>& screen, const std::function<void()>& floor,
             const std::function<void()>& between = nullptr,
             const std::function<void()>& after = nullptr) {
    std::vector<double> screenTimes, floorTimes;
    for (auto _ : state) {
        if (prepare)
            prepare();
        auto t = Clk::now();
        screen();
        const double s = secondsSince(t);
        if (between)
            between();
        t = Clk::now();
        floor();
        floorTimes.push_back(secondsSince(t));
        if (after)
            after();
        screenTimes.push_back(s);
        state.SetIterationTime(s);
    }
    const double s = median(screenTimes), f = median(floorTimes);
    state.counters["ms"] = s * 1e3;
    state.counters["floor_ms"] = f * 1e3;
    state.counters["ratio"] = f > 0 ? s / f : 0;
}

void registerCirculation(const QString& size, SizedShop& s) {
    const std::string p = size.toStdString() + "/";
    benchmark::RegisterBenchmark((p + "ReaderLookup").c_str(),
                                 [&s](benchmark::State& state) {
                                     s.borrowing.FormShow();
                                     Field& id = s.borrowing.field(QStringLiteral("tzID"));
                                     const auto lookUp = [&] { id.type(s.lendReader); };
                                     const auto recorded = record(s.db(), lookUp);
                                     compare(
                                         state, [&] { id.setValue(QString()); }, lookUp,
                                         [&] { recorded->replay(); });
                                     if (recorded->size() == 0)
                                         fail(state, "the lookup ran no statement");
                                 })
        ->UseManualTime()
        ->Iterations(300);
    benchmark::RegisterBenchmark((p + "BookLookup").c_str(),
                                 [&s](benchmark::State& state) {
                                     s.borrowing.FormShow();
                                     s.borrowing.field(QStringLiteral("tzID")).type(s.lendReader);
                                     Field& id = s.borrowing.field(QStringLiteral("tsID"));
                                     const auto lookUp = [&] { id.type(s.lookupBook); };
                                     id.setValue(QString());
                                     const auto recorded = record(s.db(), lookUp);
                                     compare(
                                         state, [&] { id.setValue(QString()); }, lookUp,
                                         [&] { recorded->replay(); });
                                     if (recorded->size() == 0)
                                         fail(state, "the lookup ran no statement");
                                 })
        ->UseManualTime()
        ->Iterations(300);
    benchmark::RegisterBenchmark((p + "Lend").c_str(),
                                 [&s](benchmark::State& state) {
                                     s.shop.clock.set(s.start);
                                     const auto lend = [&] { s.lend(s.lendReader, s.lendBook); };
                                     const auto recorded = record(s.db(), lend);
                                     bool ok = s.lent(s.lendBook);
                                     s.giveBack(s.lendBook);
                                     // After the screen and after the replay the book comes back,
                                     // so each lends it again.
                                     const auto giveBack = [&] {
                                         ok = ok && s.lent(s.lendBook);
                                         s.giveBack(s.lendBook);
                                     };
                                     compare(
                                         state, nullptr, lend, [&] { recorded->replay(); },
                                         giveBack, giveBack);
                                     if (!ok)
                                         fail(state, "the book was not lent");
                                 })
        ->UseManualTime()
        ->Iterations(60);
    benchmark::RegisterBenchmark(
        (p + "ReturnWithFine").c_str(),
        [&s](benchmark::State& state) {
            bool ok = true;
            const auto lendEarlier = [&] {
                s.shop.clock.set(s.start);
                s.lend(s.lendReader, s.lendBook);
                ok = ok && s.lent(s.lendBook);
                // Sixty days later: overdue, so the return carries a fine.
                s.shop.clock.set(s.start.addDays(60));
            };
            const auto giveBack = [&] { s.giveBack(s.lendBook); };
            lendEarlier();
            const auto recorded = record(s.db(), giveBack);
            compare(
                state, lendEarlier, giveBack, [&] { recorded->replay(); },
                // Between the two the book is lent again, so the replay returns it again.
                [&] {
                    ok = ok && !s.lent(s.lendBook);
                    s.shop.clock.set(s.start);
                    s.lend(s.lendReader, s.lendBook);
                },
                [&] { ok = ok && !s.lent(s.lendBook); });
            s.shop.clock.set(s.start);
            if (!ok)
                fail(state, "the book was not returned");
        })
        ->UseManualTime()
        ->Iterations(60);
    benchmark::RegisterBenchmark((p + "Payment").c_str(),
                                 [&s](benchmark::State& state) {
                                     const auto pay = [&] {
                                         s.payment.FormShow();
                                         s.payment.field(QStringLiteral("ID")).type(s.payReader);
                                         s.payment.Button2Click();
                                     };
                                     const auto recorded = record(s.db(), pay);
                                     compare(state, nullptr, pay, [&] { recorded->replay(); });
                                     if (!recorded->text().contains(QStringLiteral("缴费充值")))
                                         fail(state, "no payment was stored");
                                 })
        ->UseManualTime()
        ->Iterations(60);
}

// A query screen: opened with everything listed, and once with a filter.
template <class Screen>
void registerQuery(const QString& size, SizedShop& s, const char* name,
                   std::function<void(Screen&)> filter) {
    const std::string p = size.toStdString() + "/Query_" + name;
    auto listing = [&s](benchmark::State& state, bool filtered,
                        std::function<void(Screen&)> setFilter) {
        // A screen of its own, so no earlier listing is held while this one is measured.
        auto screen = std::make_unique<Screen>(s.ctx);
        double peak = 0, before = 0;
        // A second floor, untimed by `compare`: stepping and taking every cell's value out.
        std::vector<double> readTimes;
        // Until the first screenful is listed and the window may show it (the whole listing
        // when it is shorter).
        std::vector<double> firstRowsTimes;
        const auto readAll = [&] {
            const Statement st = screen->statement();
            const auto t = Clk::now();
            stepAll(s.db(), st.sql, st.params, true);
            readTimes.push_back(secondsSince(t));
        };
        compare(
            state,
            [&] {
                if (filtered) {
                    screen->FormShow();
                    setFilter(*screen);
                }
                resetPeakMemory();
                before = peakMemoryMb();
            },
            [&] {
                s.shop.host.firstBreath.reset();
                const auto t = Clk::now();
                if (filtered)
                    screen->Button2Click();
                else
                    screen->FormShow();
                const auto first = s.shop.host.firstBreath.value_or(Clk::now());
                firstRowsTimes.push_back(std::chrono::duration<double>(first - t).count());
                peak = std::max(peak, peakMemoryMb());
            },
            [&] {
                const Statement st = screen->statement();
                stepAll(s.db(), st.sql, st.params);
            },
            nullptr, readAll);
        const double read = median(readTimes);
        state.counters["read_ms"] = read * 1e3;
        state.counters["first_ms"] = median(firstRowsTimes) * 1e3;
        state.counters["ratio_read"] = read > 0 ? state.counters["ms"] / (read * 1e3) : 0;
        state.counters["rows"] = screen->results().rowCount();
        state.counters["peak_MB"] = peak;
        state.counters["rss_before_MB"] = before;
        state.counters["grew_MB"] = peak - before;
    };
    benchmark::RegisterBenchmark(
        (p + "/all").c_str(),
        [listing](benchmark::State& state) { listing(state, false, nullptr); })
        ->UseManualTime()
        ->Iterations(5);
    benchmark::RegisterBenchmark(
        (p + "/filtered").c_str(),
        [listing, filter](benchmark::State& state) { listing(state, true, filter); })
        ->UseManualTime()
        ->Iterations(10);
}

void tick(FormModel& screen, const char* box, const char* field, const QVariant& value) {
    screen.field(QString::fromLatin1(box)).setValue(true);
    screen.field(QString::fromLatin1(field)).setValue(value);
}

void lastMonth(FormModel& screen, const char* box, const QDateTime& now) {
    screen.field(QString::fromLatin1(box)).setValue(true);
    screen.field(QStringLiteral("DateTimePicker1")).setValue(now.addDays(-30));
    screen.field(QStringLiteral("DateTimePicker2")).setValue(now);
}

void registerQueries(const QString& size, SizedShop& s) {
    const QDateTime now = s.start;
    const QString reader = s.loanReader;
    registerQuery<Tfrm_QallBook>(size, s, "QallBook", [](Tfrm_QallBook& q) {
        tick(q, "CheckBox1", "ComboBox1", QStringLiteral("历史"));
    });
    registerQuery<Tfrm_QallReader>(size, s, "QallReader", [](Tfrm_QallReader& q) {
        tick(q, "CheckBox1", "ComboBox1", QStringLiteral("包年"));
    });
    registerQuery<Tfrm_QJCBook>(
        size, s, "QJCBook", [reader](Tfrm_QJCBook& q) { tick(q, "CheckBox3", "Edit3", reader); });
    registerQuery<Tfrm_QAllRec>(
        size, s, "QAllRec", [reader](Tfrm_QAllRec& q) { tick(q, "CheckBox3", "Edit3", reader); });
    registerQuery<Tfrm_CHRZ>(size, s, "CHRZ",
                             [now](Tfrm_CHRZ& q) { lastMonth(q, "CheckBox2", now); });
    registerQuery<Tfrm_QallMoney>(size, s, "QallMoney",
                                  [now](Tfrm_QallMoney& q) { lastMonth(q, "CheckBox2", now); });
    // The call list: "all" is the overdue loans, "filtered" the readers running out.
    registerQuery<Tfrm_QCallList>(size, s, "QCallList", [](Tfrm_QCallList& q) {
        q.RadioGroup1.setValue(Tfrm_QCallList::ExpiringReaders);
    });
    // The status bar's counts of both lists after a login.
    benchmark::RegisterBenchmark(
        (size.toStdString() + "/CallListCounts").c_str(),
        [&s](benchmark::State& state) {
            std::vector<double> times;
            for (auto _ : state) {
                const auto t = Clk::now();
                benchmark::DoNotOptimize(CallList::count(s.db(), s.shop.clock.now(), s.shop.pub));
                times.push_back(secondsSince(t));
                state.SetIterationTime(times.back());
            }
            state.counters["ms"] = median(times) * 1e3;
        })
        ->UseManualTime()
        ->Iterations(10);
}

void registerOpening(const QString& size, SizedShop& s) {
    benchmark::RegisterBenchmark(
        (size.toStdString() + "/OpenToLogin").c_str(),
        [&s](benchmark::State& state) {
            const QString folder = s.shop.folder;
            const QByteArray path = (folder + Tdm_Dbase::kFileName).toUtf8();
            compare(
                state, nullptr,
                [&] {
                    // As at a program's start, no page key is known yet.
                    PageKeys::forget();
                    PubData pub;
                    pub.AppPath = folder;
                    Tdm_Dbase dm(pub);
                    dm.connect();
                    if (!dm.ReadSysSet())
                        state.SkipWithError("settings unreadable");
                },
                [&] {
                    sqlite3* db = nullptr;
                    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
                    sqlite3_key(db, Tdm_Dbase::kPassword.constData(),
                                static_cast<int>(Tdm_Dbase::kPassword.size()));
                    replay(db, {QStringLiteral("SELECT count(*) FROM sqlite_master"),
                                QStringLiteral("PRAGMA user_version"),
                                QStringLiteral("SELECT * FROM sysset ORDER BY rowid")});
                    sqlite3_close_v2(db);
                });
        })
        ->UseManualTime()
        ->Iterations(20);
}

void copyWithCp(const QString& from, const QString& to) {
    const QString command = QStringLiteral("cp '%1' '%2'").arg(from, to);
    if (std::system(command.toLocal8Bit().constData()) != 0)
        throw DbError(0, "cp failed");
}

// A durable copy, the floor of anything that must survive a power cut: `cp`, then one fsync of
// the copy.
void copyDurably(const QString& from, const QString& to) {
    copyWithCp(from, to);
    QFile copy(to);
    if (!copy.open(QIODevice::ReadOnly) || ::fsync(copy.handle()) != 0)
        throw DbError(0, "fsync failed");
}

void registerBackup(const QString& size, SizedShop& s) {
    const std::string p = size.toStdString() + "/";
    benchmark::RegisterBenchmark(
        (p + "Backup").c_str(),
        [&s](benchmark::State& state) {
            Tfrm_bfffDate progress;
            DataBackup backup(s.ctx, progress);
            const QString live = s.shop.dm->databasePath();
            const QString target = s.shop.folder + DataBackup::backupFileName(
                                                       s.start, RegionalFormats().dateSeparator());
            const QString cpTarget = s.shop.folder + QStringLiteral("cp-copy.zqd");
            compare(
                state,
                [&] {
                    QFile::remove(target);
                    QFile::remove(cpTarget);
                },
                [&] { backup.BFDataMenuClick(); }, [&] { copyDurably(live, cpTarget); });
            const double bytes = double(QFileInfo(live).size());
            state.counters["MB"] = bytes / 1e6;
            if (QFileInfo(target).size() != QFileInfo(live).size())
                fail(state, "the backup is not a whole copy");
            QFile::remove(cpTarget);
        })
        ->UseManualTime()
        ->Iterations(5);
    // The floor closes and reopens the connection around the durable copy onto the live file, as
    // the restore does; copy_floor_ms is the copy alone.
    benchmark::RegisterBenchmark((p + "Restore").c_str(),
                                 [&s](benchmark::State& state) {
                                     Tfrm_bfffDate progress;
                                     DataBackup backup(s.ctx, progress);
                                     const QString live = s.shop.dm->databasePath();
                                     const QString chosen =
                                         s.shop.folder + QStringLiteral("restore-from.zqd");
                                     // On the disk before the first run: writing it
                                     // out would slow whichever run came first.
                                     copyDurably(live, chosen);
                                     s.shop.prompter.file = chosen;
                                     std::vector<double> copyTimes;
                                     bool restored = true;
                                     compare(
                                         state, nullptr, [&] { backup.FFDataMenuClick(); },
                                         [&] {
                                             s.shop.dm->disconnect();
                                             const auto t = Clk::now();
                                             copyDurably(chosen, live);
                                             copyTimes.push_back(secondsSince(t));
                                             s.shop.dm->connect();
                                         },
                                         // A refused or failed restore ends with the bar empty.
                                         [&] {
                                             restored = restored &&
                                                        progress.position() == progress.maximum() &&
                                                        progress.maximum() > 0;
                                         });
                                     state.counters["copy_floor_ms"] = median(copyTimes) * 1e3;
                                     s.shop.prompter.file.reset();
                                     if (!s.shop.dm->db().isOpen())
                                         fail(state, "the database did not reopen");
                                     if (!restored)
                                         fail(state, "the restore did not go through");
                                     QFile::remove(chosen);
                                 })
        ->UseManualTime()
        ->Iterations(5);
}

} // namespace
} // namespace lms::bench

int main(int argc, char** argv) {
    // As the program does at start.
    lms::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    using namespace lms::bench;
    const QString server = qEnvironmentVariable("LMS_BENCH_SERVER");
    for (const char* size : {"small", "large"}) {
        const QByteArray folder =
            qgetenv(size == std::string("small") ? "LMS_BENCH_SMALL" : "LMS_BENCH_LARGE");
        if (folder.isEmpty())
            continue;
        const QString name = QString::fromLatin1(size);
        std::unique_ptr<SizedShop> shop;
        try {
            shop = std::make_unique<SizedShop>(QString::fromLocal8Bit(folder), name, server);
        } catch (const lms::DbError& error) {
            std::fprintf(stderr, "lms_bench: the %s shop: %s\n", size, error.what());
            return 1;
        }
        if (server.isEmpty())
            registerOpening(shop->label, *shop);
        registerCirculation(shop->label, *shop);
        registerQueries(shop->label, *shop);
        if (server.isEmpty())
            registerBackup(shop->label, *shop);
        shops[name] = std::move(shop);
    }
    lms::bench::runRegistered(argc, argv);
    QStringList folders;
    for (const auto& [name, shop] : shops)
        folders << shop->shop.folder;
    shops.clear();
    // The working copies are large; only the generated files stay.
    for (const QString& folder : folders)
        QDir(folder).removeRecursively();
    return 0;
}
