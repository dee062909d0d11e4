// The data module's shared services: the log, the ledger in single precision, the settings
// records and the existence checks.
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "support/Moments.h"
#include "support/ServerDatabase.h"
#include "support/TableRows.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::ShopDatabase;

const QDateTime kWhen = at(2026, 2, 3, 14, 5, 6, 789);

TEST(DataModule, LedgerAmountsPassThroughSinglePrecision) {
    ShopDatabase shop;
    ASSERT_TRUE(shop.dm->WriteZJ(QStringLiteral("缴费充值"), QStringLiteral("张三"), kWhen, 0.1f, 0,
                                 0.3f, -20.4f, 0, 1e-3f));
    const QList<QVariantMap> rows = test::tableRows(shop.dm->db(), QStringLiteral("资金"));
    ASSERT_EQ(rows.size(), 1);
    const QVariantMap& row = rows.first();
    EXPECT_EQ(row[QStringLiteral("事件")].toString(), QStringLiteral("缴费充值"));
    EXPECT_EQ(row[QStringLiteral("操作者")].toString(), QStringLiteral("张三"));
    EXPECT_EQ(Dates::fromStorage(row[QStringLiteral("时间")].toString()), kWhen);
    EXPECT_EQ(Numbers::generalForm(row[QStringLiteral("金额总计")].toDouble()),
              QStringLiteral("0.100000001490116"));
    EXPECT_EQ(row[QStringLiteral("开户费")].toDouble(), 0.0);
    EXPECT_EQ(Numbers::generalForm(row[QStringLiteral("押金")].toDouble()),
              QStringLiteral("0.300000011920929"));
    EXPECT_EQ(row[QStringLiteral("租金")].toDouble(), static_cast<double>(-20.4f));
    EXPECT_EQ(row[QStringLiteral("破损遗失赔偿")].toDouble(), static_cast<double>(1e-3f));
}

TEST(DataModule, LogRecordsKeepTextByteForByteAndMayHaveNoExplanation) {
    ShopDatabase shop;
    const QString odd = QStringLiteral("O'Brien'; DROP TABLE 日志; -- \t\x01 📚 %_");
    ASSERT_TRUE(shop.dm->WriteRZ(odd, odd, kWhen, odd));
    ASSERT_TRUE(
        shop.dm->WriteRZ(QStringLiteral("修改系统参数"), QStringLiteral("u"), kWhen, QString()));
    const QList<QVariantMap> rows = test::tableRows(shop.dm->db(), QStringLiteral("日志"));
    ASSERT_GE(rows.size(), 2);
    EXPECT_EQ(rows[0][QStringLiteral("事件")].toString(), odd);
    EXPECT_EQ(rows[0][QStringLiteral("操作者")].toString(), odd);
    EXPECT_EQ(rows[0][QStringLiteral("说明")].toString(), odd);
    EXPECT_EQ(rows[1][QStringLiteral("说明")].toString(), QString());
    EXPECT_EQ(rows[1][QStringLiteral("时间")].toString(),
              QStringLiteral("2026-02-03 14:05:06.789"));
}

TEST(DataModule, WritersReportAFailureWithoutThrowing) {
    ShopDatabase shop;
    shop.dm->db().exec(QStringLiteral("DROP TABLE 资金"));
    shop.dm->db().exec(QStringLiteral("DROP TABLE 日志"));
    EXPECT_FALSE(
        shop.dm->WriteZJ(QStringLiteral("x"), QStringLiteral("u"), kWhen, 1, 0, 0, 0, 0, 0));
    EXPECT_FALSE(shop.dm->WriteRZ(QStringLiteral("x"), QStringLiteral("u"), kWhen, QString()));
}

TEST(DataModule, SettingsRoundTripThroughRecordsSevenToElevenOnly) {
    LMS_FILE_ENGINE_ONLY();
    ShopDatabase shop;
    Database& db = shop.dm->db();
    // Records 1 to 6 carry other data that must survive.
    db.exec(QStringLiteral("UPDATE sysset SET value1 = rowid * 1.5, value6 = rowid * 7, "
                           "value11 = 1 WHERE rowid <= 6"));
    const auto firstSix = [&] {
        QStringList rows;
        Query q(db, QStringLiteral("SELECT * FROM sysset ORDER BY rowid LIMIT 6"));
        while (q.next()) {
            QStringList cells;
            for (int c = 0; c < q.columnCount(); ++c)
                cells << q.value(c).toString();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    };
    const QStringList before = firstSix();

    PubData& pub = shop.pub;
    pub.MonthlyRent = 0.3f;
    pub.QuarterlyDeposit = 123.25f;
    pub.YearlyOpeningFee = 7;
    pub.YearlyMaxBooks = 9;
    pub.DailyRent = 0.1f;
    pub.DailyMaxDays = 11;
    pub.OverdueFinePerDay = 0.25f;
    pub.DamageRate = 0.5f;
    pub.AllowAmountEdit = false;
    pub.ExpiryReminderDays = 4;
    pub.AutoExtendValidity = true;
    pub.AutoBackupOnStart = true;
    pub.ReaderIdMaxLen = 12;
    pub.BookIdMaxLen = 20;
    ASSERT_TRUE(shop.dm->WriteSysSet());
    EXPECT_EQ(shop.count(QStringLiteral("sysset")), 11) << "settings are updated, never appended";
    EXPECT_EQ(firstSix(), before);

    PubData read;
    Tdm_Dbase reader(read);
    read.AppPath = shop.folder.path();
    reader.connect();
    ASSERT_TRUE(reader.ReadSysSet());
    EXPECT_EQ(read.MonthlyRent, 0.3f);
    EXPECT_EQ(read.QuarterlyDeposit, 123.25f);
    EXPECT_EQ(read.YearlyOpeningFee, 7.0f);
    EXPECT_EQ(read.YearlyMaxBooks, 9);
    EXPECT_EQ(read.DailyRent, 0.1f);
    EXPECT_EQ(read.DailyMaxDays, 11);
    EXPECT_EQ(read.OverdueFinePerDay, 0.25f);
    EXPECT_EQ(read.DamageRate, 0.5f);
    EXPECT_FALSE(read.AllowAmountEdit);
    EXPECT_EQ(read.ExpiryReminderDays, 4);
    EXPECT_TRUE(read.AutoExtendValidity);
    EXPECT_TRUE(read.AutoBackupOnStart);
    EXPECT_EQ(read.ReaderIdMaxLen, 12);
    EXPECT_EQ(read.BookIdMaxLen, 20);
    // Untouched by the settings: who is logged in.
    EXPECT_TRUE(read.CurrentUser.isEmpty());

    // Record 7 is the monthly type: its rent sits in value1 as a widened single.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT value1 FROM sysset ORDER BY rowid LIMIT 1 OFFSET 6"))
                  .toDouble(),
              static_cast<double>(0.3f));
}

TEST(DataModule, NewDatabaseStartsWithTheDocumentedDefaults) {
    ShopDatabase shop;
    ASSERT_TRUE(shop.dm->ReadSysSet());
    const PubData& pub = shop.pub;
    EXPECT_EQ(pub.MonthlyRent, 30.0f);
    EXPECT_EQ(pub.MonthlyDeposit, 100.0f);
    EXPECT_EQ(pub.MonthlyOpeningFee, 10.0f);
    EXPECT_EQ(pub.MonthlyMaxBooks, 5);
    EXPECT_EQ(pub.MonthlyMaxDays, 30);
    EXPECT_EQ(pub.ReaderIdMaxLen, 8);
    EXPECT_EQ(pub.BookIdMaxLen, 8);
}

TEST(DataModule, SettingsFailWhenTheRecordsAreMissing) {
    ShopDatabase shop;
    shop.dm->db().exec(QStringLiteral("DELETE FROM sysset WHERE rowid > 8"));
    const PubData before = shop.pub;
    EXPECT_FALSE(shop.dm->ReadSysSet());
    EXPECT_FALSE(shop.dm->WriteSysSet());
    EXPECT_EQ(shop.count(QStringLiteral("sysset")), 8) << "nothing appended";
    EXPECT_EQ(shop.pub.MonthlyRent, before.MonthlyRent);
}

TEST(DataModule, ExistenceChecksCompareWholeIdsAsPlainValues) {
    ShopDatabase shop;
    Database& db = shop.dm->db();
    Query(db, QStringLiteral("INSERT INTO 读者 (读者编号) VALUES (?)"))
        .bind(1, QStringLiteral("R'001"))
        .exec();
    Query(db, QStringLiteral("INSERT INTO 图书 (图书编号) VALUES (?)"))
        .bind(1, QStringLiteral("001"))
        .exec();
    EXPECT_TRUE(shop.dm->isHaveReader(QStringLiteral("R'001")));
    EXPECT_FALSE(shop.dm->isHaveReader(QStringLiteral("r'001")));
    EXPECT_FALSE(shop.dm->isHaveReader(QStringLiteral("' OR '1'='1")));
    EXPECT_FALSE(shop.dm->isHaveReader(QString()));
    EXPECT_TRUE(shop.dm->isHaveBook(QStringLiteral("001")));
    EXPECT_FALSE(shop.dm->isHaveBook(QStringLiteral("1")));
    EXPECT_FALSE(shop.dm->isHaveBook(QStringLiteral("001 ")));
}

TEST(DataModule, ExistenceChecksThrowWhenTheDatabaseFails) {
    ShopDatabase shop;
    shop.dm->disconnect();
    EXPECT_THROW(shop.dm->isHaveReader(QStringLiteral("1")), DbError);
    EXPECT_THROW(shop.dm->isHaveBook(QStringLiteral("1")), DbError);
}

} // namespace
} // namespace lms
