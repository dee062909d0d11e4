#include "core/Tdm_Dbase.h"

#include "core/DateRules.h"
#include "core/Schema.h"
#include "core/SettingsStore.h"
#include "core/UserStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lms {

namespace {

void insertSuperUser(Database& db, const QString& name, const QString& password) {
    Users::Flags everything;
    everything.fill(true);
    Users::insertUser(db, {.name = name,
                           .password = password,
                           .remark = QStringLiteral("超级用户"),
                           .flags = everything});
}

} // namespace

const QString Tdm_Dbase::kFileName = QStringLiteral("dbase.zqd");
const QByteArray Tdm_Dbase::kPassword = QByteArrayLiteral("QZD!(#((*)!");

void Tdm_Dbase::connect() {
    if (!server_.isEmpty())
        return connectServer();
    const QString path = databasePath();
    const QFileInfo file(path);
    if (!file.exists())
        throw DbError(0, "database file is missing");
    // The log beside the file needs a writable folder; a shop cannot work read-only.
    if (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable())
        throw DbError(0, "database file or its folder is read-only");
    db_.open(path, kPassword, Database::OpenMode::ExistingOnly);
    try {
        lastUpgrade_ = Schema::upgrade(db_);
        // Only once the file has shown itself the shop's: switching writes to it.
        db_.useWriteAheadLog();
    } catch (...) {
        db_.close();
        throw;
    }
}

bool Tdm_Dbase::isNew() {
    if (server_.isEmpty())
        return !QFileInfo::exists(databasePath());
    Database server;
    server.openServer(server_);
    return server.userVersion() == 0 && !server.hasTable(QStringLiteral("sysset"));
}

void Tdm_Dbase::connectServer() {
    db_.openServer(server_);
    try {
        lastUpgrade_ = Schema::upgrade(db_);
    } catch (...) {
        db_.close();
        throw;
    }
}

// The new shop's tables, settings, book types and super user in one transaction, so a second
// desk setting up the same empty database at the same moment finds either nothing or all.
void Tdm_Dbase::createOnServer(const QString& superUser, const QString& password) {
    Database server;
    server.openServer(server_);
    Transaction transaction(server);
    Schema::create(server, PubData::defaultSettings());
    insertSuperUser(server, superUser, password);
    transaction.commit();
}

void Tdm_Dbase::createDatabase(const QString& superUser, const QString& password) {
    if (!server_.isEmpty())
        return createOnServer(superUser, password);
    const QString path = databasePath();
    if (QFileInfo::exists(path))
        throw DbError(0, "database file already exists");
    const QString sidePath = path + QStringLiteral(".new");
    QFile::remove(sidePath);
    {
        Database side;
        side.open(sidePath, kPassword, Database::OpenMode::CreateIfMissing);
        Transaction transaction(side);
        Schema::create(side, PubData::defaultSettings());
        insertSuperUser(side, superUser, password);
        transaction.commit();
    }
    if (!QFile::rename(sidePath, path)) {
        QFile::remove(sidePath);
        throw DbError(0, "cannot name the new database file");
    }
}

void Tdm_Dbase::appendLog(const QString& event, const QString& user, const QDateTime& time,
                          const QString& explanation) {
    Query(db_, QStringLiteral("INSERT INTO 日志 (事件, 时间, 操作者, 说明) VALUES (?, ?, ?, ?)"))
        .bindAll({event, Dates::toStorage(time), user, explanation})
        .exec();
}

void Tdm_Dbase::appendLedger(const QString& event, const QString& user, const QDateTime& time,
                             const LedgerAmounts& a, const LedgerIds& ids) {
    Query(db_, QStringLiteral("INSERT INTO 资金 (事件, 操作者, 时间, 金额总计, 开户费, 押金, 租金, "
                              "逾期罚款, 破损遗失赔偿, 读者编号, 图书编号) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
        .bindAll({event, user, Dates::toStorage(time), a.total, a.openingFee, a.deposit, a.rent,
                  a.fine, a.compensation, ids.readerId, ids.bookId})
        .exec();
}

bool Tdm_Dbase::WriteRZ(const QString& event, const QString& user, const QDateTime& time,
                        const QString& explanation) {
    try {
        appendLog(event, user, time, explanation);
        return true;
    } catch (const DbError&) {
        return false;
    }
}

bool Tdm_Dbase::WriteZJ(const QString& event, const QString& user, const QDateTime& time,
                        float total, float openingFee, float deposit, float rent, float fine,
                        float compensation, const LedgerIds& ids) {
    try {
        appendLedger(event, user, time,
                     {.total = total,
                      .openingFee = openingFee,
                      .deposit = deposit,
                      .rent = rent,
                      .fine = fine,
                      .compensation = compensation},
                     ids);
        return true;
    } catch (const DbError&) {
        return false;
    }
}

bool Tdm_Dbase::ReadSysSet() {
    try {
        SettingsStore::read(db_, pub_);
        storedSettings_ = pub_;
        return true;
    } catch (const DbError&) {
        return false;
    }
}

bool Tdm_Dbase::WriteSysSet() {
    try {
        Transaction transaction(db_);
        SettingsStore::write(db_, pub_);
        transaction.commit();
        storedSettings_ = pub_;
        return true;
    } catch (const DbError&) {
        return false;
    }
}

bool Tdm_Dbase::isHaveReader(const QString& id) {
    return db_.scalar(QStringLiteral("SELECT 1 FROM 读者 WHERE 读者编号 = ?"), {id}).isValid();
}

bool Tdm_Dbase::isHaveBook(const QString& id) {
    return db_.scalar(QStringLiteral("SELECT 1 FROM 图书 WHERE 图书编号 = ?"), {id}).isValid();
}

} // namespace lms
