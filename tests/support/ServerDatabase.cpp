#include "support/ServerDatabase.h"

#include "core/Database.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <atomic>

namespace lms::test {

namespace {

void onMaintenanceDatabase(const QString& sql) {
    Database maintenance;
    maintenance.openServer(testServer() + QStringLiteral(" dbname=postgres"));
    maintenance.exec(sql);
}

} // namespace

QString serverDatabaseName(const QString& connectionString) {
    static const QRegularExpression name(QStringLiteral("(?:^|\\s)dbname=(\\S+)"));
    return name.match(connectionString).captured(1);
}

// Names are the tests' own ("lms_test_…"), never typed text.
void copyServerDatabase(const QString& from, const QString& to) {
    dropServerDatabase(to);
    onMaintenanceDatabase(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(to, from));
}

void dropServerDatabase(const QString& name) {
    onMaintenanceDatabase(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

QString testServer() {
    return qEnvironmentVariable("LMS_TEST_SERVER");
}

ServerDatabase::ServerDatabase() {
    static std::atomic<int> counter = 0;
    // Test processes run side by side: the process number keeps their names apart.
    name_ = QStringLiteral("lms_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    dropServerDatabase(name_);
    onMaintenanceDatabase(QStringLiteral("CREATE DATABASE %1").arg(name_));
}

ServerDatabase::~ServerDatabase() {
    try {
        dropServerDatabase(name_);
    } catch (const DbError&) {
        // The cluster goes away with the run anyway.
    }
}

QString ServerDatabase::connectionString() const {
    return testServer() + QStringLiteral(" dbname=") + name_;
}

} // namespace lms::test
