#include "ServerShop.h"

#include "core/Database.h"
#include "core/Schema.h"
#include "core/Tdm_Dbase.h"
#include "storage/ShopMove.h"

#include <QDir>
#include <QRegularExpression>

namespace lms::bench {

namespace {

QString onDatabase(const QString& server, const QString& name) {
    return server + QStringLiteral(" dbname=") + name;
}

// Rows per table, in the order of the shop's tables; empty when a table is missing.
QList<qint64> rowCounts(Database& db) {
    QList<qint64> counts;
    for (const QString& table : Schema::tableNames()) {
        if (!db.hasTable(table))
            return {};
        // Table names are the program's own.
        counts << db.scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toLongLong();
    }
    return counts;
}

bool exists(Database& maintenance, const QString& name) {
    return maintenance.scalar(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {name})
        .isValid();
}

// Database names cannot be bound: only the benchmarks' own names reach the statements.
void drop(Database& maintenance, const QString& name) {
    maintenance.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

void moveShop(const QString& generatedFolder, const QString& connectionString) {
    Database target;
    target.openServer(connectionString);
    try {
        ShopMove::toServer(generatedFolder, target);
    } catch (const ShopMove::Failure& failure) {
        throw DbError(0, failure.message().toStdString());
    }
    target.exec(QStringLiteral("VACUUM (ANALYZE)"));
}

} // namespace

ServerShop::ServerShop(const QString& server, const QString& generatedFolder, const QString& name)
    : server_(server), name_(name) {
    static const QRegularExpression ours(QStringLiteral("^[a-z][a-z0-9_]*$"));
    if (!ours.match(name).hasMatch())
        throw DbError(0, "not a benchmark database name: " + name.toStdString());
    QList<qint64> generated;
    {
        Database file;
        file.open(QDir(generatedFolder).filePath(Tdm_Dbase::kFileName), Tdm_Dbase::kPassword,
                  Database::OpenMode::ReadOnlyCopy);
        generated = rowCounts(file);
    }
    Database maintenance;
    maintenance.openServer(onDatabase(server, QStringLiteral("postgres")));
    bool kept = false;
    if (exists(maintenance, name_)) {
        Database shop;
        shop.openServer(onDatabase(server, name_));
        kept = rowCounts(shop) == generated;
    }
    if (!kept) {
        drop(maintenance, name_);
        maintenance.exec(QStringLiteral("CREATE DATABASE %1").arg(name_));
        moveShop(generatedFolder, onDatabase(server, name_));
        moved_ = true;
    }
    // Copied file by file: much faster than through the server's log for a large shop.
    const QString run = name_ + QStringLiteral("_run");
    drop(maintenance, run);
    maintenance.exec(
        QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY").arg(run, name_));
}

ServerShop::~ServerShop() {
    try {
        Database maintenance;
        maintenance.openServer(onDatabase(server_, QStringLiteral("postgres")));
        drop(maintenance, name_ + QStringLiteral("_run"));
    } catch (const DbError&) {
        // The next run drops it before copying anew.
    }
}

QString ServerShop::connectionString() const {
    return onDatabase(server_, name_ + QStringLiteral("_run"));
}

} // namespace lms::bench
