// Payments: the proposal of each reader type, the running total, what a payment stores with its
// log and ledger records, and the refusals.
#include "circulation/db/CirculationFixture.h"

namespace lms::test {
namespace {

class Payment : public CirculationTest {
protected:
    void lookUp(const QString& id) {
        screen.FormShow();
        screen.field(QStringLiteral("ID")).type(id);
    }
    QDateTime dateOf(const char* name) {
        return screen.field(QString::fromLatin1(name)).value().toDateTime();
    }
    Tfrm_JNZC screen{ctx};
};

TEST_F(Payment, AMonthlyReaderRenewsAndTopsUpTheDeposit) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("押金"), 80.0},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 5, 15, 10, 0))}});
    lookUp(QStringLiteral("R001"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(value(screen, "ZJYJ"), QStringLiteral("20"));
    EXPECT_EQ(value(screen, "ZJ"), QStringLiteral("30"));
    EXPECT_EQ(value(screen, "fyzj"), QStringLiteral("50"));
    EXPECT_EQ(dateOf("xyxq"), at(2026, 6, 15, 10, 0));
    screen.field(QStringLiteral("bz")).type(QStringLiteral("续一月\n现金"));
    screen.Button2Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("读者缴费充值成功!"));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("押金")).toDouble(), 100.0);
    EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("借阅有效期")),
              at(2026, 6, 15, 10, 0));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("备注")).toString(),
              QStringLiteral("续一月现金"));
    EXPECT_EQ(lastRow(QStringLiteral("资金")),
              (QVariantMap{{QStringLiteral("事件"), QStringLiteral("缴费充值")},
                           {QStringLiteral("操作者"), QStringLiteral("clerk")},
                           {QStringLiteral("时间"), Dates::toStorage(clock.now())},
                           {QStringLiteral("金额总计"), 50.0},
                           {QStringLiteral("开户费"), 0.0},
                           {QStringLiteral("押金"), 20.0},
                           {QStringLiteral("租金"), 30.0},
                           {QStringLiteral("逾期罚款"), 0.0},
                           {QStringLiteral("破损遗失赔偿"), 0.0},
                           {QStringLiteral("读者编号"), QStringLiteral("R001")},
                           {QStringLiteral("图书编号"), QString()}}));
    EXPECT_EQ(lastLog(), QStringLiteral("读者编号：R001 总金额：50 押金增减：20"));
    EXPECT_FALSE(screen.readerOk());
    EXPECT_EQ(value(screen, "ID"), QString());
}

TEST_F(Payment, AnExcessDepositIsPaidBack) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), 120.0}});
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(value(screen, "ZJYJ"), QStringLiteral("-20"));
    EXPECT_EQ(value(screen, "fyzj"), QStringLiteral("10"));
    screen.Button2Click();
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("押金")).toDouble(), 100.0);
}

TEST_F(Payment, AMonthEndIsClampedToTheShorterMonth) {
    struct Case {
        QDateTime validity;
        QDateTime renewed;
    };
    int n = 0;
    for (const Case& c : {Case{at(2026, 1, 31, 9, 0), at(2026, 2, 28, 9, 0)},
                          Case{at(2028, 1, 31, 9, 0), at(2028, 2, 29, 9, 0)}}) {
        const QString id = QStringLiteral("R00") + QString::number(++n);
        addReader(id, {{QStringLiteral("借阅有效期"), Dates::toStorage(c.validity)}});
        lookUp(id);
        EXPECT_EQ(dateOf("xyxq"), c.renewed);
    }
}

TEST_F(Payment, AnExpiredReaderIsToldAndRenewedFromTheOldValidity) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("读者类型"), QStringLiteral("包季度")},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2025, 12, 14, 9, 0))}});
    lookUp(QStringLiteral("R001"));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.box(0).icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.box(0).text, QStringLiteral("此读者有效阅期已超期!"));
    EXPECT_EQ(dateOf("xyxq"), at(2026, 3, 14, 9, 0));
    EXPECT_EQ(value(screen, "ZJ"), QStringLiteral("80"));
    EXPECT_TRUE(screen.field(QStringLiteral("Button2")).isEnabled());
}

TEST_F(Payment, SwitchingTheTypeTakesItsTermsAndBackRestoresTheReadersOwn) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("最多持有图书数量"), 2}, {QStringLiteral("最长持有图书天数"), 20}});
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(screen.field(QStringLiteral("tssn")).number(), 2);
    screen.field(QStringLiteral("tzrx")).setItemIndex(2);
    EXPECT_EQ(screen.field(QStringLiteral("tssn")).number(), 8);
    EXPECT_EQ(screen.field(QStringLiteral("tssj")).number(), 30);
    EXPECT_EQ(value(screen, "ZJ"), QStringLiteral("300"));
    EXPECT_EQ(value(screen, "fyzj"), QStringLiteral("300"));
    EXPECT_EQ(dateOf("xyxq"), at(2027, 4, 5, 9, 0));
    screen.field(QStringLiteral("tzrx")).setItemIndex(0);
    EXPECT_EQ(screen.field(QStringLiteral("tssn")).number(), 2);
    EXPECT_EQ(screen.field(QStringLiteral("tssj")).number(), 20);
    screen.field(QStringLiteral("tzrx")).setItemIndex(2);
    screen.Button2Click();
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("读者类型")).toString(),
              QStringLiteral("包年"));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("最多持有图书数量")).toInt(), 8);
}

TEST_F(Payment, APayPerDayReaderOnlySettlesTheDeposit) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("读者类型"), QStringLiteral("按日租借")},
                                       {QStringLiteral("押金"), 60.0}});
    lookUp(QStringLiteral("R001"));
    for (const char* group : {"GroupBox5", "GroupBox6", "GroupBox8"})
        EXPECT_FALSE(screen.field(QString::fromLatin1(group)).isVisible()) << group;
    EXPECT_EQ(value(screen, "ZJ"), QStringLiteral("0"));
    EXPECT_EQ(value(screen, "fyzj"), QStringLiteral("40"));
    screen.Button2Click();
    EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("借阅有效期")), clock.now());
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("押金")).toDouble(), 100.0);
    // Becoming time-based starts from now.
    lookUp(QStringLiteral("R001"));
    screen.field(QStringLiteral("tzrx")).setItemIndex(0);
    EXPECT_EQ(dateOf("xyxq"), clock.now().addMonths(1));
}

TEST_F(Payment, TheRunningTotalWaitsForANegativeNumber) {
    addReader(QStringLiteral("R001"));
    lookUp(QStringLiteral("R001"));
    screen.field(QStringLiteral("ZJYJ")).type(QStringLiteral("-"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(value(screen, "fyzj"), QStringLiteral("30"));
    screen.field(QStringLiteral("ZJYJ")).type(QStringLiteral("-5"));
    EXPECT_EQ(value(screen, "fyzj"), QStringLiteral("25"));
    screen.field(QStringLiteral("ZJ")).type(QStringLiteral("abc"));
    EXPECT_EQ(prompter.single(), QStringLiteral("输入错误！请输入正确的金额。"));
    EXPECT_EQ(value(screen, "fyzj"), QStringLiteral("25"));
}

TEST_F(Payment, AmountsThatAreNoNumbersAreRefusedOnConfirm) {
    addReader(QStringLiteral("R001"));
    lookUp(QStringLiteral("R001"));
    for (const QString& bad :
         {QStringLiteral("abc"), QStringLiteral("-"), QStringLiteral("1e400"), QString()}) {
        screen.field(QStringLiteral("ZJ")).type(bad);
        prompter.clear();
        screen.Button2Click();
        EXPECT_EQ(prompter.single(), QStringLiteral("输入费用金额错误！请输入正确的金额。"));
    }
    EXPECT_EQ(shop.count(QStringLiteral("资金")), 0);
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("押金")).toDouble(), 100.0);
}

TEST_F(Payment, AReaderReportedLostCannotPay) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("当前状态"), QStringLiteral("挂失停用")}});
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(
        prompter.single(),
        QStringLiteral("此读者的当前状态为：挂失停用 不能进行缴费充值！\r\r请先通过“更改读者信息”"
                       "功能来更改读者的当前状态后再缴费充值。"));
    EXPECT_FALSE(screen.field(QStringLiteral("Button2")).isEnabled());
    screen.Button2Click();
    EXPECT_EQ(shop.count(QStringLiteral("资金")), 0);
}

TEST_F(Payment, AMissingReaderAfterAGoodOneCannotPay) {
    addReader(QStringLiteral("R001"));
    lookUp(QStringLiteral("R001"));
    screen.field(QStringLiteral("ID")).type(QStringLiteral("R999"));
    prompter.clear();
    screen.Button2Click();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("请先在读者编号输入框中输入读者编号查询后再更改！"));
    EXPECT_EQ(shop.count(QStringLiteral("资金")), 0);
}

TEST_F(Payment, APaymentRenewsTheStateDateSoIdleDaysCountOnce) {
    addReader(QStringLiteral("R001"),
              {{QStringLiteral("当前状态"), QStringLiteral("自动延期")},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 10, 9, 0))},
               {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 3, 1, 9, 0))}});
    clock.set(at(2026, 3, 20, 15, 0));
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(dateOf("yxq"), at(2026, 3, 29, 9, 0));
    EXPECT_EQ(dateOf("xyxq"), at(2026, 4, 29, 9, 0));
    screen.Button2Click();
    EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("状态设置期")), clock.now());
    clock.set(at(2026, 3, 21, 15, 0));
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(dateOf("yxq"), at(2026, 4, 30, 9, 0)) << "only the one day since the payment";
}

TEST_F(Payment, AFailedPaymentStoresNothingAndKeepsTheReader) {
    addReader(QStringLiteral("R001"));
    lookUp(QStringLiteral("R001"));
    for (const QString& failing :
         {QStringLiteral("INSERT INTO 资金"), QStringLiteral("INSERT INTO 日志"),
          QStringLiteral("UPDATE 读者")}) {
        prompter.clear();
        {
            FailingStatements fail(shop.dm->db(), failing);
            screen.Button2Click();
        }
        EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
        EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("押金")).toDouble(), 100.0);
        EXPECT_EQ(shop.count(QStringLiteral("日志")) + shop.count(QStringLiteral("资金")), 0);
        EXPECT_TRUE(screen.readerOk());
    }
}

} // namespace
} // namespace lms::test
