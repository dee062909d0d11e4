// Clearing the log, the borrowing history, the ledger (with its summary record) and all readers
// and books: each clear is complete or not done at all.
#include "AdminFixture.h"
#include "admin/Tfrm_QKSJB.h"

namespace lms {
namespace {

using test::AdminTest;

class ClearData : public AdminTest {
protected:
    ClearData() {
        for (int i = 0; i < 3; ++i) {
            shop.dm->WriteRZ(QStringLiteral("读者借书"), QStringLiteral("clerk"), clock.now(), {});
            addBareLoan(QString::number(i));
        }
    }
    void ledger(float total, float fee, float deposit, float rent, float fine, float damage) {
        ASSERT_TRUE(shop.dm->WriteZJ(QStringLiteral("添加读者"), QStringLiteral("clerk"),
                                     clock.now(), total, fee, deposit, rent, fine, damage));
    }
    qint64 count(const char* table) { return shop.count(QString::fromUtf8(table)); }
    // A running single-precision sum of the given two-decimal amounts, widened as stored.
    Tfrm_QKSJB screen{ctx};
};

TEST_F(ClearData, ButtonsCarryTheirCaptions) {
    EXPECT_EQ(screen.caption(), QStringLiteral("清空系统数据"));
    EXPECT_EQ(screen.field(QStringLiteral("Button1")).caption(),
              QStringLiteral("清空系统所有操作日志"));
    EXPECT_EQ(screen.field(QStringLiteral("Button5")).caption(),
              QStringLiteral("清空图书借阅历史记录"));
    EXPECT_EQ(screen.field(QStringLiteral("Button2")).caption(),
              QStringLiteral("清空系统所有资金"));
    EXPECT_EQ(screen.field(QStringLiteral("Button3")).caption(),
              QStringLiteral("清空所有读者、图书"));
    EXPECT_EQ(screen.field(QStringLiteral("Button4")).caption(), QStringLiteral("关闭"));
}

TEST_F(ClearData, ClearingTheLogLeavesExactlyItsOwnRecord) {
    prompter.answer(true);
    screen.Button1Click();
    EXPECT_EQ(prompter.texts(), (QStringList{QStringLiteral("您真的要清空系统中所有的操作日志吗？"),
                                             QStringLiteral("清空操作日志成功!")}));
    EXPECT_EQ(prompter.box(0).icon, Prompter::Icon::Warning);
    EXPECT_EQ(prompter.box(0).buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(logRecords(), QStringList{QStringLiteral("清空操作日志|admin|")});
    EXPECT_EQ(count("图书借阅历史记录"), 3);
}

TEST_F(ClearData, NoToAnyQuestionClearsNothing) {
    prompter.answer(false);
    screen.Button1Click();
    prompter.answer(false);
    screen.Button5Click();
    prompter.answer(false);
    screen.Button2Click();
    prompter.answer(true);
    prompter.answer(false);
    screen.Button3Click();
    EXPECT_EQ(prompter.boxes().size(), 5u);
    EXPECT_EQ(count("日志"), 3);
    EXPECT_EQ(count("图书借阅历史记录"), 3);
    EXPECT_EQ(count("读者"), 3);
    EXPECT_EQ(count("借出图书"), 3);
}

TEST_F(ClearData, ClearingTheHistoryKeepsEverythingElse) {
    prompter.answer(true);
    screen.Button5Click();
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("您真的要清空系统中所有的图书借阅历史记录吗？"),
                           QStringLiteral("清空图书借阅历史记录成功!")}));
    EXPECT_EQ(count("图书借阅历史记录"), 0);
    EXPECT_EQ(count("日志"), 4);
    EXPECT_EQ(logRecords().last(), QStringLiteral("清空图书借阅历史记录|admin|"));
}

TEST_F(ClearData, ClearingReadersAndBooksAlsoEmptiesTheLoansAndKeepsTheHistory) {
    ledger(10, 10, 0, 0, 0, 0);
    prompter.answer(true);
    prompter.answer(true);
    screen.Button3Click();
    const QString question = QStringLiteral("您真的要清空系统中所有的读者及所有图书吗？");
    EXPECT_EQ(prompter.texts(),
              (QStringList{question, QStringLiteral("请再次确认！！！\r\r") + question,
                           QStringLiteral("清空所有读者、所有图书成功!")}));
    EXPECT_EQ(count("读者"), 0);
    EXPECT_EQ(count("图书"), 0);
    EXPECT_EQ(count("借出图书"), 0);
    EXPECT_EQ(count("图书借阅历史记录"), 3);
    EXPECT_EQ(count("资金"), 1);
    EXPECT_EQ(count("管理员"), 1);
    EXPECT_EQ(count("图书类型"), 7);
    EXPECT_EQ(count("sysset"), 11);
    EXPECT_EQ(logRecords().size(), 4);
    EXPECT_EQ(logRecords().last(), QStringLiteral("清空所有读者、所有图书|admin|"));
}

TEST_F(ClearData, AClearThatFailsHalfWayLeavesEveryTableAsItWas) {
    faults.failOn(QStringLiteral("DELETE FROM \"读者\""));
    prompter.answer(true);
    prompter.answer(true);
    screen.Button3Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_EQ(count("图书"), 3);
    EXPECT_EQ(count("读者"), 3);
    EXPECT_EQ(count("借出图书"), 3);
    EXPECT_EQ(count("日志"), 3);
}

TEST_F(ClearData, AClearWhoseLogRecordFailsIsUndone) {
    faults.failOn(QStringLiteral("INSERT INTO 日志"));
    prompter.answer(true);
    screen.Button1Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_EQ(count("日志"), 3);
}

TEST_F(ClearData, TheLedgerSummaryAddsAmountsRoundedToTwoDecimals) {
    ledger(2.004f, 2.006f, 100.0f, -30.0f, 0.5f, 0.125f);
    ledger(2.004f, 2.006f, -100.0f, 30.0f, 0.3f, 0.125f);
    ledger(10.0f, 0, 0, 0, 0.1f, 1e-3f);
    prompter.answer(true);
    prompter.answer(true);
    screen.Button2Click();
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("您真的要清空系统中所有的资金记录吗？"),
                           QStringLiteral("系统中的所有资金记录清空后您是否要建汇总记录？"),
                           QStringLiteral("清空系统中所有资金成功!")}));
    EXPECT_EQ(prompter.box(1).icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.box(1).buttons, Prompter::Buttons::YesNo);
    const QList<QVariantMap> rows = test::tableRows(db(), QStringLiteral("资金"));
    ASSERT_EQ(rows.size(), 1);
    const QVariantMap& q = rows.first();
    EXPECT_EQ(q[QStringLiteral("事件")].toString(), QStringLiteral("资金汇总"));
    EXPECT_EQ(q[QStringLiteral("操作者")].toString(), QStringLiteral("admin"));
    EXPECT_EQ(q[QStringLiteral("时间")].toString(), QStringLiteral("2026-03-14 10:30:00.000"));
    // Each amount counts as shown (2.004 as 2.00, 2.006 as 2.01, 0.125 as 0.13, 0.001 as 0.00)
    // and the sums are of whole cents.
    EXPECT_EQ(q[QStringLiteral("金额总计")].toDouble(), 14.00);
    EXPECT_EQ(q[QStringLiteral("开户费")].toDouble(), 4.02);
    EXPECT_EQ(q[QStringLiteral("押金")].toDouble(), 0.0);
    EXPECT_EQ(q[QStringLiteral("租金")].toDouble(), 0.0);
    EXPECT_EQ(q[QStringLiteral("逾期罚款")].toDouble(), 0.90);
    EXPECT_EQ(q[QStringLiteral("破损遗失赔偿")].toDouble(), 0.26);
    EXPECT_EQ(logRecords().last(), QStringLiteral("清空系统中所有资金|admin|"));
}

TEST_F(ClearData, WithoutASummaryTheLedgerEndsEmpty) {
    ledger(5, 5, 0, 0, 0, 0);
    prompter.answer(true);
    prompter.answer(false);
    screen.Button2Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("清空系统中所有资金成功!"));
    EXPECT_EQ(count("资金"), 0);
    EXPECT_EQ(logRecords().last(), QStringLiteral("清空系统中所有资金|admin|"));
}

TEST_F(ClearData, AnEmptyLedgerWithASummaryEndsSilently) {
    prompter.answer(true);
    prompter.answer(true);
    screen.Button2Click();
    EXPECT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(count("资金"), 0);
    EXPECT_EQ(count("日志"), 3);
}

TEST_F(ClearData, WhenSummingFailsNothingIsCleared) {
    ledger(5, 5, 0, 0, 0, 0);
    ledger(7, 0, 7, 0, 0, 0);
    faults.failOn(QStringLiteral("FROM 资金 ORDER BY"));
    prompter.answer(true);
    prompter.answer(true);
    screen.Button2Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_EQ(count("资金"), 2);
    EXPECT_EQ(count("日志"), 3);
}

TEST_F(ClearData, WhenTheSummaryRecordFailsTheLedgerKeepsItsRows) {
    ledger(5, 5, 0, 0, 0, 0);
    faults.failOn(QStringLiteral("INSERT INTO 资金"));
    prompter.answer(true);
    prompter.answer(true);
    screen.Button2Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_EQ(count("资金"), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT 事件 FROM 资金")).toString(),
              QStringLiteral("添加读者"));
}

TEST_F(ClearData, CloseClosesTheScreen) {
    bool closed = false;
    QObject::connect(&screen, &FormModel::closeRequested, [&] { closed = true; });
    screen.run(QStringLiteral("Button4Click"));
    EXPECT_TRUE(closed);
}

} // namespace
} // namespace lms
