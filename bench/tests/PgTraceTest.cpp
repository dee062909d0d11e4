// The server floors of the benchmarks: what the program sent, read back from libpq's trace with
// every value as it was bound, sent again with the same effect, and a listing stepped row by row.
#include "PgTrace.h"
#include "BenchSupport.h"

#include "core/Database.h"
#include "core/engines/PgEngine.h"
#include "support/ServerDatabase.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

namespace lms::bench {
namespace {

class PgTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::testServer().isEmpty())
            GTEST_SKIP() << "runs with a test server (label server)";
        server.emplace();
        db.openServer(server->connectionString());
        db.exec(QStringLiteral("CREATE TABLE 借出 (名称 TEXT, 金额 REAL, 数量 INTEGER)"));
    }

    pg_conn* handle() { return dynamic_cast<PgConnection&>(db.connection()).handle(); }

    void insert(const QVariantList& values) {
        Query(db, QStringLiteral("INSERT INTO 借出 (名称, 金额, 数量) VALUES (?, ?, ?)"))
            .bindAll(values)
            .exec();
    }

    qint64 count(const QString& where = QStringLiteral("1 = 1"), const QVariantList& values = {}) {
        return db.scalar(QStringLiteral("SELECT count(*) FROM 借出 WHERE ") + where, values)
            .toLongLong();
    }

    std::optional<test::ServerDatabase> server;
    Database db;
};

TEST_F(PgTraceTest, ReadsEachValueAsItWasBound) {
    // Chinese text, a quote of each kind, a line break, a tab and a backslash that looks like
    // one of the trace's own escapes; a double; a null.
    const QString awkward = QStringLiteral("借书 it's \"a\"\n\t\\x41 end");
    PgTrace trace(handle());
    insert({awkward, 1.25, QVariant()});
    const QList<SentStatement> sent = trace.finish();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_FALSE(sent[0].prepared.isEmpty());
    ASSERT_EQ(sent[0].values.size(), 3);
    EXPECT_EQ(sent[0].values[0], std::optional(awkward.toUtf8()));
    EXPECT_EQ(sent[0].values[1], std::optional(QByteArray("1.25")));
    EXPECT_EQ(sent[0].values[2], std::nullopt);
    EXPECT_EQ(sent[0].binary, QList<int>({0, 0, 0}));
}

TEST_F(PgTraceTest, ReadsAStatementSentWholeWithItsLineBreaks) {
    PgTrace trace(handle());
    PQclear(PQexec(handle(), "SELECT 1,\n'F\t9\tBind'"));
    const QList<SentStatement> sent = trace.finish();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_TRUE(sent[0].prepared.isEmpty());
    EXPECT_EQ(sent[0].text, QByteArray("SELECT 1,\n'F\t9\tBind'"));
}

TEST_F(PgTraceTest, ReplaySendsTheSameWorkAgain) {
    const auto recording = record(db, [&] {
        Transaction transaction(db);
        insert({QStringLiteral("缴费充值"), 30.5, 2});
        transaction.commit();
    });
    EXPECT_TRUE(recording->text().contains(QStringLiteral("缴费充值")));
    // BEGIN, the shop's write lock, the insert, COMMIT.
    EXPECT_EQ(recording->size(), 4);
    recording->replay();
    recording->replay();
    EXPECT_EQ(count(QStringLiteral("名称 = ? AND 金额 = ? AND 数量 = ?"),
                    {QStringLiteral("缴费充值"), 30.5, 2}),
              3);
    EXPECT_FALSE(db.inTransaction());
}

TEST_F(PgTraceTest, ReplayStopsAtAStatementTheServerRefuses) {
    const auto recording = record(db, [&] { insert({QStringLiteral("一"), 1.0, 1}); });
    db.exec(QStringLiteral("DELETE FROM 借出"));
    db.exec(QStringLiteral("ALTER TABLE 借出 ADD CHECK (数量 > 1)"));
    EXPECT_THROW(recording->replay(), DbError);
    EXPECT_EQ(count(), 0);
}

TEST_F(PgTraceTest, SteppingReachesEveryRowTheStatementSelects) {
    for (int i = 1; i <= 5; ++i)
        insert({QStringLiteral("书%1").arg(i), i * 1.5, i});
    const QString sql = QStringLiteral("SELECT * FROM 借出 WHERE 数量 >= ? AND 名称 like ?");
    const QVariantList values = {2, QStringLiteral("书%")};
    EXPECT_EQ(stepAll(db, sql, values), 4);
    EXPECT_EQ(stepAll(db, sql, values, true), 4);
    EXPECT_EQ(stepAll(db, sql, {6, QStringLiteral("%")}, true), 0);
    EXPECT_THROW(stepAll(db, QStringLiteral("SELECT 没有 FROM 借出"), {}), DbError);
    // The connection is free again for the program's own statements.
    EXPECT_EQ(count(), 5);
}

} // namespace
} // namespace lms::bench
