#pragma once

#include "core/Database.h"
#include "core/LedgerIds.h"
#include "core/Schema.h"
#include "core/pubdata.h"

#include <QDateTime>
#include <optional>

namespace lms {

// The six amounts of one ledger record, in the ledger's own units (yuan).
// The six amounts of a ledger record: single-precision values as the screens charge them, or
// sums of whole cents (the summary of a cleared ledger), which single precision cannot hold.
struct LedgerAmounts {
    double total = 0;
    double openingFee = 0;
    double deposit = 0;
    double rent = 0;
    double fine = 0;
    double compensation = 0;
};

// The data module: owns the one connection to "dbase.zqd" and the services every screen shares
// (operation log, money ledger, settings, existence checks).
class Tdm_Dbase {
public:
    static const QString kFileName; // "dbase.zqd"
    static const QByteArray kPassword;

    explicit Tdm_Dbase(PubData& pub) : pub_(pub) {}

    PubData& pub() { return pub_; }
    // Keeps the shop's data on a PostgreSQL server instead of the file beside the program (a
    // libpq connection string or service name); empty for the file.
    void useServer(const QString& connectionString) { server_ = connectionString; }
    const QString& server() const { return server_; }
    Database& db() { return db_; }
    QString databasePath() const { return pub_.AppPath + kFileName; }

    // Opens the existing database beside the program and brings its schema up to date.
    // Throws DbError for a missing, foreign, damaged or unwritable file, which stays untouched.
    void connect();
    // Creates "dbase.zqd" where there is none: tables, settings, book types and the super user,
    // written to a side file that takes the name only when complete. Throws DbError.
    void createDatabase(const QString& superUser, const QString& password);
    void disconnect() { db_.close(); }
    // Whether the shop has no database yet (no file; on a server, an empty database). Throws
    // DbError when the server cannot be reached.
    bool isNew();

    // Appends a log record; false (and nothing shown) when it could not be stored.
    bool WriteRZ(const QString& event, const QString& user, const QDateTime& time,
                 const QString& explanation);
    // Appends a ledger record with the six amounts narrowed to single precision, naming the
    // reader and book it is about (none by default).
    bool WriteZJ(const QString& event, const QString& user, const QDateTime& time, float total,
                 float openingFee, float deposit, float rent, float fine, float compensation,
                 const LedgerIds& ids = {});
    // The same, throwing DbError, for operations that write everything in one transaction.
    void appendLog(const QString& event, const QString& user, const QDateTime& time,
                   const QString& explanation);
    void appendLedger(const QString& event, const QString& user, const QDateTime& time,
                      const LedgerAmounts& amounts, const LedgerIds& ids);

    // What bringing the schema up to date found at the last connect (nothing when it was).
    const Schema::UpgradeReport& lastUpgrade() const { return lastUpgrade_; }

    bool ReadSysSet();
    bool WriteSysSet();
    // The settings as this desk last read or stored them: a save stores only what differs from
    // them (SettingsStore::save). Nothing before the first read.
    const std::optional<PubData>& storedSettings() const { return storedSettings_; }
    void keepStoredSettings(const PubData& stored) { storedSettings_ = stored; }

    // Whether a reader or book has this id; throws DbError.
    bool isHaveReader(const QString& id);
    bool isHaveBook(const QString& id);

private:
    void connectServer();
    void createOnServer(const QString& superUser, const QString& password);

    PubData& pub_;
    Database db_;
    QString server_;
    std::optional<PubData> storedSettings_;
    Schema::UpgradeReport lastUpgrade_;
};

} // namespace lms
