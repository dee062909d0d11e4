// Receipts read back from what the operations stored: their figures equal the ledger record, the
// loan and history rows give the books and dates, and rows that are gone or of another operation
// are refused rather than printed.
#include "reports/Receipt.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/ScreenContext.h"
#include "reports/ReceiptPrinting.h"
#include "support/FailingStatements.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::FailingStatements;
using test::FixedClock;
using test::ScriptedHost;
using test::ScriptedPrompter;
using test::ShopDatabase;

const QDateTime kNow = at(2026, 3, 14, 15, 20, 5);

class Receipts : public ::testing::Test {
protected:
    Receipts() : context{*shop.dm, shop.pub, prompter, clock, host} {}

    Database& db() { return shop.dm->db(); }

    qint64 appendLoan(const QString& book, const QString& reader, const QDateTime& lent, int days) {
        test::addLoan(
            db(), book, reader,
            {{QStringLiteral("图书名称"), QStringLiteral("书名") + book},
             {QStringLiteral("读者姓名"), QStringLiteral("读者") + reader},
             {QStringLiteral("借出日期"), Dates::toStorage(lent)},
             {QStringLiteral("最晚归还日期"), Dates::toStorage(Dates::plusDays(lent, days))}});
        return lms::Receipts::lastRowid(db(), QStringLiteral("借出图书"));
    }
    qint64 appendLog(const QString& event, const QDateTime& when) {
        EXPECT_TRUE(shop.dm->WriteRZ(event, QStringLiteral("店员甲"), when, QStringLiteral("x")));
        return lms::Receipts::lastRowid(db(), QStringLiteral("日志"));
    }
    qint64 appendLedger(const QString& event, float total, float deposit, float rent, float fine,
                        float compensation) {
        EXPECT_TRUE(shop.dm->WriteZJ(event, QStringLiteral("店员乙"), kNow, total, 0, deposit, rent,
                                     fine, compensation));
        return lms::Receipts::lastRowid(db(), QStringLiteral("资金"));
    }
    qint64 appendHistory(const QString& remark) {
        test::addHistory(db(), QStringLiteral("B7"), QStringLiteral("R9"),
                         {{QStringLiteral("图书名称"), QStringLiteral("三国演义")},
                          {QStringLiteral("读者姓名"), QStringLiteral("赵六")},
                          {QStringLiteral("借阅日期"), Dates::toStorage(kNow.addDays(-40))},
                          {QStringLiteral("归还日期"), Dates::toStorage(kNow)},
                          {QStringLiteral("备注"), remark}});
        return lms::Receipts::lastRowid(db(), QStringLiteral("图书借阅历史记录"));
    }
    void addReader(const QString& id, const QString& type, double deposit,
                   const QDateTime& validity) {
        // Only the columns a receipt reads are filled in.
        test::insertRow(db(), QStringLiteral("读者"),
                        {{QStringLiteral("读者编号"), id},
                         {QStringLiteral("读者姓名"), QStringLiteral("赵六")},
                         {QStringLiteral("读者类型"), type},
                         {QStringLiteral("押金"), deposit},
                         {QStringLiteral("借阅有效期"), Dates::toStorage(validity)}});
    }
    // The stored amount of a ledger column, as the ledger query would read it.
    double stored(qint64 row, const QString& column) {
        return db()
            .scalar(QStringLiteral("SELECT %1 FROM 资金 WHERE rowid = ?").arg(column), {row})
            .toDouble();
    }
    static QString valueOf(const Printout& p, const QString& label) {
        for (const PrintoutLine& line : p.lines)
            if (line.label == label)
                return line.value;
        return QStringLiteral("<none>");
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{kNow};
    ScriptedHost host;
    ScreenContext context;
    RegionalFormats formats;
};

TEST_F(Receipts, ALoanReceiptListsTheBooksWithTheirDueDatesAndTheOperator) {
    const qint64 first = appendLoan(QStringLiteral("B1"), QStringLiteral("R1"), kNow, 30);
    appendLoan(QStringLiteral("B2"), QStringLiteral("R2"), kNow, 30);
    const qint64 second = appendLoan(QStringLiteral("B3"), QStringLiteral("R1"), kNow, 15);
    const qint64 log = appendLog(QStringLiteral("读者借书"), kNow);
    const Receipt r = lms::Receipts::loan(db(), {first, second}, log);
    EXPECT_EQ(r.title, QStringLiteral("借书凭条"));
    EXPECT_EQ(r.operation, QStringLiteral("读者借书"));
    EXPECT_EQ(r.readerId, QStringLiteral("R1"));
    EXPECT_EQ(r.readerName, QStringLiteral("读者R1"));
    ASSERT_EQ(r.books.size(), 2u);
    EXPECT_EQ(r.books[0].id, QStringLiteral("B1"));
    EXPECT_EQ(r.books[0].due, at(2026, 4, 13, 15, 20, 5));
    EXPECT_EQ(r.books[1].name, QStringLiteral("书名B3"));
    EXPECT_EQ(r.books[1].due, at(2026, 3, 29, 15, 20, 5));
    EXPECT_TRUE(r.amounts.empty()) << "a loan moves no money";
    EXPECT_EQ(r.operatorName, QStringLiteral("店员甲"));
    EXPECT_EQ(r.time, kNow);

    const Printout p = lms::Receipts::printout(r, formats);
    EXPECT_EQ(p.paper, Printout::Paper::Slip);
    EXPECT_EQ(p.title, QStringLiteral("借书凭条"));
    EXPECT_EQ(valueOf(p, QStringLiteral("读者编号：")), QStringLiteral("R1"));
    EXPECT_EQ(valueOf(p, QStringLiteral("应还日期：")),
              formats.dateTimeText(r.books[0].due)); // the first book's
    EXPECT_EQ(valueOf(p, QStringLiteral("操作员：")), QStringLiteral("店员甲"));
    EXPECT_EQ(valueOf(p, QStringLiteral("时间：")), formats.dateTimeText(kNow));
}

TEST_F(Receipts, AReturnReceiptsFiguresEqualTheStoredLedgerRecord) {
    addReader(QStringLiteral("R9"), QStringLiteral("按日租借"), -2.5, kNow);
    // Taken from the deposit: no cash, the deposit lowered by the total, the parts as charged.
    const qint64 ledger = appendLedger(QStringLiteral("读者还书"), 0, -12.5f, 0.1f, 2.4f, 10);
    const qint64 history = appendHistory(QStringLiteral("破损或遗失"));
    const Receipt r = lms::Receipts::giveBack(db(), ledger, history);
    EXPECT_EQ(r.title, QStringLiteral("还书凭条"));
    EXPECT_EQ(r.operation, QStringLiteral("读者还书"));
    EXPECT_EQ(r.readerId, QStringLiteral("R9"));
    ASSERT_EQ(r.books.size(), 1u);
    EXPECT_EQ(r.books[0].returned, kNow);
    EXPECT_EQ(r.books[0].lent, kNow.addDays(-40));
    EXPECT_EQ(r.books[0].remark, QStringLiteral("破损或遗失"));
    const QStringList columns = {QStringLiteral("金额总计"), QStringLiteral("押金"),
                                 QStringLiteral("租金"), QStringLiteral("逾期罚款"),
                                 QStringLiteral("破损遗失赔偿")};
    ASSERT_EQ(r.amounts.size(), 5u);
    for (std::size_t i = 0; i < r.amounts.size(); ++i) {
        EXPECT_EQ(r.amounts[i].column, columns[static_cast<int>(i)]);
        EXPECT_EQ(r.amounts[i].value, stored(ledger, columns[static_cast<int>(i)]));
    }
    // The stored single-precision amount, not the 0.1 the screen may have shown.
    EXPECT_EQ(r.amounts[2].value, static_cast<double>(0.1f));
    EXPECT_NE(r.amounts[2].value, 0.1);
    EXPECT_EQ(r.operatorName, QStringLiteral("店员乙"));
    EXPECT_TRUE(r.hasDepositLeft);
    EXPECT_EQ(r.depositLeft, -2.5);

    const Printout p = lms::Receipts::printout(r, formats);
    EXPECT_EQ(valueOf(p, QStringLiteral("金额总计(元)：")), QStringLiteral("0.00"));
    EXPECT_EQ(valueOf(p, QStringLiteral("押金增减(元)：")), QStringLiteral("-12.50"));
    EXPECT_EQ(valueOf(p, QStringLiteral("租金(元)：")), QStringLiteral("0.10"));
    EXPECT_EQ(valueOf(p, QStringLiteral("逾期罚款(元)：")), QStringLiteral("2.40"));
    EXPECT_EQ(valueOf(p, QStringLiteral("破损遗失赔偿(元)：")), QStringLiteral("10.00"));
    EXPECT_EQ(valueOf(p, QStringLiteral("押金余额(元)：")), QStringLiteral("-2.50"));
    EXPECT_EQ(valueOf(p, QStringLiteral("备注：")), QStringLiteral("破损或遗失"));
    EXPECT_EQ(valueOf(p, QStringLiteral("归还日期：")), formats.dateTimeText(kNow));
}

TEST_F(Receipts, APaymentReceiptShowsTheAmountsPaidAndTheNewValidity) {
    const QDateTime renewed = at(2026, 4, 15, 10, 0);
    addReader(QStringLiteral("R9"), QStringLiteral("包月"), 100, renewed);
    const qint64 ledger = appendLedger(QStringLiteral("缴费充值"), 50, 20, 30, 0, 0);
    const Receipt r = lms::Receipts::payment(db(), ledger, QStringLiteral("R9"));
    EXPECT_EQ(r.title, QStringLiteral("缴费凭条"));
    EXPECT_EQ(r.readerName, QStringLiteral("赵六"));
    ASSERT_EQ(r.amounts.size(), 3u) << "金额总计 and the parts that are not 0";
    EXPECT_EQ(r.amounts[0].value, 50.0);
    EXPECT_EQ(r.amounts[1].column, QStringLiteral("押金"));
    EXPECT_EQ(r.amounts[2].column, QStringLiteral("租金"));
    EXPECT_EQ(r.validUntil, renewed);
    const Printout p = lms::Receipts::printout(r, formats);
    EXPECT_EQ(valueOf(p, QStringLiteral("金额总计(元)：")), QStringLiteral("50.00"));
    EXPECT_EQ(valueOf(p, QStringLiteral("租借有效期至：")), formats.longDate(renewed.date()));
    EXPECT_EQ(valueOf(p, QStringLiteral("押金余额(元)：")), QStringLiteral("100.00"));

    // A reader who pays per day has no validity to show.
    Query(db(), QStringLiteral("UPDATE 读者 SET 读者类型 = '按日租借'")).exec();
    EXPECT_FALSE(lms::Receipts::payment(db(), ledger, QStringLiteral("R9")).validUntil.isValid());
}

TEST_F(Receipts, RowsThatAreGoneOrOfAnotherOperationAreRefused) {
    addReader(QStringLiteral("R9"), QStringLiteral("包月"), 100, kNow);
    const qint64 loan1 = appendLoan(QStringLiteral("B1"), QStringLiteral("R1"), kNow, 30);
    const qint64 loan2 = appendLoan(QStringLiteral("B2"), QStringLiteral("R2"), kNow, 30);
    const qint64 loanLog = appendLog(QStringLiteral("读者借书"), kNow);
    const qint64 otherLog = appendLog(QStringLiteral("读者归书"), kNow);
    const qint64 payment = appendLedger(QStringLiteral("缴费充值"), 50, 20, 30, 0, 0);
    const qint64 giveBack = appendLedger(QStringLiteral("读者还书"), 1, 0, 0, 1, 0);
    const qint64 history = appendHistory(QString());

    using lms::Receipts::Missing;
    EXPECT_THROW(lms::Receipts::loan(db(), {loan1}, otherLog), Missing);
    EXPECT_THROW(lms::Receipts::loan(db(), {loan1, loan2}, loanLog), Missing);
    EXPECT_THROW(lms::Receipts::loan(db(), {}, loanLog), Missing);
    EXPECT_THROW(lms::Receipts::giveBack(db(), payment, history), Missing);
    EXPECT_THROW(lms::Receipts::giveBack(db(), giveBack, history + 100), Missing);
    EXPECT_THROW(lms::Receipts::payment(db(), giveBack, QStringLiteral("R9")), Missing);
    EXPECT_THROW(lms::Receipts::payment(db(), payment, QStringLiteral("没有")), Missing);
    // The book came back before its loan receipt was asked for.
    Query(db(), QStringLiteral("DELETE FROM 借出图书 WHERE rowid = ?")).bind(1, loan1).exec();
    EXPECT_THROW(lms::Receipts::loan(db(), {loan1}, loanLog), Missing);
    EXPECT_NO_THROW(lms::Receipts::loan(db(), {loan2}, loanLog));
}

TEST_F(Receipts, PrintingShowsTheSlipOrSaysWhyNot) {
    addReader(QStringLiteral("R9"), QStringLiteral("包月"), 100, kNow);
    const qint64 ledger = appendLedger(QStringLiteral("缴费充值"), 50, 20, 30, 0, 0);

    ReceiptPrinting::print(context, ReceiptSource());
    EXPECT_EQ(prompter.single(), QStringLiteral("没有可打印的凭条!"));
    prompter.clear();

    ReceiptPrinting::print(context, ReceiptSource::payment(ledger, QStringLiteral("R9")));
    EXPECT_TRUE(prompter.boxes().empty());
    ASSERT_EQ(prompter.printed().size(), 1u);
    EXPECT_EQ(prompter.printed()[0].printout.title, QStringLiteral("缴费凭条"));
    EXPECT_EQ(valueOf(prompter.printed()[0].printout, QStringLiteral("金额总计(元)：")),
              QStringLiteral("50.00"));

    ReceiptPrinting::print(context, ReceiptSource::giveBack(ledger, 1));
    EXPECT_EQ(prompter.single(), QStringLiteral("凭条所依据的记录已不存在，无法打印凭条!"));
    prompter.clear();

    {
        const FailingStatements everyStatement(db(), QString());
        ReceiptPrinting::print(context, ReceiptSource::payment(ledger, QStringLiteral("R9")));
    }
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_EQ(prompter.printed().size(), 1u);
}

} // namespace
} // namespace lms
