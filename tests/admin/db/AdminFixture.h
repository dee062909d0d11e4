#pragma once

#include "core/Database.h"
#include "core/ScreenContext.h"
#include "core/Tdm_Dbase.h"
#include "support/FailingStatements.h"
#include "support/ShopRows.h"
#include "support/TableRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace lms::test {

// Timers need an application object; the db tests run without one otherwise.
inline void ensureCoreApplication() {
    static int argc = 1;
    static char name[] = "admin_db_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// Empties the search path for programs while it lives, so that no tool is found.
class NoProgramsOnPath {
public:
    NoProgramsOnPath() : saved_(qgetenv("PATH")) { qputenv("PATH", empty_.path().toUtf8()); }
    ~NoProgramsOnPath() { qputenv("PATH", saved_); }
    NoProgramsOnPath(const NoProgramsOnPath&) = delete;
    NoProgramsOnPath& operator=(const NoProgramsOnPath&) = delete;

private:
    QByteArray saved_;
    QTemporaryDir empty_;
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
    static bool onServer() { return !testServer().isEmpty(); }
    // How a backup's name ends on the run's engine.
    static QString backupEnding() {
        return onServer() ? QStringLiteral("buckup.pgdump") : QStringLiteral("buckup.zqd");
    }
    QStringList backups() const {
        return QDir(shop.folder.path()).entryList({QLatin1Char('*') + backupEnding()}, QDir::Files);
    }
    QVariant scalar(const QString& sql, const QVariantList& params = {}) {
        return db().scalar(sql, params);
    }
    // The log records as "event|operator|explanation", oldest first.
    QStringList logRecords() {
        return joinedRows(
            db(), QStringLiteral("日志"),
            {QStringLiteral("事件"), QStringLiteral("操作者"), QStringLiteral("说明")});
    }

    // What the clearing screens remove, holding little but ids: a history row of book H<n>, and
    // reader R<n> with book B<n> out. `history` adds columns to the history row.
    void addBareLoan(const QString& n, const QVariantMap& history = {}) {
        QVariantMap historyRow = history;
        historyRow.insert(QStringLiteral("图书编号"), QStringLiteral("H") + n);
        insertRow(db(), QStringLiteral("图书借阅历史记录"), historyRow);
        insertRow(db(), QStringLiteral("读者"),
                  {{QStringLiteral("读者编号"), QStringLiteral("R") + n}});
        insertRow(db(), QStringLiteral("图书"),
                  {{QStringLiteral("图书编号"), QStringLiteral("B") + n},
                   {QStringLiteral("当前状态"), QStringLiteral("已借出")}});
        insertRow(db(), QStringLiteral("借出图书"),
                  {{QStringLiteral("图书编号"), QStringLiteral("B") + n},
                   {QStringLiteral("读者编号"), QStringLiteral("R") + n}});
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock;
    ScriptedHost host;
    ScreenContext ctx{*shop.dm, shop.pub, prompter, clock, host};
    FailingStatements faults{shop.dm->db()};
};

} // namespace lms::test
