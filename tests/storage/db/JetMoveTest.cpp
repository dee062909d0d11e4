// Moving a shop in from its Jet 4.0 file: every row of the nine tables in the table's order, the
// values exactly as the old engine kept them, the clerks with their passwords, what the old data
// breaks named, and files that are no shop, or damaged, refused with nothing written.
#include "storage/jet/JetMove.h"

#include "core/NumberForms.h"
#include "core/Passwords.h"
#include "core/Schema.h"
#include "core/SettingsStore.h"
#include "core/pubdata.h"
#include "storage/jet/JetFormat.h"
#include "storage/jet/JetReader.h"
#include "support/JetFiles.h"
#include "support/TableRows.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::EmptyTarget;
using test::joinedRows;
using test::oldShop;

class JetMoveTest : public ::testing::Test {
protected:
    JetMove::Report move(const QString& file) { return JetMove::carry(file, target.db); }
    qint64 count(const QString& table) {
        return target.db.scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table))
            .toLongLong();
    }
    QVariant scalar(const QString& sql, const QVariantList& params = {}) {
        return target.db.scalar(sql, params);
    }
    // Refused: the message names `expected`, and the target holds no table of a shop.
    void expectRefused(const QString& file, const QString& expected) {
        try {
            move(file);
            ADD_FAILURE() << "moved " << file.toStdString();
        } catch (const JetMove::Failure& failure) {
            EXPECT_TRUE(failure.message().contains(expected)) << failure.message().toStdString();
        }
        for (const QString& table : Schema::tableNames())
            EXPECT_FALSE(target.db.hasTable(table)) << table.toStdString();
    }
    QStringList ids(const QString& sql) {
        QStringList found;
        Query query(target.db, sql);
        while (query.next())
            found << query.text(0);
        return found;
    }
    QString copyInFolder(const char* name) {
        const QString path = target.folder.file(QStringLiteral("old.zqd"));
        test::copyOldShop(QString::fromLatin1(name), path);
        return path;
    }

    EmptyTarget target;
};

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(JetMoveTest, EveryRowOfTheShopArrivesWithTheValuesTheOldEngineKept) {
    const JetMove::Report report = move(oldShop(QStringLiteral("old-shop.zqd")));
    const QList<qint64> rows = {40, 120, 15, 200, 300, 400, 5, 7, 11};
    for (int i = 0; i < Schema::tableNames().size(); ++i) {
        EXPECT_EQ(count(Schema::tableNames()[i]), rows[i]) << Schema::tableNames()[i].toStdString();
        EXPECT_EQ(report.tables[i].rows, rows[i]);
    }
    EXPECT_TRUE(report.findings.isEmpty()) << report.findings.join('\n').toStdString();
    // Moved into the current version: the ledger records the log names get their reader, the
    // others are counted and left empty.
    EXPECT_EQ(target.db.userVersion(), Schema::currentVersion());
    EXPECT_EQ(report.ledgerRowsUnnamed,
              scalar(QStringLiteral("SELECT count(*) FROM 资金 WHERE 读者编号 = '' AND 事件 <> ?"),
                     {QStringLiteral("资金汇总")})
                  .toInt());
    EXPECT_EQ(JetMove::reportText(report, QStringLiteral("old.zqd"), QString())
                  .contains(QStringLiteral("找不到对应的读者编号")),
              report.ledgerRowsUnnamed > 0);
    ASSERT_TRUE(report.ledger);
    EXPECT_EQ(Numbers::twoDecimalForm(report.ledger->total), QStringLiteral("41522.37"));
    EXPECT_EQ(Numbers::twoDecimalForm(report.ledger->fine), QStringLiteral("823.70"));

    // Ids are whole strings; names, remarks and prices whole, blanks kept.
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT count(*) FROM 读者 WHERE 读者编号 IN ('1', '001')")).toInt(),
        2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT 读者姓名 FROM 读者 WHERE 读者编号 = '20050006'")),
              QStringLiteral("欧阳喆堃"));
    EXPECT_EQ(ids(QStringLiteral("SELECT 读者编号 FROM 读者 WHERE 押金 = -12.5 ORDER BY rowid")),
              (QStringList{QStringLiteral("20050005"), QStringLiteral("20050018"),
                           QStringLiteral("20050031")}));
    EXPECT_GT(
        scalar(QStringLiteral("SELECT count(*) FROM 读者 WHERE 押金 = ?"), {99.30000001192093})
            .toInt(),
        0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM 图书 WHERE 借阅次数 IS NULL")).toInt(),
              7);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM 图书 WHERE 价格 IN ('25.5', ' 18', "
                                    "'12.80')"))
                      .toInt() >= 3,
              true);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT count(*) FROM 图书 WHERE 当前状态 = '破损遗失'")).toInt(), 4);
    EXPECT_EQ(scalar(QStringLiteral("SELECT max(length(说明)) FROM 日志")).toInt(), 2000);
    EXPECT_EQ(joinedRows(target.db, QStringLiteral("图书类型"), {QStringLiteral("图书类型名称")}),
              (QStringList{QStringLiteral("武侠"), QStringLiteral("言情"), QStringLiteral("小说"),
                           QStringLiteral("漫画"), QStringLiteral("杂志 "), QStringLiteral("科幻"),
                           QStringLiteral("历史")}));

    // Every open loan's book is lent, and every reader holds as many books as its loans.
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM 借出图书 l JOIN 图书 b ON b.图书编号 = "
                                    "l.图书编号 WHERE b.当前状态 = '已借出'"))
                  .toInt(),
              15);
    // Dates to the second, in the years the file holds; the loans of autumn 2026.
    for (const char* column : {"开户日期", "借阅有效期", "状态设置期"}) {
        const QString sql =
            QStringLiteral("SELECT min(%1), max(%1) FROM 读者").arg(QString::fromUtf8(column));
        Query range(target.db, sql);
        ASSERT_TRUE(range.next());
        EXPECT_GE(range.text(0), QStringLiteral("2021")) << column;
        EXPECT_LT(range.text(1), QStringLiteral("2028")) << column;
        EXPECT_TRUE(range.text(0).endsWith(QStringLiteral(".000"))) << range.text(0).toStdString();
    }
    Query loans(target.db, QStringLiteral("SELECT min(借出日期), max(借出日期) FROM 借出图书"));
    ASSERT_TRUE(loans.next());
    EXPECT_GE(loans.text(0), QStringLiteral("2026-10-01"));
    EXPECT_LT(loans.text(1), QStringLiteral("2026-12-01"));
}

TEST_F(JetMoveTest, TheClerksKeepTheirPasswordsAndFlagsInTheirOrder) {
    move(oldShop(QStringLiteral("old-shop.zqd")));
    struct Clerk {
        QString name, password;
        QList<int> flags;
    };
    QList<int> all, odd;
    for (int n = 1; n <= 23; ++n) {
        all << n;
        if (n % 2)
            odd << n;
    }
    const QList<Clerk> clerks = {
        {QStringLiteral("管理员"), QStringLiteral("admin888"), all},
        {QStringLiteral("xiaoli"), QStringLiteral("246802"), {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {QStringLiteral("王芳"), QStringLiteral("wf2024"), {1, 2, 3, 4, 5, 22, 23}},
        {QStringLiteral("Zhang"), QStringLiteral("z"), odd},
        {QStringLiteral("临时工"), QString(), {}}};
    const QList<QVariantMap> rows = test::tableRows(target.db, QStringLiteral("管理员"));
    ASSERT_EQ(rows.size(), clerks.size());
    for (int i = 0; i < clerks.size(); ++i) {
        const QVariantMap& row = rows[i];
        EXPECT_EQ(row[QStringLiteral("用户名")].toString(), clerks[i].name);
        const QString stored = row[QStringLiteral("密码")].toString();
        EXPECT_TRUE(Passwords::verify(clerks[i].password, stored)) << i;
        EXPECT_FALSE(Passwords::verify(clerks[i].password + QLatin1Char('x'), stored));
        EXPECT_NE(stored, clerks[i].password);
        for (int n = 1; n <= 23; ++n)
            EXPECT_EQ(row[QStringLiteral("功能%1").arg(n)].toInt(),
                      clerks[i].flags.contains(n) ? 1 : 0)
                << clerks[i].name.toStdString() << " 功能" << n;
    }
}

TEST_F(JetMoveTest, TheSettingsAreReadFromTheSeventhToTheEleventhRecord) {
    move(oldShop(QStringLiteral("old-shop-nopassword.zqd")));
    PubData pub;
    SettingsStore::read(target.db, pub);
    EXPECT_EQ(pub.MonthlyRent, 30.0f);
    EXPECT_EQ(pub.QuarterlyRent, 80.0f);
    EXPECT_EQ(pub.YearlyMaxBooks, 8);
    EXPECT_EQ(pub.DailyRent, 0.5f);
    EXPECT_EQ(pub.DailyMaxDays, 15);
    EXPECT_EQ(pub.OverdueFinePerDay, 0.3f);
    EXPECT_EQ(pub.DamageRate, 0.8f);
    EXPECT_EQ(pub.ExpiryReminderDays, 3);
    EXPECT_EQ(pub.ReaderIdMaxLen, 8);
    EXPECT_EQ(pub.BookIdMaxLen, 8);
    EXPECT_TRUE(pub.AllowAmountEdit);
    EXPECT_FALSE(pub.AutoExtendValidity);
    EXPECT_FALSE(pub.AutoBackupOnStart);
    // The widened single-precision fine stays that very double.
    Query general(target.db,
                  QStringLiteral("SELECT value1 FROM sysset ORDER BY rowid LIMIT 1 OFFSET 10"));
    ASSERT_TRUE(general.next());
    EXPECT_TRUE(sameBits(general.real(0), double(0.3f)));
}

TEST_F(JetMoveTest, DeletedAndMovedRowsAreReadAsTheEngineListsThemAndTheUnknownIsNamed) {
    const JetMove::Report report = move(oldShop(QStringLiteral("old-shop-extras.zqd")));
    const QStringList readers =
        joinedRows(target.db, QStringLiteral("读者"), {QStringLiteral("读者编号")});
    ASSERT_EQ(readers.size(), 37);
    EXPECT_EQ(readers.mid(0, 8),
              (QStringList{QStringLiteral("20050000"), QStringLiteral("1"), QStringLiteral("001"),
                           QStringLiteral("20050003"), QStringLiteral("20050004"),
                           QStringLiteral("20050005"), QStringLiteral("20050006"),
                           QStringLiteral("20050008")}));
    for (const char* deleted : {"20050007", "20050017", "20050022"})
        EXPECT_FALSE(readers.contains(QString::fromLatin1(deleted))) << deleted;
    EXPECT_TRUE(readers.contains(QStringLiteral("20050012")));
    EXPECT_EQ(count(QStringLiteral("图书")), 118);
    EXPECT_EQ(count(QStringLiteral("日志")), 392);
    EXPECT_EQ(report.leftTables, QStringList{QStringLiteral("临时表（1 行）")});
    EXPECT_TRUE(report.leftColumns.contains(QStringLiteral("读者.QQ号码")));
    EXPECT_TRUE(report.leftColumns.contains(QStringLiteral("图书.ISBN")));
    const QString text = JetMove::reportText(report, QStringLiteral("old.zqd"), QString());
    EXPECT_TRUE(text.contains(QStringLiteral("读者.QQ号码")));
    EXPECT_TRUE(text.contains(QStringLiteral("读者：37 行")));
    EXPECT_FALSE(text.contains(QStringLiteral("admin888")));
}

TEST_F(JetMoveTest, WhatTheOldDataBreaksIsCarriedAndNamed) {
    const QString file = copyInFolder("old-shop.zqd");
    // A loan whose reader id was damaged, so that it names no reader; a reader id written twice.
    Jet::Reader reader(file);
    QString loanBook, loanReader;
    reader.readTable(
        QStringLiteral("借出图书"), [](const QList<Jet::Column>&) {},
        [&](const Jet::Row& row) {
            if (loanBook.isEmpty()) {
                loanBook = row[0].text;
                loanReader = row[2].text;
            }
        });
    ASSERT_EQ(loanReader.size(), 8);
    const QByteArray damagedReader = loanReader.left(4).toLatin1() + "9999";
    test::patchDataPage(file, {15, {test::jetText(loanBook.toLatin1().constData())}},
                        test::jetText(loanReader.toLatin1().constData()),
                        test::jetText(damagedReader.constData()));
    test::patchDataPage(
        file,
        {29 /* the first page of 读者 */, {test::jetText("20050004"), test::jetText("20050003")}},
        test::jetText("20050004"), test::jetText("20050003"));
    const JetMove::Report report = move(file);
    const QString findings = report.findings.join(QLatin1Char('\n'));
    EXPECT_TRUE(findings.contains(QStringLiteral("读者“%1”在读者表中没有").arg(damagedReader)))
        << findings.toStdString();
    EXPECT_TRUE(findings.contains(QStringLiteral("读者“%1”的未还数量").arg(loanReader)))
        << findings.toStdString();
    EXPECT_TRUE(findings.contains(QStringLiteral("改为“20050003#2”"))) << findings.toStdString();
    EXPECT_EQ(count(QStringLiteral("读者")), 40);
    EXPECT_EQ(count(QStringLiteral("借出图书")), 15);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT count(*) FROM 读者 WHERE 读者编号 LIKE '20050003%'")).toInt(),
        2);
}

TEST_F(JetMoveTest, FilesThatAreNoShopOrAreDamagedAreRefusedWithNothingWritten) {
    expectRefused(oldShop(QStringLiteral("not-a-shop.mdb")), QStringLiteral("不是图书租借系统"));
    // A row taken from a table behind its count's back.
    const QString file = copyInFolder("old-shop.zqd");
    Jet::Reader reader(oldShop(QStringLiteral("old-shop.zqd")));
    QString firstBook;
    reader.readTable(
        QStringLiteral("借出图书"), [](const QList<Jet::Column>&) {},
        [&](const Jet::Row& row) {
            if (firstBook.isEmpty())
                firstBook = row[0].text;
        });
    test::markRowDeleted(file, {15, {test::jetText(firstBook.toLatin1().constData())}}, 0);
    expectRefused(file, QStringLiteral("表“借出图书”读出 14 行，表中记下的是 15 行"));
    // The catalogue overwritten: the reading child fails, the program does not.
    test::copyOldShop(QStringLiteral("old-shop.zqd"), file);
    {
        QFile damaged(file);
        ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
        damaged.seek(2 * 4096 + 16);
        damaged.write(QByteArray(4096 - 16, '\x5a'));
    }
    expectRefused(file, QStringLiteral("损坏"));
}

TEST_F(JetMoveTest, TheHeaderTellsAJetFileOfItsVersionAndACutOne) {
    const QString file = copyInFolder("old-shop.zqd");
    EXPECT_EQ(JetFormat::probe(file).kind, JetFormat::Kind::Jet4);
    EXPECT_EQ(JetFormat::probe(target.folder.file(QStringLiteral("missing.zqd"))).kind,
              JetFormat::Kind::NotJet);
    QFile bytes(file);
    ASSERT_TRUE(bytes.open(QIODevice::ReadWrite));
    bytes.resize(bytes.size() - 1000);
    EXPECT_EQ(JetFormat::probe(file).kind, JetFormat::Kind::Damaged);
    EXPECT_TRUE(JetFormat::refusal(JetFormat::probe(file)).contains(QStringLiteral("不完整")));
    bytes.seek(0x14);
    bytes.write("\x02", 1);
    bytes.flush();
    EXPECT_EQ(JetFormat::probe(file).kind, JetFormat::Kind::OtherEngine);
    EXPECT_TRUE(JetFormat::refusal(JetFormat::probe(file)).contains(QStringLiteral("较新版本")));
}

} // namespace
} // namespace lms
