// Deleting a reader: refused while books are out, the deposit refunded into the ledger, and the
// row, the log and the ledger record stored together or not at all.
#include "ReaderFixture.h"

#include "core/GbkText.h"
#include "readers/Tfrm_SZReader.h"

namespace lms::test {
namespace {

const QString kDbError = QStringLiteral("连接数据库出错!");
const QString kNotAllowed =
    QStringLiteral("请先在读者编号输入框中输入读者编号查询后，当充许删除时才能删除！");

class Deletion : public ReaderScreenTest {
protected:
    Deletion() : screen(ctx) {
        shop.pub.ReaderIdMaxLen = 4;
        screen.FormShow();
    }

    Field& f(const char* name) { return screen.field(QString::fromUtf8(name)); }

    void lookUp(const QString& id) {
        f("tzID").type(QString());
        f("tzID").type(id);
        if (Gbk::byteLength(id) != shop.pub.ReaderIdMaxLen)
            screen.run(QStringLiteral("CheckisHaveReaderClick"));
    }
    bool deletable() { return f("Button1").isEnabled(); }

    Tfrm_SZReader screen;
};

TEST_F(Deletion, AReaderWithABookOutIsShownButCannotBeDeleted) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("未还数量"), 1},
                                       {QStringLiteral("借阅总计"), 7},
                                       {QStringLiteral("当前状态"), QStringLiteral("挂失停用")}});
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(prompter.single(),
              QStringLiteral("读者编号为：R001的读者还有1本图书未还！不能删除！") + QChar(13) +
                  QChar(13) + QStringLiteral("请归还图书之后再删除。"));
    EXPECT_FALSE(deletable());
    EXPECT_EQ(f("tzxm").text(), QStringLiteral("Wang"));
    EXPECT_EQ(f("whsn").number(), 1);
    EXPECT_EQ(f("jyzj").number(), 7);
    EXPECT_EQ(f("tzzt").text(), QStringLiteral("挂失停用"));
    EXPECT_EQ(f("tzztszq").value().toDateTime(), at(2026, 1, 5, 9, 0));
    EXPECT_FALSE(f("GroupBox1").isEnabled()) << "display only";
    prompter.clear();
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), kNotAllowed);
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 1);
}

TEST_F(Deletion, DeletingRefundsTheDepositWithLogAndLedgerRecords) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), 50.0}});
    addReader(QStringLiteral("R002"));
    lookUp(QStringLiteral("R001"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_TRUE(deletable());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("Button1"));
    f("tzbz").type(QStringLiteral("changed before deleting"));
    screen.run(QStringLiteral("Button1Click"));
    EXPECT_EQ(prompter.single(), QStringLiteral("删除读者成功!退回押金金额：50 元。"));
    EXPECT_FALSE(readerColumn(QStringLiteral("R001"), QStringLiteral("读者编号")).isValid());
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 1) << "only the loaded reader goes";
    const QString time = Dates::toStorage(clock.now());
    EXPECT_EQ(rows(QStringLiteral("日志")),
              (QList<QVariantMap>{
                  {{QStringLiteral("事件"), QStringLiteral("删除读者")},
                   {QStringLiteral("时间"), time},
                   {QStringLiteral("操作者"), QStringLiteral("clerk")},
                   {QStringLiteral("说明"), QStringLiteral(" 被删除的读者编号：R001")}}}));
    EXPECT_EQ(rows(QStringLiteral("资金")),
              (QList<QVariantMap>{{{QStringLiteral("事件"), QStringLiteral("删除读者退回押金")},
                                   {QStringLiteral("操作者"), QStringLiteral("clerk")},
                                   {QStringLiteral("时间"), time},
                                   {QStringLiteral("金额总计"), -50.0},
                                   {QStringLiteral("开户费"), 0.0},
                                   {QStringLiteral("押金"), -50.0},
                                   {QStringLiteral("租金"), 0.0},
                                   {QStringLiteral("逾期罚款"), 0.0},
                                   {QStringLiteral("破损遗失赔偿"), 0.0},
                                   {QStringLiteral("读者编号"), QStringLiteral("R001")},
                                   {QStringLiteral("图书编号"), QString()}}}));
    EXPECT_FALSE(deletable());
    EXPECT_EQ(f("tzID").text(), QString());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tzID"));
}

TEST_F(Deletion, ANegativeDepositIsWarnedAboutAndPaidInRatherThanOut) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), -10.0}});
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(prompter.single(), QStringLiteral("此读者缴纳的押金金额已为负数！请及时缴费充值。"));
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Warning);
    EXPECT_TRUE(deletable());
    prompter.clear();
    screen.run(QStringLiteral("Button1Click"));
    EXPECT_EQ(prompter.single(), QStringLiteral("删除读者成功!退回押金金额：-10 元。"));
    const QVariantMap ledger = rows(QStringLiteral("资金")).first();
    EXPECT_EQ(ledger[QStringLiteral("金额总计")].toDouble(), 10.0);
    EXPECT_EQ(ledger[QStringLiteral("押金")].toDouble(), 10.0);
}

TEST_F(Deletion, TheValidityShownIsExtendedOrTodayForPayPerDay) {
    addReader(QStringLiteral("D001"), {{QStringLiteral("读者类型"), QStringLiteral("按日租借")}});
    addReader(QStringLiteral("A001"),
              {{QStringLiteral("当前状态"), QStringLiteral("自动延期")},
               {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 3, 4, 20, 0))}});
    lookUp(QStringLiteral("D001"));
    EXPECT_EQ(f("yxq").value().toDateTime(), clock.now());
    lookUp(QStringLiteral("A001"));
    EXPECT_EQ(f("yxq").value().toDateTime(), at(2026, 4, 15, 9, 0));
    EXPECT_TRUE(prompter.boxes().empty()) << "no expiry message here";
}

TEST_F(Deletion, AnUnknownIdResetsAndAFollowingLookupReplacesTheLoadedReader) {
    addReader(QStringLiteral("R001"));
    addReader(QStringLiteral("R002"), {{QStringLiteral("未还数量"), 3}});
    lookUp(QStringLiteral("R001"));
    ASSERT_TRUE(deletable());
    lookUp(QStringLiteral("X"));
    EXPECT_EQ(prompter.single(), QStringLiteral("读者编号为：X的读者在系统中不存在！") + QChar(13) +
                                     QChar(13) + QStringLiteral("请输入新的读者编号。"));
    EXPECT_FALSE(deletable());
    EXPECT_EQ(f("tzxm").text(), QString());
    lookUp(QStringLiteral("R001"));
    lookUp(QStringLiteral("R002"));
    EXPECT_FALSE(deletable()) << "the second reader holds books";
    screen.Button1Click();
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 2);
}

TEST_F(Deletion, AChineseIdOfFullLengthLooksItselfUp) {
    addReader(QStringLiteral("张三"));
    f("tzID").type(QStringLiteral("张三"));
    EXPECT_TRUE(deletable());
    EXPECT_EQ(f("tzxm").text(), QStringLiteral("Wang"));
}

TEST_F(Deletion, ADatabaseFailureLeavesTheReaderAndWritesNoRecord) {
    addReader(QStringLiteral("R001"));
    lookUp(QStringLiteral("R001"));
    for (const char* failing : {"DELETE FROM 读者", "INSERT INTO 日志", "INSERT INTO 资金"}) {
        SCOPED_TRACE(failing);
        prompter.clear();
        FailingStatements failure(shop.dm->db(), QString::fromUtf8(failing));
        screen.run(QStringLiteral("Button1Click"));
        EXPECT_EQ(prompter.single(), kDbError);
        EXPECT_EQ(shop.count(QStringLiteral("读者")), 1);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
        EXPECT_EQ(shop.count(QStringLiteral("资金")), 0);
        EXPECT_TRUE(deletable()) << "the reader stays loaded";
    }
}

TEST_F(Deletion, AFailingLookupLoadsNothing) {
    addReader(QStringLiteral("R001"));
    lookUp(QStringLiteral("R001"));
    ASSERT_TRUE(deletable());
    {
        FailingStatements failure(shop.dm->db(), QStringLiteral("FROM 读者"));
        lookUp(QStringLiteral("R001"));
    }
    EXPECT_EQ(prompter.single(), kDbError);
    EXPECT_FALSE(deletable());
    screen.Button1Click();
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 1);
}

} // namespace
} // namespace lms::test
