// Registering readers: the proposals of each reader type, the running total and its refusals,
// the automatic id check, and the reader row, ledger and log record stored together.
#include "ReaderFixture.h"

#include "readers/Tfrm_TJReader.h"

namespace lms::test {
namespace {

const QString kAmountError = QStringLiteral("输入错误！请输入正确的金额。");
const QString kFeeError = QStringLiteral("输入费用金额错误！请输入正确的金额。");
const QString kDbError = QStringLiteral("连接数据库出错!");

class Registration : public ReaderScreenTest {
protected:
    Registration() : screen(ctx) { screen.FormShow(); }

    Field& f(const char* name) { return screen.field(QString::fromUtf8(name)); }

    // Fills in a complete reader and presses "添加".
    void add(const QString& id, const QString& name) {
        f("ID").type(id);
        f("xm").type(name);
        screen.run(QStringLiteral("Button1Click"));
    }

    void expectNothingStored() {
        EXPECT_EQ(shop.count(QStringLiteral("读者")), 0);
        EXPECT_EQ(shop.count(QStringLiteral("资金")), 0);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    }

    Tfrm_TJReader screen;
};

TEST_F(Registration, EachTypeProposesItsOwnSettings) {
    PubData& p = shop.pub;
    p.QuarterlyRent = 80, p.QuarterlyDeposit = 120, p.QuarterlyOpeningFee = 15;
    p.QuarterlyMaxBooks = 6, p.QuarterlyMaxDays = 40;
    p.YearlyRent = 300, p.YearlyDeposit = 150, p.YearlyOpeningFee = 20;
    p.YearlyMaxBooks = 8, p.YearlyMaxDays = 60;
    p.DailyRent = 0.5f, p.DailyDeposit = 50, p.DailyOpeningFee = 5;
    p.DailyMaxBooks = 3, p.DailyMaxDays = 15;
    struct Case {
        int index;
        int books, days;
        const char *deposit, *rent, *fee, *total;
        QDateTime validity;
        bool rentShown;
    };
    const QDateTime now = clock.now();
    const Case cases[] = {
        {1, 6, 40, "120", "80", "15", "215", at(2026, 6, 14, 10, 30), true},
        {2, 8, 60, "150", "300", "20", "470", at(2027, 3, 14, 10, 30), true},
        {3, 3, 15, "50", "0", "5", "55", now, false},
        {0, 5, 30, "100", "30", "10", "140", at(2026, 4, 14, 10, 30), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        f("rx").setItemIndex(c.index);
        EXPECT_EQ(f("tssn").number(), c.books);
        EXPECT_EQ(f("tssj").number(), c.days);
        EXPECT_EQ(f("yj").text(), QString::fromUtf8(c.deposit));
        EXPECT_EQ(f("zj").text(), QString::fromUtf8(c.rent));
        EXPECT_EQ(f("kff").text(), QString::fromUtf8(c.fee));
        EXPECT_EQ(f("fyzj").text(), QString::fromUtf8(c.total));
        EXPECT_EQ(f("yxq").value().toDateTime(), c.validity);
        EXPECT_EQ(f("GroupBox5").isVisible(), c.rentShown);
        EXPECT_EQ(f("GroupBox6").isVisible(), c.rentShown);
    }
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Registration, SettingsShowWidenedFromSinglePrecisionAndAddUpWidened) {
    shop.pub.MonthlyDeposit = 0.3f;
    shop.pub.MonthlyRent = 0.1f;
    shop.pub.MonthlyOpeningFee = 0;
    screen.FormShow();
    EXPECT_EQ(f("yj").text(), QStringLiteral("0.300000011920929"));
    EXPECT_EQ(f("zj").text(), QStringLiteral("0.100000001490116"));
    EXPECT_EQ(f("fyzj").text(), QStringLiteral("0.400000013411045"));
}

TEST_F(Registration, MonthsAddedClampToTheLastDayOfTheMonth) {
    const struct {
        QDateTime now;
        int index;
        QDateTime validity;
    } cases[] = {
        {at(2026, 1, 31, 16, 45), 0, at(2026, 2, 28, 16, 45)},
        {at(2028, 1, 31, 16, 45), 0, at(2028, 2, 29, 16, 45)},
        {at(2026, 8, 31, 8, 0), 1, at(2026, 11, 30, 8, 0)},
        {at(2028, 2, 29, 8, 0), 2, at(2029, 2, 28, 8, 0)},
    };
    for (const auto& c : cases) {
        clock.set(c.now);
        screen.FormShow();
        if (c.index != 0) // showing already proposes the monthly type
            f("rx").setItemIndex(c.index);
        EXPECT_EQ(f("yxq").value().toDateTime(), c.validity) << c.now.toString().toStdString();
    }
}

TEST_F(Registration, PickingAnotherTypeAfterPayPerDayShowsRentAgainFromTheCurrentMoment) {
    f("rx").setItemIndex(3);
    EXPECT_FALSE(f("GroupBox5").isVisible());
    EXPECT_EQ(f("zj").text(), QStringLiteral("0"));
    EXPECT_EQ(f("fyzj").text(), QStringLiteral("110")); // deposit + opening fee
    clock.set(at(2026, 3, 15, 8, 0));
    f("rx").setItemIndex(0);
    EXPECT_TRUE(f("GroupBox5").isVisible());
    EXPECT_TRUE(f("GroupBox6").isVisible());
    EXPECT_EQ(f("zj").text(), QStringLiteral("30"));
    EXPECT_EQ(f("yxq").value().toDateTime(), at(2026, 4, 15, 8, 0));
}

TEST_F(Registration, ShowingResetsEverythingAndAmountEditingFollowsTheSetting) {
    f("ID").type(QStringLiteral("X1"));
    f("xm").type(QStringLiteral("Li"));
    f("rx").setItemIndex(3);
    f("xp").setItemIndex(1);
    f("bz").type(QStringLiteral("note"));
    f("kff").type(QStringLiteral("abc"));
    shop.pub.AllowAmountEdit = false;
    shop.pub.ReaderIdMaxLen = 6;
    prompter.clear();
    screen.FormShow();
    EXPECT_TRUE(prompter.boxes().empty()) << "resetting the amounts raises no box";
    EXPECT_EQ(f("ID").text(), QString());
    EXPECT_EQ(f("ID").maxBytes(), 6);
    EXPECT_EQ(f("xm").text(), QString());
    EXPECT_EQ(f("xp").text(), QStringLiteral("男"));
    EXPECT_EQ(f("rx").text(), QStringLiteral("包月"));
    EXPECT_EQ(f("bz").text(), QString());
    EXPECT_EQ(f("kff").text(), QStringLiteral("10"));
    EXPECT_EQ(f("fyzj").text(), QStringLiteral("140"));
    EXPECT_TRUE(f("GroupBox5").isVisible());
    EXPECT_TRUE(f("GroupBox6").isVisible());
    EXPECT_FALSE(f("GroupBox4").isEnabled());
    EXPECT_FALSE(f("GroupBox5").isEnabled());
    EXPECT_TRUE(f("GroupBox6").isEnabled()) << "the validity stays editable";
    EXPECT_TRUE(f("tssn").isEnabled());
    EXPECT_FALSE(f("GroupBox3").isEnabled()) << "the total is display only";
}

TEST_F(Registration, RunningTotalFollowsTheAmountsAndRefusesWhatIsNoNumber) {
    f("kff").type(QStringLiteral("20"));
    EXPECT_EQ(f("fyzj").text(), QStringLiteral("150"));
    f("yj").type(QString());
    EXPECT_EQ(f("fyzj").text(), QStringLiteral("150")) << "an empty amount leaves the total";
    EXPECT_TRUE(prompter.boxes().empty());
    f("yj").type(QStringLiteral(" 50.5 "));
    EXPECT_EQ(f("fyzj").text(), QStringLiteral("100.5"));
    for (const char* bad : {"abc", "-", "1e400", "5O", "1,5", "   "}) {
        SCOPED_TRACE(bad);
        prompter.clear();
        f("zj").type(QString::fromUtf8(bad));
        EXPECT_EQ(prompter.single(), kAmountError);
        EXPECT_EQ(f("fyzj").text(), QStringLiteral("100.5"));
    }
    f("zj").type(QStringLiteral("-30"));
    EXPECT_EQ(f("fyzj").text(), QStringLiteral("40.5"));
}

TEST_F(Registration, AddingStoresTheReaderWithItsLedgerAndLogRecords) {
    f("ID").type(QStringLiteral(" A001 "));
    f("xm").type(QStringLiteral("Wang"));
    f("yj").type(QStringLiteral("50"));
    f("zj").type(QStringLiteral("20"));
    f("xp").setItemIndex(1);
    f("zjhm").type(QStringLiteral("110105"));
    f("df").type(QStringLiteral("13800000000"));
    f("tssn").setValue(7);
    f("yxq").setValue(at(2026, 2, 1, 9, 0)); // earlier than today, stored as chosen
    EXPECT_EQ(f("fyzj").text(), QStringLiteral("80"));
    screen.run(QStringLiteral("Button1Click"));

    EXPECT_EQ(prompter.single(), QStringLiteral("添加读者成功!"));
    const QString id = QStringLiteral("A001");
    EXPECT_EQ(readerColumn(id, QStringLiteral("读者类型")).toString(), QStringLiteral("包月"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("读者姓名")).toString(), QStringLiteral("Wang"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("性别")).toString(), QStringLiteral("女"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("证件号码")).toString(), QStringLiteral("110105"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("电话")).toString(), QStringLiteral("13800000000"));
    EXPECT_EQ(readerDate(id, QStringLiteral("开户日期")), clock.now());
    EXPECT_EQ(readerColumn(id, QStringLiteral("押金")).toDouble(), 50.0);
    EXPECT_EQ(readerDate(id, QStringLiteral("借阅有效期")), at(2026, 2, 1, 9, 0));
    EXPECT_EQ(readerColumn(id, QStringLiteral("最多持有图书数量")).toInt(), 7);
    EXPECT_EQ(readerColumn(id, QStringLiteral("最长持有图书天数")).toInt(), 30);
    EXPECT_EQ(readerColumn(id, QStringLiteral("未还数量")).toInt(), 0);
    EXPECT_EQ(readerColumn(id, QStringLiteral("借阅总计")).toInt(), 0);
    EXPECT_EQ(readerColumn(id, QStringLiteral("当前状态")).toString(), QStringLiteral("正常使用"));
    EXPECT_EQ(readerDate(id, QStringLiteral("状态设置期")), clock.now());

    const QString time = Dates::toStorage(clock.now());
    EXPECT_EQ(rows(QStringLiteral("资金")),
              (QList<QVariantMap>{{{QStringLiteral("事件"), QStringLiteral("添加读者")},
                                   {QStringLiteral("操作者"), QStringLiteral("clerk")},
                                   {QStringLiteral("时间"), time},
                                   {QStringLiteral("金额总计"), 80.0},
                                   {QStringLiteral("开户费"), 10.0},
                                   {QStringLiteral("押金"), 50.0},
                                   {QStringLiteral("租金"), 20.0},
                                   {QStringLiteral("逾期罚款"), 0.0},
                                   {QStringLiteral("破损遗失赔偿"), 0.0},
                                   {QStringLiteral("读者编号"), QStringLiteral("A001")},
                                   {QStringLiteral("图书编号"), QString()}}}));
    EXPECT_EQ(rows(QStringLiteral("日志")),
              (QList<QVariantMap>{{{QStringLiteral("事件"), QStringLiteral("添加读者")},
                                   {QStringLiteral("时间"), time},
                                   {QStringLiteral("操作者"), QStringLiteral("clerk")},
                                   {QStringLiteral("说明"),
                                    QStringLiteral("读者编号：A001  读者姓名：Wang  读者类型：包月 "
                                                   "押金(元)：50总计(元)：80")}}}));
    // The ledger's total equals deposit + rent + opening fee.
    const QVariantMap ledger = rows(QStringLiteral("资金")).first();
    EXPECT_EQ(ledger[QStringLiteral("金额总计")].toDouble(),
              ledger[QStringLiteral("开户费")].toDouble() +
                  ledger[QStringLiteral("押金")].toDouble() +
                  ledger[QStringLiteral("租金")].toDouble());

    EXPECT_EQ(f("ID").text(), QString()) << "ready for the next reader";
    EXPECT_EQ(f("yj").text(), QStringLiteral("100"));
    EXPECT_EQ(screen.focusedField(), QStringLiteral("ID"));
}

TEST_F(Registration, PayPerDayReaderPaysNoRentAndIsValidFromNow) {
    f("rx").setItemIndex(3);
    f("kff").type(QStringLiteral("0.1"));
    add(QStringLiteral("D1"), QStringLiteral("Zhao"));
    EXPECT_EQ(prompter.single(), QStringLiteral("添加读者成功!"));
    EXPECT_EQ(readerDate(QStringLiteral("D1"), QStringLiteral("借阅有效期")), clock.now());
    const QVariantMap ledger = rows(QStringLiteral("资金")).first();
    EXPECT_EQ(ledger[QStringLiteral("金额总计")].toDouble(), double(100.1f));
    EXPECT_EQ(ledger[QStringLiteral("开户费")].toDouble(), double(0.1f))
        << "single precision on the way in";
    EXPECT_EQ(ledger[QStringLiteral("租金")].toDouble(), 0.0);
    EXPECT_TRUE(rows(QStringLiteral("日志"))
                    .first()[QStringLiteral("说明")]
                    .toString()
                    .endsWith(QStringLiteral("读者类型：按日租借 押金(元)：100总计(元)：100.1")));
}

TEST_F(Registration, ChecksRunInOrderAndARefusalWritesNothing) {
    addReader(QStringLiteral("R9"));
    struct Case {
        const char *id, *name, *deposit, *message;
    };
    const Case cases[] = {
        {"  ", "Wang", "50", "请输入读者编号！"},
        {"", "", "50", "请输入读者编号！"},
        {"R1", "   ", "50", "请输入读者姓名！"},
        {" R9", "Wang", "50", ""}, // already exists
        {"R1", "Wang", "", "输入费用金额错误！请输入正确的金额。"},
        {"R1", "Wang", "abc", "输入费用金额错误！请输入正确的金额。"},
        {"R1", "Wang", "1e39", "输入费用金额错误！请输入正确的金额。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id + std::string("/") + c.name + "/" + c.deposit);
        screen.FormShow();
        f("ID").type(QString::fromUtf8(c.id));
        f("xm").type(QString::fromUtf8(c.name));
        f("yj").type(QString::fromUtf8(c.deposit));
        prompter.clear();
        screen.run(QStringLiteral("Button1Click"));
        const QString expected = *c.message
                                     ? QString::fromUtf8(c.message)
                                     : QStringLiteral("读者编号为：R9的读者在系统中已存在！") +
                                           QChar(13) + QStringLiteral("请输入新的读者编号。");
        EXPECT_EQ(prompter.lastBox().text, expected);
        EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Error);
        EXPECT_EQ(shop.count(QStringLiteral("读者")), 1);
        EXPECT_EQ(shop.count(QStringLiteral("资金")), 0);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    }
}

TEST_F(Registration, AFullIdChecksItselfCountingChineseCharactersAsTwoBytes) {
    shop.pub.ReaderIdMaxLen = 4;
    addReader(QStringLiteral("读者"));
    screen.FormShow();
    f("ID").type(QStringLiteral("读A"));
    EXPECT_TRUE(prompter.boxes().empty()) << "three bytes are not full yet";
    f("ID").type(QStringLiteral("读者X")); // typing stops at four bytes
    EXPECT_EQ(f("ID").text(), QStringLiteral("读者"));
    EXPECT_EQ(prompter.single(), QStringLiteral("读者编号为：读者的读者在系统中已存在！") +
                                     QChar(13) + QStringLiteral("请输入新的读者编号。"));
    EXPECT_EQ(screen.focusedField(), QStringLiteral("ID"));

    prompter.clear();
    f("ID").type(QStringLiteral("书A1"));
    EXPECT_TRUE(prompter.boxes().empty()) << "a free id moves on without a box";
    EXPECT_EQ(screen.focusedField(), QStringLiteral("xm"));
}

TEST_F(Registration, TheLookupButtonTellsWhetherTheIdIsFree) {
    addReader(QStringLiteral("R1"));
    screen.run(QStringLiteral("CheckisHaveReaderClick"));
    EXPECT_EQ(prompter.single(), QStringLiteral("请先输入读者编号！"));
    prompter.clear();
    f("ID").type(QStringLiteral(" R2 "));
    screen.run(QStringLiteral("CheckisHaveReaderClick"));
    EXPECT_EQ(prompter.single(), QStringLiteral("此读者编号可用!"));
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Information);
    EXPECT_EQ(screen.focusedField(), QStringLiteral("xm"));
    prompter.clear();
    f("ID").type(QStringLiteral("R1 "));
    screen.run(QStringLiteral("CheckisHaveReaderClick"));
    EXPECT_EQ(prompter.single(), QStringLiteral("读者编号为：R1的读者在系统中已存在！") +
                                     QChar(13) + QStringLiteral("请输入新的读者编号。"));
    EXPECT_EQ(screen.focusedField(), QStringLiteral("ID"));
}

TEST_F(Registration, TypedTextIsStoredAsDataWithinItsByteLimits) {
    addReader(QStringLiteral("OTHER"), {{QStringLiteral("读者姓名"), QStringLiteral("Untouched")}});
    const QString name = QStringLiteral(" O'Neil%_ ");
    f("ID").type(QStringLiteral("a'%_;--"));
    f("xm").type(name);
    f("zjhm").type(QStringLiteral("' OR 1=1 --1234567890"));
    f("df").type(QStringLiteral("电话电话电话电话电话电话"));
    f("bz").type(QStringLiteral("第一行\r\n第二行\n😀\t') ; DELETE FROM 读者; --"));
    screen.run(QStringLiteral("Button1Click"));
    ASSERT_EQ(prompter.single(), QStringLiteral("添加读者成功!"));
    const QString id = QStringLiteral("a'%_;--");
    EXPECT_EQ(readerColumn(id, QStringLiteral("读者姓名")).toString(), name) << "not trimmed";
    EXPECT_EQ(readerColumn(id, QStringLiteral("证件号码")).toString(),
              QStringLiteral("' OR 1=1 --1234567"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("电话")).toString(),
              QStringLiteral("电话电话电话电话电"))
        << "cut at 18 bytes";
    EXPECT_EQ(readerColumn(id, QStringLiteral("备注")).toString(),
              QStringLiteral("第一行第二行😀\t') ; DELETE FROM 读者; --"));
    EXPECT_EQ(readerColumn(QStringLiteral("OTHER"), QStringLiteral("读者姓名")).toString(),
              QStringLiteral("Untouched"));
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 2);
}

TEST_F(Registration, LongTextIsNeverStoredPastItsLimit) {
    shop.pub.ReaderIdMaxLen = 6;
    screen.FormShow();
    // Values a program sets (not typed) are cut on the way into the table as well; an id past
    // the limit is refused, never stored cut.
    f("ID").setValue(QStringLiteral("ABCDEFGHIJ"));
    f("xm").setValue(QStringLiteral("名字名字名字名字名字名字"));
    f("bz").setValue(QString(300, QLatin1Char('x')));
    screen.run(QStringLiteral("Button1Click"));
    ASSERT_EQ(prompter.single(), QStringLiteral("读者编号最多6个字符，请重新输入！"));
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 0);
    prompter.clear();
    f("ID").setValue(QStringLiteral("ABCDEF"));
    screen.run(QStringLiteral("Button1Click"));
    ASSERT_EQ(prompter.single(), QStringLiteral("添加读者成功!"));
    const QString id = QStringLiteral("ABCDEF");
    EXPECT_EQ(readerColumn(id, QStringLiteral("读者姓名")).toString(),
              QStringLiteral("名字名字名字名字名字"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("备注")).toString(), QString(255, QLatin1Char('x')));
}

TEST_F(Registration, ADatabaseFailureAnywhereStoresNothingAndKeepsTheInput) {
    for (const char* failing : {"INSERT INTO 读者", "INSERT INTO 资金", "INSERT INTO 日志"}) {
        SCOPED_TRACE(failing);
        screen.FormShow();
        prompter.clear();
        {
            FailingStatements failure(shop.dm->db(), QString::fromUtf8(failing));
            add(QStringLiteral("F1"), QStringLiteral("Fail"));
        }
        EXPECT_EQ(prompter.single(), kDbError);
        expectNothingStored();
        EXPECT_EQ(f("ID").text(), QStringLiteral("F1"));
        EXPECT_EQ(f("xm").text(), QStringLiteral("Fail"));
    }
    prompter.clear();
    screen.run(QStringLiteral("Button1Click"));
    EXPECT_EQ(prompter.single(), QStringLiteral("添加读者成功!")) << "the database works again";
    EXPECT_EQ(shop.count(QStringLiteral("资金")), 1);
}

} // namespace
} // namespace lms::test
