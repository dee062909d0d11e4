#include "support/TempProgramFolder.h"

#include "core/Passwords.h"

#include <QFile>
#include <gtest/gtest.h>

namespace lms::test {

TempProgramFolder::TempProgramFolder() {
    EXPECT_TRUE(dir_.isValid());
}

QByteArray TempProgramFolder::readFile(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TempProgramFolder::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

const QString ShopDatabase::kSuperUser = QStringLiteral("admin");
const QString ShopDatabase::kSuperPassword = QStringLiteral("secret");

ShopDatabase::ShopDatabase() {
    pub.AppPath = folder.path();
    dm = std::make_unique<Tdm_Dbase>(pub);
    if (!testServer().isEmpty()) {
        server = std::make_unique<ServerDatabase>();
        dm->useServer(server->connectionString());
    }
    dm->createDatabase(kSuperUser, kSuperPassword);
    dm->connect();
}

void ShopDatabase::addPayments(int rows, const QDateTime& first) {
    Transaction batch(dm->db());
    for (int i = 0; i < rows; ++i)
        dm->WriteZJ(QStringLiteral("缴费充值"), kSuperUser, first.addMSecs(i), 1.25f, 0, 1.25f, 0,
                    0, 0);
    batch.commit();
}

void ShopDatabase::addUser(const QString& name, const QString& password,
                           std::initializer_list<int> flags) {
    Query(dm->db(), QStringLiteral("INSERT INTO 管理员 (用户名, 密码, 备注) VALUES (?, ?, '')"))
        .bindAll({name, Passwords::hash(password)})
        .exec();
    for (int n : flags)
        Query(dm->db(), QStringLiteral("UPDATE 管理员 SET 功能%1 = 1 WHERE 用户名 = ?").arg(n))
            .bind(1, name)
            .exec();
}

qint64 ShopDatabase::count(const QString& table) {
    return dm->db().scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toLongLong();
}

} // namespace lms::test
