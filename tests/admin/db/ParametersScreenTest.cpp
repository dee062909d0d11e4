// The system-parameters screen: what it shows, how typed amounts convert, what "应用" and
// "应用并保存" change, and the refusals of bad numbers.
#include "AdminFixture.h"
#include "admin/Tfrm_CSSet.h"
#include "core/SettingsStore.h"

#include <limits>

namespace lms {
namespace {

using test::AdminTest;

const QString kBadInput = QStringLiteral("输入数据错误!请输入正确数字");
const QString kBadExit = QStringLiteral("输入错误！请输入正确有效的数字。");

class Parameters : public AdminTest {
protected:
    QString text(const char* name) { return screen.field(QString::fromUtf8(name)).text(); }
    void type(const char* name, const QString& value) {
        screen.field(QString::fromUtf8(name)).type(value);
    }
    // The settings records 7 to 11 as stored, one text per record.
    QStringList storedSettings() {
        Query q(db(), QStringLiteral("SELECT value1, value2, value3, value6, value7, value8, "
                                     "value11, value12, value13 FROM sysset ORDER BY rowid"));
        QStringList rows;
        while (q.next()) {
            QStringList values;
            for (int c = 0; c < 9; ++c)
                values << QString::number(q.real(c), 'g', 17);
            rows << values.join(QLatin1Char(' '));
        }
        return rows;
    }
    double storedGeneral(const char* column) {
        return scalar(QStringLiteral("SELECT %1 FROM sysset ORDER BY rowid LIMIT 1 OFFSET 10")
                          .arg(QString::fromUtf8(column)))
            .toDouble();
    }

    Tfrm_CSSet screen{ctx};
};

TEST_F(Parameters, ShowingFillsEveryFieldFromTheRunningValues) {
    shop.pub.MonthlyRent = 30;
    shop.pub.QuarterlyDeposit = 2.5f;
    shop.pub.OverdueFinePerDay = 0.3f;
    shop.pub.DamageRate = 0.5f;
    shop.pub.DailyMaxDays = -7;
    shop.pub.ReaderIdMaxLen = 12;
    shop.pub.AutoBackupOnStart = true;
    screen.FormShow();
    EXPECT_EQ(text("R1ZJinput"), QStringLiteral("30"));
    EXPECT_EQ(text("R2YJinput"), QStringLiteral("2.5"));
    EXPECT_EQ(text("CQFJinput"), QStringLiteral("0.300000011920929"));
    EXPECT_EQ(text("PSFJinput"), QStringLiteral("50.00"));
    EXPECT_EQ(screen.field(QStringLiteral("R4DNinput")).number(), -7);
    EXPECT_EQ(screen.field(QStringLiteral("TZCDinput")).number(), 12);
    EXPECT_TRUE(screen.field(QStringLiteral("isBFSJinput")).checked());
    EXPECT_EQ(screen.field(QStringLiteral("tsrx")).items().first(), QStringLiteral("小说"));
    EXPECT_EQ(screen.field(QStringLiteral("tsrx")).text(), QStringLiteral("小说"));
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Parameters, FieldsCarryTheirCaptionsAndLimits) {
    EXPECT_EQ(screen.caption(), QStringLiteral("系统参数设置"));
    EXPECT_EQ(screen.field(QStringLiteral("R4ZJinput")).caption(),
              QStringLiteral("每本每日租金（元）："));
    EXPECT_EQ(screen.field(QStringLiteral("R2KFFinput")).caption(),
              QStringLiteral("开户费（元）："));
    EXPECT_EQ(screen.field(QStringLiteral("R3ZJinput")).maxBytes(), 5);
    EXPECT_EQ(screen.field(QStringLiteral("PSFJinput")).maxBytes(), 10);
    EXPECT_EQ(screen.field(QStringLiteral("TZCDinput")).minimum(), 1);
    EXPECT_EQ(screen.field(QStringLiteral("TSCDinput")).maximum(), 20);
    EXPECT_EQ(screen.field(QStringLiteral("TSTSinput")).minimum(), std::numeric_limits<int>::min());
    EXPECT_EQ(screen.field(QStringLiteral("R1BNinput")).maximum(), std::numeric_limits<int>::max());
    EXPECT_EQ(Tfrm_CSSet::amountFields().size(), 14);
    // Typing beyond the limit is cut, as the input field does.
    type("R1ZJinput", QStringLiteral("123456"));
    EXPECT_EQ(text("R1ZJinput"), QStringLiteral("12345"));
}

TEST_F(Parameters, ADamageRateOf12Point5PercentIsStoredAsAFractionAndShownWithTwoDecimals) {
    screen.FormShow();
    type("PSFJinput", QStringLiteral("12.5"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("保存成功!"));
    EXPECT_FLOAT_EQ(shop.pub.DamageRate, 0.125f);
    EXPECT_DOUBLE_EQ(storedGeneral("value2"), 0.125);
    screen.FormShow();
    EXPECT_EQ(text("PSFJinput"), QStringLiteral("12.50"));
}

TEST_F(Parameters, AFineOfPoint3ShowsWidenedAndSavingThatTextAgainKeepsTheValue) {
    screen.FormShow();
    type("CQFJinput", QStringLiteral("0.3"));
    screen.Button1Click();
    const double stored = storedGeneral("value1");
    EXPECT_DOUBLE_EQ(stored, static_cast<double>(0.3f));
    screen.FormShow();
    EXPECT_EQ(text("CQFJinput"), QStringLiteral("0.300000011920929"));
    screen.Button1Click();
    EXPECT_EQ(storedGeneral("value1"), stored);
    EXPECT_EQ(shop.pub.OverdueFinePerDay, 0.3f);
}

TEST_F(Parameters, ApplyChangesOnlyTheRunningValues) {
    const QStringList before = storedSettings();
    screen.FormShow();
    type("R1ZJinput", QStringLiteral("45"));
    screen.field(QStringLiteral("R2BNinput")).setValue(9);
    screen.field(QStringLiteral("isBFSJinput")).setValue(true);
    screen.Button3Click();
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(shop.pub.MonthlyRent, 45.0f);
    EXPECT_EQ(shop.pub.QuarterlyMaxBooks, 9);
    EXPECT_TRUE(shop.pub.AutoBackupOnStart);
    EXPECT_EQ(shop.pub.CurrentUser, test::ShopDatabase::kSuperUser);
    EXPECT_EQ(storedSettings(), before);
    EXPECT_TRUE(logRecords().isEmpty());
    // The next start loads the stored values again.
    PubData reloaded;
    SettingsStore::read(db(), reloaded);
    EXPECT_EQ(reloaded.MonthlyRent, 30.0f);
}

// The shop's name starts empty and is kept in the general settings record (the 11th) alone.
TEST_F(Parameters, TheShopsNameIsEmptyAtFirstAndStoredInTheEleventhRecord) {
    const auto namesStored = [this] {
        QStringList names;
        Query q(db(), QStringLiteral("SELECT value14 FROM sysset ORDER BY rowid"));
        while (q.next())
            names << (q.isNull(0) ? QStringLiteral("-") : q.text(0));
        return names;
    };
    screen.FormShow();
    EXPECT_EQ(text("BDMCinput"), QString());
    EXPECT_EQ(screen.field(QStringLiteral("BDMCinput")).caption(), QStringLiteral("本店名称："));
    type("BDMCinput", QStringLiteral("  书香 租书屋 "));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("保存成功!"));
    EXPECT_EQ(shop.pub.ShopName, QStringLiteral("书香 租书屋"));
    QStringList expected(11, QStringLiteral("-"));
    expected[10] = QStringLiteral("书香 租书屋");
    EXPECT_EQ(namesStored(), expected);
    PubData reloaded;
    SettingsStore::read(db(), reloaded);
    EXPECT_EQ(reloaded.ShopName, QStringLiteral("书香 租书屋"));
}

TEST_F(Parameters, ApplyAndSaveStoresRecords7To11AndLogsOnce) {
    const QStringList before = storedSettings();
    screen.FormShow();
    const char* const names[] = {"R1ZJinput", "R2ZJinput", "R3ZJinput",
                                 "R4ZJinput", "R1YJinput", "R4KFFinput"};
    for (const char* name : names)
        type(name, QStringLiteral("7.5"));
    screen.field(QStringLiteral("R3DNinput")).setValue(60);
    screen.field(QStringLiteral("TSTSinput")).setValue(5);
    screen.field(QStringLiteral("TSCDinput")).setValue(15);
    screen.field(QStringLiteral("isYCZJQinput")).setValue(true);
    screen.field(QStringLiteral("isGGinput")).setValue(false);
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("保存成功!"));
    EXPECT_EQ(logRecords(), QStringList{QStringLiteral("修改系统参数|admin|")});

    const QStringList after = storedSettings();
    ASSERT_EQ(after.size(), 11);
    for (int record = 0; record < 6; ++record)
        EXPECT_EQ(after[record], before[record]) << record;
    PubData stored;
    SettingsStore::read(db(), stored);
    EXPECT_EQ(stored.MonthlyRent, 7.5f);
    EXPECT_EQ(stored.DailyRent, 7.5f);
    EXPECT_EQ(stored.MonthlyDeposit, 7.5f);
    EXPECT_EQ(stored.DailyOpeningFee, 7.5f);
    EXPECT_EQ(stored.YearlyMaxDays, 60);
    EXPECT_EQ(stored.ExpiryReminderDays, 5);
    EXPECT_EQ(stored.BookIdMaxLen, 15);
    EXPECT_TRUE(stored.AutoExtendValidity);
    EXPECT_FALSE(stored.AllowAmountEdit);
    EXPECT_EQ(stored.QuarterlyRent, 7.5f);
    EXPECT_EQ(shop.pub.YearlyRent, 7.5f);
}

TEST_F(Parameters, UnboundedSpinnersKeepNegativeAndHugeValues) {
    screen.FormShow();
    screen.field(QStringLiteral("R1BNinput")).setValue(-5);
    screen.field(QStringLiteral("R4DNinput")).setValue(std::numeric_limits<int>::max());
    screen.field(QStringLiteral("TSTSinput")).setValue(-1);
    screen.Button1Click();
    PubData stored;
    SettingsStore::read(db(), stored);
    EXPECT_EQ(stored.MonthlyMaxBooks, -5);
    EXPECT_EQ(stored.DailyMaxDays, std::numeric_limits<int>::max());
    EXPECT_EQ(stored.ExpiryReminderDays, -1);
    screen.FormShow();
    EXPECT_EQ(screen.field(QStringLiteral("R1BNinput")).number(), -5);
}

TEST_F(Parameters, IdLengthsStayWithin1And20) {
    shop.pub.ReaderIdMaxLen = 0;
    shop.pub.BookIdMaxLen = 99;
    screen.FormShow();
    EXPECT_EQ(screen.field(QStringLiteral("TZCDinput")).number(), 1);
    EXPECT_EQ(screen.field(QStringLiteral("TSCDinput")).number(), 20);
    screen.field(QStringLiteral("TZCDinput")).setValue(25);
    screen.Button3Click();
    EXPECT_EQ(shop.pub.ReaderIdMaxLen, 20);
    EXPECT_EQ(shop.pub.BookIdMaxLen, 20);
}

// Each bad text in each kind of amount field refuses both buttons with nothing applied.
TEST_F(Parameters, BadAmountsAreRefusedAndNothingIsApplied) {
    const QStringList bad = {QStringLiteral("abc"),
                             QStringLiteral("1e400"),
                             QStringLiteral("-"),
                             QStringLiteral("  "),
                             QString(),
                             QStringLiteral("1,5"),
                             QStringLiteral("１２"),
                             QStringLiteral("0x10"),
                             QStringLiteral("9e99")};
    const char* const fields[] = {"R1ZJinput", "R3YJinput", "R4KFFinput", "CQFJinput", "PSFJinput"};
    const QStringList before = storedSettings();
    for (const char* name : fields) {
        for (const QString& text : bad) {
            for (const bool save : {false, true}) {
                screen.FormShow();
                type("R2ZJinput", QStringLiteral("99"));
                screen.field(QString::fromUtf8(name)).setValue(text);
                prompter.clear();
                save ? screen.Button1Click() : screen.Button3Click();
                EXPECT_EQ(prompter.single(), kBadInput) << name << " " << text.toStdString();
                EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Information);
                EXPECT_EQ(shop.pub.QuarterlyRent, 80.0f) << name << " " << text.toStdString();
            }
        }
    }
    EXPECT_EQ(storedSettings(), before);
    EXPECT_TRUE(logRecords().isEmpty());
}

TEST_F(Parameters, BlanksAroundANumberAndSignsAreAccepted) {
    screen.FormShow();
    type("R1ZJinput", QStringLiteral(" 12 "));
    type("R1YJinput", QStringLiteral("-3"));
    type("R1KFFinput", QStringLiteral("+.5"));
    screen.Button3Click();
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(shop.pub.MonthlyRent, 12.0f);
    EXPECT_EQ(shop.pub.MonthlyDeposit, -3.0f);
    EXPECT_EQ(shop.pub.MonthlyOpeningFee, 0.5f);
}

TEST_F(Parameters, LeavingAnAmountFieldChecksAllOfThemOnlyWhenNoneIsEmpty) {
    screen.FormShow();
    screen.focusLeft(QStringLiteral("R1ZJinput"));
    EXPECT_TRUE(prompter.boxes().empty());

    type("R3KFFinput", QStringLiteral("x"));
    screen.focusLeft(QStringLiteral("CQFJinput"));
    EXPECT_EQ(prompter.single(), kBadExit);
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Error);

    // An empty field silences the check; applying then reports it.
    prompter.clear();
    type("R4ZJinput", QString());
    screen.focusLeft(QStringLiteral("R4ZJinput"));
    EXPECT_TRUE(prompter.boxes().empty());
    screen.Button3Click();
    EXPECT_EQ(prompter.single(), kBadInput);

    // Fields that are not amounts do not check.
    prompter.clear();
    type("R4ZJinput", QStringLiteral("1"));
    screen.focusLeft(QStringLiteral("TSTSinput"));
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(Parameters, AFailedSaveKeepsTheRunningValuesButStoresNothing) {
    const QStringList before = storedSettings();
    screen.FormShow();
    type("R1ZJinput", QStringLiteral("55"));
    faults.failOn(QStringLiteral("UPDATE sysset"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_EQ(shop.pub.MonthlyRent, 55.0f);
    faults.clear();
    EXPECT_EQ(storedSettings(), before);
    EXPECT_TRUE(logRecords().isEmpty());
}

TEST_F(Parameters, AFailedLogRecordTakesTheStoredSettingsBackWithIt) {
    const QStringList before = storedSettings();
    screen.FormShow();
    type("R1ZJinput", QStringLiteral("55"));
    faults.failOn(QStringLiteral("INSERT INTO 日志"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    faults.clear();
    EXPECT_EQ(storedSettings(), before);
}

TEST_F(Parameters, ClosingLosesWhatWasNeitherAppliedNorSaved) {
    bool closed = false;
    QObject::connect(&screen, &FormModel::closeRequested, [&] { closed = true; });
    screen.FormShow();
    type("R1ZJinput", QStringLiteral("77"));
    screen.run(QStringLiteral("Button2Click"));
    EXPECT_TRUE(closed);
    EXPECT_EQ(shop.pub.MonthlyRent, 30.0f);
    screen.FormShow();
    EXPECT_EQ(text("R1ZJinput"), QStringLiteral("30"));
}

// A save stores what differs from the settings this desk read at its start: values applied at
// an earlier opening count, values another desk stored since the start stay.
TEST_F(Parameters, ValuesAppliedAtAnEarlierOpeningAreStoredByALaterSave) {
    screen.FormShow();
    type("R1ZJinput", QStringLiteral("45"));
    screen.Button3Click();
    screen.FormShow();
    screen.Button1Click();
    EXPECT_EQ(prompter.single(), QStringLiteral("保存成功!"));
    PubData stored;
    SettingsStore::read(db(), stored);
    EXPECT_EQ(stored.MonthlyRent, 45.0f);
}

TEST_F(Parameters, SettingsAnotherDeskStoredSinceThisDeskStartedStay) {
    PubData theirs = shop.pub;
    theirs.OverdueFinePerDay = 0.25f;
    theirs.AutoBackupOnStart = true;
    {
        Transaction transaction(db());
        SettingsStore::write(db(), theirs);
        transaction.commit();
    }
    screen.FormShow();
    EXPECT_EQ(text("CQFJinput"), QStringLiteral("0.5")) << "as this desk started";
    type("R1ZJinput", QStringLiteral("45"));
    screen.Button1Click();
    EXPECT_EQ(prompter.single(),
              QStringLiteral("保存成功!\r\r其他窗口刚刚保存的参数也已生效，请查看。"));
    PubData stored;
    SettingsStore::read(db(), stored);
    EXPECT_EQ(stored.MonthlyRent, 45.0f);
    EXPECT_EQ(stored.OverdueFinePerDay, 0.25f);
    EXPECT_TRUE(stored.AutoBackupOnStart);
    EXPECT_TRUE(SettingsStore::sameSettings(shop.pub, stored));
    EXPECT_EQ(text("CQFJinput"), QStringLiteral("0.25"));
}

} // namespace
} // namespace lms
