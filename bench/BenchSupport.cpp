#include "BenchSupport.h"

#include "PgTrace.h"

#include "core/DbError.h"
#include "core/engines/PgEngine.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sqlite3.h>

namespace lms::bench {

StatementRecorder::StatementRecorder(sqlite3* db) : db_(db) {
    sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &StatementRecorder::trace, this);
}

StatementRecorder::~StatementRecorder() {
    sqlite3_trace_v2(db_, 0, nullptr, nullptr);
}

int StatementRecorder::trace(unsigned, void* context, void* statement, void*) {
    auto* self = static_cast<StatementRecorder*>(context);
    char* expanded = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
    if (expanded) {
        self->statements_ << QString::fromUtf8(expanded);
        sqlite3_free(expanded);
    }
    return 0;
}

void replay(sqlite3* db, const QStringList& statements) {
    for (const QString& sql : statements) {
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &stmt,
                               nullptr) != SQLITE_OK)
            throw DbError(sqlite3_errcode(db), sqlite3_errmsg(db));
        while (sqlite3_step(stmt) == SQLITE_ROW) {
        }
        sqlite3_finalize(stmt);
    }
}

qint64 stepAll(sqlite3* db, const QString& sql, const QVariantList& params, bool readValues) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr) !=
        SQLITE_OK)
        throw DbError(sqlite3_errcode(db), sqlite3_errmsg(db));
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params[i];
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            sqlite3_bind_double(stmt, i + 1, v.toDouble());
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
            sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
        } else {
            const QByteArray text = v.toString().toUtf8();
            sqlite3_bind_text(stmt, i + 1, text.constData(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT);
        }
    }
    qint64 rows = 0;
    const int columns = sqlite3_column_count(stmt);
    std::size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        // Each value handed over in the form a screen keeps it: numbers as doubles, the rest
        // as UTF-8 text.
        for (int c = 0; readValues && c < columns; ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_TEXT) {
                sqlite3_column_text(stmt, c);
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, c));
            } else {
                bytes += static_cast<std::size_t>(sqlite3_column_double(stmt, c) != 0);
            }
        }
    }
    benchmark::DoNotOptimize(bytes);
    sqlite3_finalize(stmt);
    return rows;
}

namespace {

class FileRecording : public Recording {
public:
    FileRecording(sqlite3* db, QStringList statements)
        : db_(db), statements_(std::move(statements)) {}
    void replay() override { bench::replay(db_, statements_); }
    qsizetype size() const override { return statements_.size(); }
    QString text() const override { return statements_.join(QLatin1Char('\n')); }

private:
    sqlite3* db_;
    QStringList statements_;
};

class ServerRecording : public Recording {
public:
    ServerRecording(pg_conn* connection, QList<SentStatement> statements)
        : connection_(connection), statements_(std::move(statements)) {}
    void replay() override { bench::replay(connection_, statements_); }
    qsizetype size() const override { return statements_.size(); }
    QString text() const override { return describe(statements_); }

private:
    pg_conn* connection_;
    QList<SentStatement> statements_;
};

pg_conn* serverHandle(Database& db) {
    return dynamic_cast<PgConnection&>(db.connection()).handle();
}

} // namespace

std::unique_ptr<Recording> record(Database& db, const std::function<void()>& work) {
    if (db.isFile()) {
        StatementRecorder recorder(db.handle());
        work();
        return std::make_unique<FileRecording>(db.handle(), recorder.statements());
    }
    PgTrace trace(serverHandle(db));
    work();
    return std::make_unique<ServerRecording>(serverHandle(db), trace.finish());
}

qint64 stepAll(Database& db, const QString& sql, const QVariantList& params, bool readValues) {
    if (db.isFile())
        return stepAll(db.handle(), sql, params, readValues);
    return stepAll(serverHandle(db), PgConnection::toServerDialect(sql, nullptr), params,
                   readValues);
}

void resetPeakMemory() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

double peakMemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

bool forEachGeneratedShop(
    const char* program,
    const std::function<void(const QString& size, const QString& folder)>& each) {
    const std::pair<const char*, const char*> sizes[] = {{"small", "LMS_BENCH_SMALL"},
                                                         {"large", "LMS_BENCH_LARGE"}};
    for (const auto& [size, variable] : sizes) {
        const QString folder = qEnvironmentVariable(variable);
        if (folder.isEmpty())
            continue;
        try {
            each(QString::fromLatin1(size), folder);
        } catch (const DbError& error) {
            std::fprintf(stderr, "%s: the %s shop: %s\n", program, size, error.what());
            return false;
        }
    }
    return true;
}

void runRegistered(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

BenchShop::BenchShop(const QString& generatedFolder, const QString& workFolder,
                     const QString& server)
    : folder(workFolder + QLatin1Char('/')) {
    QDir().mkpath(workFolder);
    QFile::remove(folder + Tdm_Dbase::kFileName);
    if (server.isEmpty() &&
        !QFile::copy(generatedFolder + QStringLiteral("/dbase.zqd"), folder + Tdm_Dbase::kFileName))
        throw DbError(0, "cannot copy the generated database");
    pub.AppPath = folder;
    pub.CurrentUser = QStringLiteral("admin");
    dm = std::make_unique<Tdm_Dbase>(pub);
    dm->useServer(server);
    dm->connect();
    if (!dm->ReadSysSet())
        throw DbError(0, "cannot read the settings");
    clock.set(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
}

} // namespace lms::bench
