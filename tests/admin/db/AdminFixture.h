#pragma once

#include "core/Database.h"
#include "core/ScreenContext.h"
#include "core/Tdm_Dbase.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace lms::test {

// Timers need an application object; the db tests run without one otherwise.
inline void ensureCoreApplication() {
    static int argc = 1;
    static char name[] = "admin_db_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// A statement hook that fails every statement containing the given text, as a broken disk or a
// locked file would.
class FailingStatements {
public:
    explicit FailingStatements(Database& db) : db_(db) {}
    ~FailingStatements() { db_.setStatementHook(nullptr, nullptr); }
    void failOn(const QString& fragment) {
        fragment_ = fragment;
        db_.setStatementHook(&FailingStatements::check, this);
    }
    int failures() const { return failures_; }

private:
    static void check(void* self, const QString& sql) {
        auto* me = static_cast<FailingStatements*>(self);
        if (sql.contains(me->fragment_)) {
            ++me->failures_;
            throw DbError(10, "disk I/O error (injected)");
        }
    }
    Database& db_;
    QString fragment_;
    int failures_ = 0;
};

// A shop database with the super user "admin" logged in and the settings loaded, and the
// context every admin screen is built with.
class AdminTest : public ::testing::Test {
protected:
    AdminTest() {
        ensureCoreApplication();
        shop.pub.CurrentUser = ShopDatabase::kSuperUser;
        EXPECT_TRUE(shop.dm->ReadSysSet());
    }

    Database& db() { return shop.dm->db(); }
    QVariant scalar(const QString& sql, const QVariantList& params = {}) {
        return db().scalar(sql, params);
    }
    // The log records as "event|operator|explanation", oldest first.
    QStringList logRecords() {
        Query q(db(), QStringLiteral("SELECT 事件, 操作者, 说明 FROM 日志 ORDER BY rowid"));
        QStringList rows;
        while (q.next())
            rows << q.text(0) + QLatin1Char('|') + q.text(1) + QLatin1Char('|') + q.text(2);
        return rows;
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock;
    ScriptedHost host;
    ScreenContext ctx{*shop.dm, shop.pub, prompter, clock, host};
    FailingStatements faults{shop.dm->db()};
};

} // namespace lms::test
