// Long random runs of loans and returns keep the tables in step: a reader's count of books out
// equals the loan rows, and a book has a loan row exactly while it is lent.
#include "circulation/db/CirculationFixture.h"

#include <QRandomGenerator>

namespace lms::test {
namespace {

class LoanInvariants : public CirculationTest {
protected:
    void expectInvariants() {
        Database& db = shop.dm->db();
        EXPECT_EQ(db.scalar(QStringLiteral(
                                "SELECT COUNT(*) FROM 读者 WHERE 未还数量 <> (SELECT COUNT(*) FROM "
                                "借出图书 WHERE 借出图书.读者编号 = 读者.读者编号)"))
                      .toInt(),
                  0);
        EXPECT_EQ(db.scalar(QStringLiteral(
                                "SELECT COUNT(*) FROM 图书 WHERE (当前状态 = '已借出') <> EXISTS "
                                "(SELECT 1 FROM 借出图书 WHERE 借出图书.图书编号 = 图书.图书编号)"))
                      .toInt(),
                  0);
        EXPECT_EQ(
            db.scalar(QStringLiteral("SELECT COUNT(*) - COUNT(DISTINCT 图书编号) FROM 借出图书"))
                .toInt(),
            0);
    }
};

TEST_F(LoanInvariants, HoldAfterLongRandomRunsOfLoansAndReturns) {
    shop.pub.DamageRate = 0.5f;
    for (int r = 0; r < 4; ++r)
        addReader(QStringLiteral("R00") + QString::number(r),
                  {{QStringLiteral("读者类型"),
                    r == 3 ? QStringLiteral("按日租借") : QStringLiteral("包月")},
                   {QStringLiteral("借阅有效期"), Dates::toStorage(at(2027, 1, 1, 9, 0))}});
    for (int b = 0; b < 8; ++b)
        addBook(QStringLiteral("B00") + QString::number(b));
    Tfrm_TZJBook borrowing(ctx);
    Tfrm_TZHBook returning(ctx, borrowing);
    QRandomGenerator random(20260314);
    int lends = 0;
    int returns = 0;
    for (int step = 0; step < 300; ++step) {
        clock.set(clock.now().addSecs(3600 * random.bounded(1, 30)));
        const QString book = QStringLiteral("B00") + QString::number(random.bounded(8));
        for (int i = 0; i < 4; ++i)
            prompter.answer(true);
        if (random.bounded(2) == 0) {
            const QString reader = QStringLiteral("R00") + QString::number(random.bounded(4));
            const qint64 before = shop.count(QStringLiteral("借出图书"));
            lendThroughScreen(borrowing, reader, book);
            lends += shop.count(QStringLiteral("借出图书")) > before ? 1 : 0;
        } else {
            bringBack(returning, book);
            returning.field(QStringLiteral("psyx")).setValue(random.bounded(5) == 0);
            returning.field(QStringLiteral("cyjhz")).setValue(random.bounded(2) == 0);
            const qint64 before = shop.count(QStringLiteral("借出图书"));
            returning.Button1Click();
            returns += shop.count(QStringLiteral("借出图书")) < before ? 1 : 0;
        }
        // Damaged books go back on the shelf now and then, as maintenance would put them.
        if (random.bounded(10) == 0)
            Query(shop.dm->db(),
                  QStringLiteral("UPDATE 图书 SET 当前状态 = '未借出' WHERE 当前状态 = '破损遗失'"))
                .exec();
        prompter = ScriptedPrompter();
        expectInvariants();
        if (HasFailure())
            FAIL() << "at step " << step;
    }
    EXPECT_GT(lends, 30);
    EXPECT_GT(returns, 30);
    EXPECT_EQ(shop.count(QStringLiteral("图书借阅历史记录")), returns);
    EXPECT_EQ(shop.count(QStringLiteral("资金")), returns);
    EXPECT_EQ(shop.count(QStringLiteral("日志")), lends + returns);
    EXPECT_EQ(shop.dm->db().scalar(QStringLiteral("SELECT SUM(借阅总计) FROM 读者")).toInt(),
              lends);
}

} // namespace
} // namespace lms::test
