// Changing a reader: the lookup with the idle-time extension, the state rules with books out,
// the loaded id that cannot be changed, and a change stored whole or not at all.
#include "ReaderFixture.h"
#include "readers/ReaderMessages.h"

#include "core/GbkText.h"
#include "readers/Tfrm_GGReader.h"

namespace lms::test {
namespace {

const QString kDbError = QStringLiteral("连接数据库出错!");
const QString kExpired = QStringLiteral("此读者的租借有效阅期已超期!");

class Maintenance : public ReaderScreenTest {
protected:
    Maintenance() : screen(ctx) {
        shop.pub.ReaderIdMaxLen = 4;
        screen.FormShow();
    }

    Field& f(const char* name) { return screen.field(QString::fromUtf8(name)); }

    // Types the id; one that is not full needs the "<<" button.
    void lookUp(const QString& id) {
        f("ID").type(QString());
        f("ID").type(id);
        if (Gbk::byteLength(id) != shop.pub.ReaderIdMaxLen)
            screen.run(QStringLiteral("CheckisHaveReaderClick"));
    }
    void change() { screen.run(QStringLiteral("Button1Click")); }

    QDateTime shownValidity() const {
        return screen.field(QStringLiteral("yxq")).value().toDateTime();
    }

    Tfrm_GGReader screen;
};

TEST_F(Maintenance, AFullIdLooksItselfUpAndShowsTheStoredReader) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("性别"), QStringLiteral("女")},
                                       {QStringLiteral("读者类型"), QStringLiteral("包季度")},
                                       {QStringLiteral("押金"), 12.5},
                                       {QStringLiteral("未还数量"), 2},
                                       {QStringLiteral("最多持有图书数量"), 6},
                                       {QStringLiteral("最长持有图书天数"), 45},
                                       {QStringLiteral("备注"), QStringLiteral("常客")},
                                       {QStringLiteral("当前状态"), QStringLiteral("自动延期")}});
    f("ID").type(QStringLiteral("R001"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(f("tzxm").text(), QStringLiteral("Wang"));
    EXPECT_EQ(f("xp").text(), QStringLiteral("女"));
    EXPECT_EQ(f("tzrx").text(), QStringLiteral("包季度"));
    EXPECT_EQ(f("zjhm").text(), QStringLiteral("110101"));
    EXPECT_EQ(f("df").text(), QStringLiteral("5550100"));
    EXPECT_EQ(f("bz").text(), QStringLiteral("常客"));
    EXPECT_EQ(f("tssn").number(), 6);
    EXPECT_EQ(f("tssj").number(), 45);
    EXPECT_EQ(f("whsn").text(), QStringLiteral("2"));
    EXPECT_EQ(f("tzzt").text(), QStringLiteral("自动延期"));
    EXPECT_EQ(f("yj").text(), QStringLiteral("12.5"));
    EXPECT_EQ(f("khrq").value().toDateTime(), at(2026, 1, 5, 9, 0));
    EXPECT_EQ(shownValidity(), at(2026, 4, 5, 9, 0)) << "books out: never extended";
    EXPECT_TRUE(f("GroupBox3").isVisible());
    EXPECT_FALSE(f("khrq").isEnabled());
}

TEST_F(Maintenance, IdleDaysAdvanceTheValidityInTheStatesThatRestWhileNothingIsOut) {
    struct Case {
        const char* state;
        int booksOut;
        bool autoExtend;
        QDateTime shown;
    };
    // Stored validity 31 March 14:00, state set 1 March 18:00, looked up 11 March 09:00.
    const QDateTime stored = at(2026, 3, 31, 14, 0);
    const QDateTime advanced = at(2026, 4, 10, 14, 0);
    const Case cases[] = {
        {"暂停使用", 0, false, advanced}, {"自动延期", 0, false, advanced},
        {"正常使用", 0, false, stored},   {"正常使用", 0, true, advanced},
        {"挂失停用", 0, false, stored},   {"挂失停用", 0, true, advanced},
        {"自动延期", 1, true, stored},    {"暂停使用", 3, false, stored},
        {"正常使用", 1, true, stored},    {"停用了", 0, true, stored},
    };
    clock.set(at(2026, 3, 11, 9, 0));
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.state) + " out=" + std::to_string(c.booksOut) +
                     " auto=" + std::to_string(c.autoExtend));
        const QString id = QStringLiteral("C%1").arg(++n, 3, 10, QLatin1Char('0'));
        addReader(id, {{QStringLiteral("当前状态"), QString::fromUtf8(c.state)},
                       {QStringLiteral("未还数量"), c.booksOut},
                       {QStringLiteral("借阅有效期"), Dates::toStorage(stored)},
                       {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 3, 1, 18, 0))}});
        shop.pub.AutoExtendValidity = c.autoExtend;
        lookUp(id);
        EXPECT_EQ(shownValidity(), c.shown);
    }
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Maintenance, AValidityEndingYesterdayIsReportedOneEndingTodayIsNot) {
    addReader(QStringLiteral("OLD1"),
              {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 13, 23, 59))}});
    addReader(QStringLiteral("NOW1"),
              {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 14, 0, 1))}});
    lookUp(QStringLiteral("OLD1"));
    EXPECT_EQ(prompter.single(), kExpired);
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Information);
    prompter.clear();
    lookUp(QStringLiteral("NOW1"));
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Maintenance, APayPerDayReaderShowsNoValidityAndIsStoredAsValidFromNow) {
    addReader(QStringLiteral("D001"),
              {{QStringLiteral("读者类型"), QStringLiteral("按日租借")},
               {QStringLiteral("借阅有效期"), Dates::toStorage(at(2025, 1, 1, 8, 0))}});
    lookUp(QStringLiteral("D001"));
    EXPECT_TRUE(prompter.boxes().empty()) << "no expiry message for a pay-per-day reader";
    EXPECT_FALSE(f("GroupBox3").isVisible());
    EXPECT_EQ(shownValidity(), clock.now());
    change();
    EXPECT_EQ(prompter.single(), QStringLiteral("读者信息更改成功!"));
    EXPECT_EQ(readerDate(QStringLiteral("D001"), QStringLiteral("借阅有效期")), clock.now());
}

TEST_F(Maintenance, StoringAnExtendedValidityRestartsTheIdleTimeSoNoDayIsAddedTwice) {
    shop.pub.AutoExtendValidity = true;
    addReader(QStringLiteral("I001"),
              {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 10, 9, 0))},
               {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 3, 1, 9, 0))}});
    clock.set(at(2026, 3, 20, 11, 0));
    lookUp(QStringLiteral("I001"));
    ASSERT_EQ(shownValidity(), at(2026, 3, 29, 9, 0));
    f("df").type(QStringLiteral("666"));
    change();
    EXPECT_EQ(readerDate(QStringLiteral("I001"), QStringLiteral("借阅有效期")),
              at(2026, 3, 29, 9, 0));
    EXPECT_EQ(readerDate(QStringLiteral("I001"), QStringLiteral("状态设置期")), clock.now());
    EXPECT_EQ(readerColumn(QStringLiteral("I001"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("正常使用"));

    lookUp(QStringLiteral("I001"));
    EXPECT_EQ(shownValidity(), at(2026, 3, 29, 9, 0)) << "the same day adds nothing again";
    clock.advanceDays(5);
    lookUp(QStringLiteral("I001"));
    EXPECT_EQ(shownValidity(), at(2026, 4, 3, 9, 0)) << "only the new idle days";
}

TEST_F(Maintenance, AChangeWithoutStateChangeOrExtensionLeavesStateAndItsDateAlone) {
    addReader(QStringLiteral("N001"), {{QStringLiteral("备注"), QStringLiteral("a\r\nb\nc")}});
    lookUp(QStringLiteral("N001"));
    EXPECT_EQ(f("bz").text(), QStringLiteral("a\r\nb\nc"));
    f("tzxm").type(QStringLiteral("  Li Lei  "));
    f("zjhm").type(QStringLiteral(" 99 "));
    f("tzrx").setItemIndex(3);
    EXPECT_TRUE(f("GroupBox3").isVisible()) << "visibility follows the type at loading";
    f("tssn").setValue(9);
    f("tssj").setValue(-1);
    change();
    EXPECT_EQ(prompter.single(), QStringLiteral("读者信息更改成功!"));
    const QString id = QStringLiteral("N001");
    EXPECT_EQ(readerColumn(id, QStringLiteral("读者姓名")).toString(), QStringLiteral("Li Lei"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("证件号码")).toString(), QStringLiteral("99"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("读者类型")).toString(), QStringLiteral("按日租借"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("备注")).toString(), QStringLiteral("abc"));
    EXPECT_EQ(readerColumn(id, QStringLiteral("最多持有图书数量")).toInt(), 9);
    EXPECT_EQ(readerColumn(id, QStringLiteral("最长持有图书天数")).toInt(), -1);
    EXPECT_EQ(readerDate(id, QStringLiteral("借阅有效期")), at(2026, 4, 5, 9, 0));
    EXPECT_EQ(readerColumn(id, QStringLiteral("押金")).toDouble(), 100.0) << "never written here";
    EXPECT_EQ(readerColumn(id, QStringLiteral("当前状态")).toString(), QStringLiteral("正常使用"));
    EXPECT_EQ(readerDate(id, QStringLiteral("状态设置期")), at(2026, 1, 5, 9, 0));
    EXPECT_EQ(
        rows(QStringLiteral("日志")),
        (QList<QVariantMap>{{{QStringLiteral("事件"), QStringLiteral("更改读者信息")},
                             {QStringLiteral("时间"), Dates::toStorage(clock.now())},
                             {QStringLiteral("操作者"), QStringLiteral("clerk")},
                             {QStringLiteral("说明"), QStringLiteral("被更改的读者编号：N001")}}}));
    EXPECT_EQ(shop.count(QStringLiteral("资金")), 0);
    EXPECT_EQ(f("ID").text(), QString());
    EXPECT_EQ(f("xp").itemIndex(), -1);
    prompter.clear();
    change();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("请先在读者编号输入框中输入读者编号查询后再更改！"));
}

TEST_F(Maintenance, StateRulesWithBooksOut) {
    addReader(QStringLiteral("B002"), {{QStringLiteral("未还数量"), 2}});
    lookUp(QStringLiteral("B002"));
    f("tzzt").setItemIndex(2);
    change();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("读者还持有 2 本图书未还，不能设置状态为：暂停停用！"));
    EXPECT_EQ(screen.focusedField(), QStringLiteral("tzzt"));

    const QString question =
        QStringLiteral("读者还持有 2 本图书未还，您确定要设置该读者为 挂失停用 状态吗？");
    f("tzzt").setItemIndex(3);
    prompter.clear();
    prompter.answer(false);
    change();
    EXPECT_EQ(prompter.single(), question);
    EXPECT_EQ(prompter.lastBox().buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Warning);
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    EXPECT_EQ(readerColumn(QStringLiteral("B002"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("正常使用"));

    prompter.clear();
    prompter.answer(true);
    clock.set(at(2026, 3, 14, 16, 0));
    change();
    EXPECT_EQ(prompter.texts(), (QStringList{question, QStringLiteral("读者信息更改成功!")}));
    EXPECT_EQ(readerColumn(QStringLiteral("B002"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("挂失停用"));
    EXPECT_EQ(readerDate(QStringLiteral("B002"), QStringLiteral("状态设置期")), clock.now());
}

TEST_F(Maintenance, StateChangesWithNothingOutNeedNoQuestionAndRenewTheStateDate) {
    addReader(QStringLiteral("S001"));
    for (int state : {2, 3, 1, 0}) {
        lookUp(QStringLiteral("S001"));
        f("tzzt").setItemIndex(state);
        clock.advanceDays(1);
        prompter.clear();
        change();
        EXPECT_EQ(prompter.single(), QStringLiteral("读者信息更改成功!"));
        EXPECT_EQ(readerColumn(QStringLiteral("S001"), QStringLiteral("当前状态")).toString(),
                  f("tzzt").items().at(state));
        EXPECT_EQ(readerDate(QStringLiteral("S001"), QStringLiteral("状态设置期")), clock.now());
    }
}

TEST_F(Maintenance, AnEditedIdIsPutBackAndLookedUpAfresh) {
    addReader(QStringLiteral("R001"));
    addReader(QStringLiteral("R2"));
    lookUp(QStringLiteral("R001"));
    f("tzxm").type(QStringLiteral("Changed"));
    f("ID").type(QStringLiteral("R2"));
    change();
    EXPECT_EQ(prompter.single(), QStringLiteral("读者编号不能更改！原读者编号为：R001 "
                                                "系统自动改回原来的编号。"));
    EXPECT_EQ(f("ID").text(), QStringLiteral("R001"));
    EXPECT_EQ(f("tzxm").text(), QStringLiteral("Wang")) << "the full id looked itself up again";
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("读者姓名")).toString(),
              QStringLiteral("Wang"));
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
}

TEST_F(Maintenance, AnUnknownIdResetsTheScreenAndUnloadsTheReader) {
    addReader(QStringLiteral("R001"));
    lookUp(QStringLiteral("R001"));
    lookUp(QStringLiteral("R9"));
    EXPECT_EQ(prompter.single(), QStringLiteral("读者编号为：R9的读者在系统中不存在！") +
                                     QChar(13) + QChar(13) +
                                     QStringLiteral("请输入新的读者编号。"));
    EXPECT_EQ(f("ID").text(), QString());
    EXPECT_EQ(f("tzxm").text(), QString());
    EXPECT_EQ(screen.focusedField(), QStringLiteral("ID"));
    prompter.clear();
    f("tzxm").type(QStringLiteral("X"));
    change();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("请先在读者编号输入框中输入读者编号查询后再更改！"));
    prompter.clear();
    screen.run(QStringLiteral("CheckisHaveReaderClick"));
    EXPECT_EQ(prompter.single(), QStringLiteral("读者编号为：的读者在系统中不存在！") + QChar(13) +
                                     QChar(13) + QStringLiteral("请输入新的读者编号。"));
}

TEST_F(Maintenance, ABlankNameOrAnUnknownSexIsRefusedAndNothingIsWritten) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("性别"), QStringLiteral("未知")}});
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(f("xp").itemIndex(), -1);
    f("tzxm").type(QStringLiteral("   "));
    change();
    EXPECT_EQ(prompter.single(), QStringLiteral("请输入读者姓名！"));
    prompter.clear();
    f("tzxm").type(QStringLiteral("Wang"));
    change();
    EXPECT_EQ(prompter.single(), kDbError);
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    prompter.clear();
    f("xp").setItemIndex(0);
    change();
    EXPECT_EQ(prompter.single(), QStringLiteral("读者信息更改成功!"));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("性别")).toString(),
              QStringLiteral("男"));
}

TEST_F(Maintenance, ADatabaseFailureWritesNothingAndKeepsTheReaderLoaded) {
    addReader(QStringLiteral("R001"));
    addReader(QStringLiteral("R002"));
    lookUp(QStringLiteral("R001"));
    f("tzxm").type(QStringLiteral("O'Hara; DROP TABLE 读者"));
    f("tzzt").setItemIndex(1);
    for (const char* failing : {"UPDATE 读者", "INSERT INTO 日志"}) {
        SCOPED_TRACE(failing);
        prompter.clear();
        FailingStatements failure(shop.dm->db(), QString::fromUtf8(failing));
        change();
        EXPECT_EQ(prompter.single(), kDbError);
        EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("读者姓名")).toString(),
                  QStringLiteral("Wang"));
        EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("当前状态")).toString(),
                  QStringLiteral("正常使用"));
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
    }
    prompter.clear();
    change();
    EXPECT_EQ(prompter.single(), QStringLiteral("读者信息更改成功!"));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("读者姓名")).toString(),
              QStringLiteral("O'Hara; DROP TABLE"))
        << "cut at 20 bytes, then trimmed";
    EXPECT_EQ(readerColumn(QStringLiteral("R002"), QStringLiteral("读者姓名")).toString(),
              QStringLiteral("Wang"));
}

TEST_F(Maintenance, AReaderDeletedMeanwhileIsSaidNotReportedAsASuccess) {
    addReader(QStringLiteral("R001"));
    lookUp(QStringLiteral("R001"));
    shop.dm->db().exec(QStringLiteral("DELETE FROM 读者"));
    change();
    EXPECT_EQ(prompter.single(), Readers::notFoundMessage(QStringLiteral("R001")));
    EXPECT_EQ(shop.count(QStringLiteral("日志")), 0);
}

TEST_F(Maintenance, AnUnreadableStoredDateIsADatabaseFailureAndLoadsNothing) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("借阅有效期"), QStringLiteral("garbage")}});
    lookUp(QStringLiteral("R001"));
    EXPECT_EQ(prompter.single(), kDbError);
    prompter.clear();
    change();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("请先在读者编号输入框中输入读者编号查询后再更改！"));
}

} // namespace
} // namespace lms::test
