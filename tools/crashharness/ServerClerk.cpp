#include "ServerClerk.h"

#include "ClerkJournal.h"
#include "KillLoop.h"
#include "RandomClerk.h"
#include "ShopSession.h"

#include "core/DbError.h"

#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace lms::crash {

namespace {

// The statement an operation ran last before it failed; the rollback after it is no news.
struct StatementTrail {
    QString last;
    static void record(void* context, const QString& sql) {
        if (!sql.startsWith(QStringLiteral("ROLLBACK")) &&
            !sql.startsWith(QStringLiteral("RELEASE")))
            static_cast<StatementTrail*>(context)->last = sql;
    }
};

bool connectionWorks(Database& db) {
    try {
        db.scalar(QStringLiteral("SELECT 1"));
        return true;
    } catch (const DbError&) {
        return false;
    }
}

// The server process serving the connection (0 when there is none): a new one means the data
// module connected anew, so the connection was lost.
qint64 backendOf(Database& db) {
    try {
        return db.scalar(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
    } catch (const DbError&) {
        return 0;
    }
}

bool serverAnswers(const QString& server) {
    try {
        Database probe;
        probe.openServer(server);
        return true;
    } catch (const DbError&) {
        return false;
    }
}

// Opens the shop, waiting for a server that is being restarted; false when the parent is gone
// or a minute went by.
bool openWhenServerAnswers(OpenShop& shop, pid_t parent) {
    for (int attempt = 0; attempt < 600 && getppid() == parent; ++attempt) {
        try {
            shop.open();
            return true;
        } catch (const DbError&) {
            shop.dm.disconnect();
            QThread::msleep(100);
        }
    }
    return false;
}

// Once the server is back: whether the data module connects anew by itself, and if not the shop
// opened anew.
bool reopen(OpenShop& shop, const QString& server, ClerkJournal& journal, pid_t parent) {
    while (getppid() == parent && !serverAnswers(server))
        QThread::msleep(100);
    if (connectionWorks(shop.dm.db())) {
        journal.reconnected(true);
        return true;
    }
    shop.dm.disconnect();
    if (!openWhenServerAnswers(shop, parent))
        return false;
    journal.reconnected(false);
    return true;
}

} // namespace

QString journalPath(const QString& folder, int process) {
    return folder + QStringLiteral("/clerk-%1.journal").arg(process);
}

int deskOf(int process) {
    return 1 + (process - 1) % 999;
}

int runServerClerk(const HarnessOptions& options) {
    const pid_t parent = getppid();
    OpenShop shop(options.folder, options.server);
    StatementTrail trail;
    shop.dm.db().setStatementHook(&StatementTrail::record, &trail);
    if (!openWhenServerAnswers(shop, parent)) {
        std::fprintf(stderr, "clerk %d cannot open the shop\n", options.process);
        return 2;
    }
    ClerkJournal journal(journalPath(options.folder, options.process));
    RandomClerk clerk(shop.dm, shop.pub, options.seed, deskOf(options.process));
    clerk.setThinkTime(options.thinkMs);
    clerk.setIntentSink([&journal](const QString& event, const QString& moment, const QString& row,
                                   const QList<ColumnChange>& changes) {
        journal.intent(event, moment, row, changes);
    });
    qint64 backend = backendOf(shop.dm.db());
    say(QStringLiteral("running"));
    // Endless until killed; a clerk whose parent is gone stops.
    while (getppid() == parent) {
        QString event;
        QString failedStatement;
        bool failed = false;
        try {
            const QString done = clerk.step();
            if (!done.isEmpty())
                journal.done(done, clerk.lastMoment());
            failed = clerk.takeDatabaseError();
            if (failed) {
                event = clerk.lastOperation();
                failedStatement = trail.last;
            }
        } catch (const DbError& error) {
            // The clerk's own look-ups: no operation ran at this moment.
            failed = true;
            failedStatement =
                QStringLiteral("the clerk's look-up: ") + QString::fromUtf8(error.what());
        }
        if (!failed)
            continue;
        const qint64 now = backendOf(shop.dm.db());
        const bool lost = now != backend;
        journal.databaseError(event, clerk.lastMoment(), lost, failedStatement);
        if (!lost)
            continue;
        if (now != 0)
            journal.reconnected(true);
        else if (!reopen(shop, options.server, journal, parent))
            return 0;
        backend = backendOf(shop.dm.db());
    }
    return 0;
}

} // namespace lms::crash
