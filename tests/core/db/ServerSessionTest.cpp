// A desk's session on the server: the settings that let a vanished desk release the shop's lock,
// a COMMIT that counts only when the session that began the transaction answers it, and the
// migration two desks start at once. The migration runs on both engines.
#include "books/BookTypes.h"
#include "core/Schema.h"
#include "core/Tdm_Dbase.h"
#include "core/engines/PgEngine.h"
#include "support/ServerDatabase.h"
#include "support/TempProgramFolder.h"

#include <QDateTime>
#include <functional>
#include <gtest/gtest.h>
#include <libpq-fe.h>

namespace lms {
namespace {

#define LMS_SERVER_ONLY()                                                                          \
    if (test::testServer().isEmpty())                                                              \
    GTEST_SKIP() << "runs with the shop on a server (label server)"

// Runs `act` once, right before the desk's next statement that begins with `prefix`.
class BeforeStatement {
public:
    BeforeStatement(Database& db, QString prefix, std::function<void()> act)
        : db_(db), prefix_(std::move(prefix)), act_(std::move(act)) {
        db_.setStatementHook(
            [](void* self, const QString& sql) {
                auto* hook = static_cast<BeforeStatement*>(self);
                if (!hook->act_ || !sql.startsWith(hook->prefix_))
                    return;
                const std::function<void()> once = std::move(hook->act_);
                hook->act_ = nullptr;
                once();
            },
            this);
    }
    ~BeforeStatement() { db_.setStatementHook(nullptr, nullptr); }
    BeforeStatement(const BeforeStatement&) = delete;
    BeforeStatement& operator=(const BeforeStatement&) = delete;
    bool ran() const { return !act_; }

private:
    Database& db_;
    QString prefix_;
    std::function<void()> act_;
};

QString show(Database& db, const char* setting) {
    return db.scalar(QStringLiteral("SHOW ") + QString::fromLatin1(setting)).toString();
}

TEST(ServerSession, ASessionEndsAMinuteIdleInATransactionAndKeepsAskingAfterItsPeer) {
    LMS_SERVER_ONLY();
    test::ServerDatabase database;
    Database db;
    db.openServer(database.connectionString());
    EXPECT_EQ(show(db, "idle_in_transaction_session_timeout"), QStringLiteral("1min"));
    EXPECT_EQ(show(db, "lock_timeout"), QStringLiteral("5s"));
    // The desk's side of a TCP connection: libpq's options of the open connection.
    auto* pg = dynamic_cast<PgConnection*>(&db.connection());
    ASSERT_NE(pg, nullptr);
    QHash<QString, QString> options;
    PQconninfoOption* info = PQconninfo(pg->handle());
    for (const PQconninfoOption* option = info; option->keyword; ++option)
        options.insert(QString::fromLatin1(option->keyword), QString::fromUtf8(option->val));
    PQconninfoFree(info);
    EXPECT_EQ(options.value(QStringLiteral("keepalives")), QStringLiteral("1"));
    EXPECT_EQ(options.value(QStringLiteral("keepalives_idle")), QStringLiteral("20"));
    EXPECT_EQ(options.value(QStringLiteral("keepalives_interval")), QStringLiteral("10"));
    EXPECT_EQ(options.value(QStringLiteral("keepalives_count")), QStringLiteral("3"));

    // The connection's own settings win over the defaults.
    Database tuned;
    tuned.openServer(database.connectionString() + QStringLiteral(" keepalives_idle=7"));
    info = PQconninfo(dynamic_cast<PgConnection&>(tuned.connection()).handle());
    for (const PQconninfoOption* option = info; option->keyword; ++option)
        if (QByteArrayView(option->keyword) == "keepalives_idle") {
            EXPECT_STREQ(option->val, "7");
        }
    PQconninfoFree(info);
}

// Ends the desk's session from another connection, and waits until it is gone.
void endSessionOf(Database& desk, const QString& server) {
    const QVariant pid = desk.scalar(QStringLiteral("SELECT pg_backend_pid()"));
    Database admin;
    admin.openServer(server);
    ASSERT_TRUE(
        admin.scalar(QStringLiteral("SELECT pg_terminate_backend(?, 5000)"), {pid}).toBool());
}

// The session ends right before COMMIT (on the first commit of the connection, when COMMIT is not
// yet prepared on it, and on a later one): the operation fails, nothing is stored, and the
// COMMIT never reaches a new session. The next operation works on a new connection.
TEST(ServerSession, ASessionEndedRightBeforeCommitFailsTheOperationAndStoresNothing) {
    LMS_SERVER_ONLY();
    for (const bool committedBefore : {false, true}) {
        test::ShopDatabase shop;
        Tdm_Dbase& dm = *shop.dm;
        const QDateTime moment(QDate(2026, 12, 9), QTime(9, 0));
        // A fresh connection, on which COMMIT may not have been sent yet.
        dm.disconnect();
        dm.connect();
        const auto addType = [&](const QString& name) {
            Books::addBookType(dm, name, QStringLiteral("admin"), moment);
        };
        if (committedBefore)
            addType(QStringLiteral("早"));
        const qint64 types = shop.count(QStringLiteral("图书类型"));
        const qint64 log = shop.count(QStringLiteral("日志"));
        {
            BeforeStatement hook(dm.db(), QStringLiteral("COMMIT"),
                                 [&] { endSessionOf(dm.db(), shop.server->connectionString()); });
            EXPECT_THROW(addType(QStringLiteral("柜台")), DbError) << committedBefore;
            EXPECT_TRUE(hook.ran());
        }
        EXPECT_EQ(shop.count(QStringLiteral("图书类型")), types) << committedBefore;
        EXPECT_EQ(shop.count(QStringLiteral("日志")), log) << committedBefore;
        addType(QStringLiteral("后"));
        EXPECT_EQ(shop.count(QStringLiteral("图书类型")), types + 1);
    }
}

// A transaction in which a statement failed ends at COMMIT with the server's ROLLBACK: the
// commit fails, as nothing was stored.
TEST(ServerSession, ACommitTheServerAnswersWithRollbackFails) {
    LMS_SERVER_ONLY();
    test::ServerDatabase database;
    Database db;
    db.openServer(database.connectionString());
    db.exec(QStringLiteral("CREATE TABLE t (x INTEGER)"));
    {
        Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO t (x) VALUES (1)"));
        EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO no_such_table (x) VALUES (1)")), DbError);
        EXPECT_THROW(transaction.commit(), DbError);
    }
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM t")).toInt(), 0);
}

// Two desks started after an update on a database of the old version: the second reads the
// version first, then the first runs the whole migration right before the second takes the
// lock. Both open; each step ran once.
TEST(SchemaMigration, TwoDesksStartingOnAnOldVersionAtOnceBothOpenAndTheStepRunsOnce) {
    test::TempProgramFolder folder;
    std::unique_ptr<test::ServerDatabase> server;
    const auto open = [&](Database& db, bool create) {
        if (server)
            return db.openServer(server->connectionString());
        db.open(folder.databasePath(), Tdm_Dbase::kPassword,
                create ? Database::OpenMode::CreateIfMissing : Database::OpenMode::ExistingOnly);
    };
    if (!test::testServer().isEmpty())
        server = std::make_unique<test::ServerDatabase>();
    {
        Database old;
        open(old, true);
        Schema::createEmpty(old, 1);
    }
    Database first;
    Database second;
    open(first, false);
    open(second, false);
    int steps = 0;
    const auto countSteps = [](void* counter, const QString& sql) {
        if (sql.startsWith(QStringLiteral("CREATE INDEX 图书借阅历史记录_")))
            ++*static_cast<int*>(counter);
    };
    first.setStatementHook(countSteps, &steps);
    {
        BeforeStatement meanwhile(second, second.beginStatement(),
                                  [&] { EXPECT_NO_THROW(Schema::upgrade(first)); });
        EXPECT_NO_THROW(Schema::upgrade(second));
        EXPECT_TRUE(meanwhile.ran());
    }
    // The first desk ran the step's three statements; the second found it done (running them
    // again would have failed on the indexes already there).
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(first.userVersion(), Schema::currentVersion());
    EXPECT_EQ(second.userVersion(), Schema::currentVersion());
    // The second desk works on the migrated tables.
    EXPECT_EQ(second.scalar(QStringLiteral("SELECT count(*) FROM 图书借阅历史记录")).toInt(), 0);
}

} // namespace
} // namespace lms
