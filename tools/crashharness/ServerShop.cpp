#include "ServerShop.h"

#include "core/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>
#include <cstdio>
#include <libpq-fe.h>

namespace lms::crash {

namespace {

// A value in a connection string: quoted, with quotes and backslashes escaped.
QString quotedValue(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

// The connection string's settings as libpq reads them; throws DbError when it cannot.
PQconninfoOption* parsed(const QString& connectionString) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connectionString.toUtf8().constData(), &error);
    if (!options) {
        const std::string message = error ? error : "out of memory";
        PQfreemem(error);
        throw DbError(0, "unreadable connection string: " + message);
    }
    return options;
}

QString databaseOf(const QString& connectionString) {
    PQconninfoOption* options = parsed(connectionString);
    QString name;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (qstrcmp(o->keyword, "dbname") == 0 && o->val)
            name = QString::fromUtf8(o->val);
    PQconninfoFree(options);
    return name;
}

// The names are the run's own ("lms_crash_…"), never typed text.
void onMaintenanceDatabase(const QString& server, const QString& sql) {
    Database maintenance;
    maintenance.openServer(withDatabase(server, QStringLiteral("postgres")));
    maintenance.exec(sql);
}

} // namespace

QString withDatabase(const QString& connectionString, const QString& database) {
    PQconninfoOption* options = parsed(connectionString);
    QStringList settings;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (o->val && qstrcmp(o->keyword, "dbname") != 0)
            settings << QString::fromUtf8(o->keyword) + QLatin1Char('=') +
                            quotedValue(QString::fromUtf8(o->val));
    PQconninfoFree(options);
    settings << QStringLiteral("dbname=") + quotedValue(database);
    return settings.join(QLatin1Char(' '));
}

ServerShop::ServerShop(const QString& connectionString) : server_(connectionString) {
    name_ = databaseOf(connectionString);
    if (!name_.isEmpty()) {
        shop_ = connectionString;
        return;
    }
    name_ = QStringLiteral("lms_crash_%1").arg(QCoreApplication::applicationPid());
    onMaintenanceDatabase(server_, QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name_));
    onMaintenanceDatabase(server_, QStringLiteral("CREATE DATABASE %1").arg(name_));
    own_ = true;
    shop_ = withDatabase(server_, name_);
}

ServerShop::~ServerShop() {
    if (!own_ || keep_)
        return;
    try {
        onMaintenanceDatabase(server_,
                              QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
    } catch (const DbError& error) {
        std::fprintf(stderr, "cannot drop %s: %s\n", qPrintable(name_), error.what());
    }
}

QString ServerShop::makeCommitsDurable() {
    {
        Database db;
        db.openServer(shop_);
        // The server quotes its own database's name.
        db.exec(db.scalar(QStringLiteral("SELECT format('ALTER DATABASE %I SET "
                                         "synchronous_commit = on', current_database())"))
                    .toString());
    }
    Database fresh;
    fresh.openServer(shop_);
    return fresh.scalar(QStringLiteral("SELECT current_setting('synchronous_commit')")).toString();
}

bool waitUntilNoOtherSession(const QString& connectionString, int timeoutMs) {
    Database db;
    db.openServer(connectionString);
    QElapsedTimer waited;
    waited.start();
    while (db.scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = "
                                    "current_database() AND pid <> pg_backend_pid() AND "
                                    "backend_type = 'client backend'"))
               .toLongLong() > 0) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace lms::crash
