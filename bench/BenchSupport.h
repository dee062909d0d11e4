#pragma once

#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "core/pubdata.h"

#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace lms::bench {

// Answers every question with Yes and every file dialog with the path it is given.
class YesPrompter : public Prompter {
public:
    bool showBox(Icon, Buttons, const QString&) override { return true; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> openFile(const QString&, const QString&) override { return file; }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&) override {
        return file;
    }
    void printPreview(const Printout&) override {}
    void labelPreview(const Labels::LabelDocument&) override {}
    bool labelPdf(const Labels::LabelDocument&, const QString&) override { return false; }
    std::optional<QString> file;
};

// A clock the benchmark sets.
class SetClock : public Clock {
public:
    QDateTime now() const override { return now_; }
    void set(const QDateTime& now) { now_ = now; }

private:
    QDateTime now_;
};

// Shows nothing: a screen shown by another just stays a model. Notes when a long listing first
// lets the window repaint (its first screenful of rows is then listed).
class QuietHost : public ScreenHost {
public:
    void showModal(FormModel&) override {}
    void showModeless(FormModel&, bool) override {}
    bool breathe(FormModel&) override {
        if (!firstBreath)
            firstBreath = std::chrono::steady_clock::now();
        return true;
    }
    std::optional<std::chrono::steady_clock::time_point> firstBreath;
    void quit() override {}
    bool quitting() const override { return false; }
};

// Records the statements a connection runs, with their bound values written in, so the same
// work can be replayed through the C API as the floor.
class StatementRecorder {
public:
    explicit StatementRecorder(sqlite3* db);
    ~StatementRecorder();
    StatementRecorder(const StatementRecorder&) = delete;
    StatementRecorder& operator=(const StatementRecorder&) = delete;
    const QStringList& statements() const { return statements_; }

private:
    static int trace(unsigned type, void* context, void* statement, void* sql);
    sqlite3* db_;
    QStringList statements_;
};

// Runs each statement to its end on the connection: prepare, step every row, finalize.
void replay(sqlite3* db, const QStringList& statements);
// Steps through every row of one statement with its values; returns the row count. With
// `readValues`, also takes every cell's value out of each row.
qint64 stepAll(sqlite3* db, const QString& sql, const QVariantList& params,
               bool readValues = false);

// The statements a piece of work sent, recorded once with their values, on either engine; once
// and untimed, since the trace itself would weigh on a figure of a fraction of a millisecond.
class Recording {
public:
    virtual ~Recording() = default;
    // Sends the same statements with the same values again, through the engine's C API.
    virtual void replay() = 0;
    virtual qsizetype size() const = 0;
    // The statements with their values, as text.
    virtual QString text() const = 0;
};

// Runs `work` and records what it sent: on the file with the engine's trace, on a server with
// libpq's.
std::unique_ptr<Recording> record(Database& db, const std::function<void()>& work);

// `stepAll` on the database's engine, for a statement in the program's dialect.
qint64 stepAll(Database& db, const QString& sql, const QVariantList& params,
               bool readValues = false);

// Peak resident memory of the process since the last reset, in MB (Linux).
void resetPeakMemory();
double peakMemoryMb();

using Clk = std::chrono::steady_clock;
inline double secondsSince(Clk::time_point start) {
    return std::chrono::duration<double>(Clk::now() - start).count();
}
double median(std::vector<double> values);

// Calls `each` with the size ("small", "large") and folder of every generated shop the
// environment names (LMS_BENCH_SMALL, LMS_BENCH_LARGE); false, with the failure told on stderr
// under `program`'s name, when one threw DbError.
bool forEachGeneratedShop(
    const char* program,
    const std::function<void(const QString& size, const QString& folder)>& each);

// Reads the benchmark library's options and runs what was registered.
void runRegistered(int& argc, char** argv);

// A working copy of a generated shop, opened as the program opens it, with the doubles a screen
// needs: a copy of the file in `workFolder`, or with `server`, the shop on that server (a libpq
// connection string), with `workFolder` as the program's folder.
struct BenchShop {
    BenchShop(const QString& generatedFolder, const QString& workFolder,
              const QString& server = {});
    QString folder;
    PubData pub;
    std::unique_ptr<Tdm_Dbase> dm;
    YesPrompter prompter;
    SetClock clock;
    QuietHost host;
};

} // namespace lms::bench
