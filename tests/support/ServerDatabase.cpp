#include "support/ServerDatabase.h"

#include "core/Database.h"

#include <QCoreApplication>
#include <atomic>

namespace lms::test {

namespace {

void onMaintenanceDatabase(const QString& sql) {
    Database maintenance;
    maintenance.openServer(testServer() + QStringLiteral(" dbname=postgres"));
    maintenance.exec(sql);
}

} // namespace

QString testServer() {
    return qEnvironmentVariable("LMS_TEST_SERVER");
}

ServerDatabase::ServerDatabase() {
    static std::atomic<int> counter = 0;
    // Test processes run side by side: the process number keeps their names apart.
    name_ = QStringLiteral("lms_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    onMaintenanceDatabase(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
    onMaintenanceDatabase(QStringLiteral("CREATE DATABASE %1").arg(name_));
}

ServerDatabase::~ServerDatabase() {
    try {
        onMaintenanceDatabase(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
    } catch (const DbError&) {
        // The cluster goes away with the run anyway.
    }
}

QString ServerDatabase::connectionString() const {
    return testServer() + QStringLiteral(" dbname=") + name_;
}

} // namespace lms::test
