#pragma once

#include "core/Database.h"
#include "core/ScreenContext.h"
#include "core/Tdm_Dbase.h"
#include "support/FailingStatements.h"
#include "support/TableRows.h"
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
        QStringList all;
        for (const QVariantMap& row : tableRows(db(), QStringLiteral("日志")))
            all << QStringList{row[QStringLiteral("事件")].toString(),
                               row[QStringLiteral("操作者")].toString(),
                               row[QStringLiteral("说明")].toString()}
                       .join(QLatin1Char('|'));
        return all;
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock;
    ScriptedHost host;
    ScreenContext ctx{*shop.dm, shop.pub, prompter, clock, host};
    FailingStatements faults{shop.dm->db()};
};

} // namespace lms::test
