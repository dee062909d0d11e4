#pragma once

#include "core/Tdm_Dbase.h"
#include "core/pubdata.h"
#include "support/ServerDatabase.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <QVariantMap>
#include <memory>

namespace lms::test {

// A program folder of its own for each test, removed afterwards.
class TempProgramFolder {
public:
    TempProgramFolder();
    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }
    QString databasePath() const { return file(Tdm_Dbase::kFileName); }
    QByteArray readFile(const QString& name) const;
    void writeFile(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir dir_;
};

// A program folder holding a new database with the super user "admin" / "secret", opened.
struct ShopDatabase {
    static const QString kSuperUser;
    static const QString kSuperPassword;

    ShopDatabase();
    TempProgramFolder folder;
    // The shop's database on the test server, when the run uses one (outlives the data module).
    std::unique_ptr<ServerDatabase> server;
    PubData pub;
    std::unique_ptr<Tdm_Dbase> dm;

    // Adds a system user with the given flags (1-based numbers) and a password.
    void addUser(const QString& name, const QString& password, std::initializer_list<int> flags);
    qint64 count(const QString& table);
    // Adds `rows` payments of 1.25 by admin to the ledger, a millisecond apart from `first`.
    void addPayments(int rows, const QDateTime& first);
};

} // namespace lms::test
