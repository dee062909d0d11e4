#include "core/RegionalFormats.h"

#include "QtPrinters.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using lms::RegionalFormats;

const QLocale kChinese(QLocale::Chinese, QLocale::China);

// A Tuesday, afternoon, with seconds that show whether the long time carries them.
const QDate kDay(2024, 3, 5);
const QTime kTime(14, 7, 9);
const QDateTime kMoment(kDay, kTime);

TEST(RegionalFormats, CLocaleFallsBackToChineseFormats) {
    const RegionalFormats c(QLocale::c());
    const RegionalFormats chinese(kChinese);
    EXPECT_EQ(c.locale().language(), QLocale::Chinese);
    EXPECT_EQ(c.shortDate(kDay), chinese.shortDate(kDay));
    EXPECT_EQ(c.longDate(kDay), chinese.longDate(kDay));
    EXPECT_EQ(c.longTime(kTime), chinese.longTime(kTime));
    EXPECT_EQ(c.shortDayName(kDay), chinese.shortDayName(kDay));
    EXPECT_EQ(c.clockText(kMoment), chinese.clockText(kMoment));
    EXPECT_EQ(c.dateTimeText(kMoment), chinese.dateTimeText(kMoment));
    EXPECT_EQ(c.longDate(kDay), QStringLiteral("2024年3月5日"));
    EXPECT_EQ(c.shortDayName(kDay), QStringLiteral("周二"));
}

TEST(RegionalFormats, ExplicitLocaleIsKept) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(RegionalFormats(german).locale(), german);
    EXPECT_EQ(RegionalFormats(kChinese).locale(), kChinese);
}

TEST(RegionalFormats, ClockShowsLongDateTimeWithSecondsAndShortDayName) {
    const QLocale locales[] = {QLocale::c(), kChinese,
                               QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::German, QLocale::Germany)};
    static const QRegularExpression shape(QStringLiteral("^(\\S.*\\S)  (\\S.*\\S)   (\\S+)$"));
    for (const QLocale& locale : locales) {
        SCOPED_TRACE(locale.name().toStdString());
        const RegionalFormats formats(locale);
        const QString clock = formats.clockText(kMoment);
        const QRegularExpressionMatch match = shape.match(clock);
        ASSERT_TRUE(match.hasMatch()) << clock.toStdString();
        const QString date = match.captured(1);
        const QString time = match.captured(2);
        EXPECT_TRUE(date.contains(QLatin1String("2024"))) << date.toStdString();
        EXPECT_TRUE(date.contains(QLatin1String("5"))) << date.toStdString();
        EXPECT_TRUE(time.contains(QLatin1String("07:09"))) << time.toStdString();
        EXPECT_EQ(match.captured(3), formats.locale().dayName(2, QLocale::ShortFormat));
    }
}

TEST(RegionalFormats, LongDateCarriesNoWeekday) {
    const QLocale locales[] = {kChinese,
                               QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::English, QLocale::UnitedKingdom),
                               QLocale(QLocale::German, QLocale::Germany),
                               QLocale(QLocale::French, QLocale::France),
                               QLocale(QLocale::Japanese, QLocale::Japan),
                               QLocale(QLocale::Chinese, QLocale::Taiwan)};
    for (const QLocale& locale : locales) {
        SCOPED_TRACE(locale.name().toStdString());
        const RegionalFormats formats(locale);
        const QString date = formats.longDate(kDay);
        EXPECT_FALSE(date.contains(locale.dayName(2, QLocale::LongFormat))) << date.toStdString();
        EXPECT_FALSE(date.contains(locale.dayName(2, QLocale::ShortFormat))) << date.toStdString();
        EXPECT_TRUE(date.contains(QLatin1String("2024"))) << date.toStdString();
    }
}

// Removing the weekday and the time zone from Qt's long formats leaves no stray separators or
// empty brackets behind.
TEST(RegionalFormats, LongFormatsKeepNoRemainsOfTheRemovedParts) {
    const QLocale locales[] = {kChinese,
                               QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::German, QLocale::Germany),
                               QLocale(QLocale::Japanese, QLocale::Japan),
                               QLocale(QLocale::Chinese, QLocale::Taiwan),
                               QLocale(QLocale::Chinese, QLocale::HongKong),
                               QLocale(QLocale::Spanish, QLocale::Spain),
                               QLocale(QLocale::Catalan, QLocale::Spain),
                               QLocale(QLocale::Belarusian, QLocale::Belarus),
                               QLocale(QLocale::Arabic, QLocale::Egypt)};
    static const QRegularExpression emptyBrackets(QStringLiteral("\\(\\s*\\)|\\[\\s*\\]"));
    const auto strayAtEdge = [](const QString& text) {
        return text.isEmpty() || text.front().isSpace() || text.back().isSpace() ||
               text.front().isPunct() || text.back() == QLatin1Char(',');
    };
    for (const QLocale& locale : locales) {
        SCOPED_TRACE(locale.name().toStdString());
        const RegionalFormats formats(locale);
        const QString time = formats.longTime(kTime);
        const QString date = formats.longDate(kDay);
        EXPECT_FALSE(time.contains(emptyBrackets)) << time.toStdString();
        EXPECT_FALSE(strayAtEdge(time)) << time.toStdString();
        EXPECT_FALSE(strayAtEdge(date)) << date.toStdString();
    }
}

TEST(RegionalFormats, ShortDateShowsTheFullYear) {
    const QLocale locales[] = {QLocale::c(), kChinese,
                               QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::English, QLocale::UnitedKingdom),
                               QLocale(QLocale::German, QLocale::Germany)};
    for (const QLocale& locale : locales) {
        SCOPED_TRACE(locale.name().toStdString());
        const QString date = RegionalFormats(locale).shortDate(QDate(2007, 8, 9));
        EXPECT_TRUE(date.contains(QLatin1String("2007"))) << date.toStdString();
    }
}

TEST(RegionalFormats, DateSeparatorIsTheOneOfTheShortDate) {
    struct Case {
        QLocale locale;
        const char* separator;
    };
    const Case cases[] = {
        {QLocale::c(), "/"},
        {kChinese, "/"},
        {QLocale(QLocale::German, QLocale::Germany), "."},
        {QLocale(QLocale::English, QLocale::UnitedStates), "/"},
        {QLocale(QLocale::Dutch, QLocale::Netherlands), "-"},
        {QLocale(QLocale::Arabic, QLocale::Egypt), "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const RegionalFormats formats(c.locale);
        EXPECT_EQ(formats.dateSeparator(), QString::fromLatin1(c.separator));
    }
}

TEST(RegionalFormats, DateTimeTextLeavesOutTheTimeOnlyAtMidnight) {
    for (const QLocale& locale :
         {QLocale::c(), kChinese, QLocale(QLocale::English, QLocale::UnitedStates)}) {
        SCOPED_TRACE(locale.name().toStdString());
        const RegionalFormats formats(locale);
        const QString date = formats.shortDate(kDay);

        EXPECT_EQ(formats.dateTimeText(QDateTime(kDay, QTime(0, 0, 0))), date);

        for (const QTime time :
             {QTime(0, 0, 1), QTime(0, 1, 0), QTime(1, 0, 0), QTime(23, 59, 59), kTime}) {
            SCOPED_TRACE(time.toString().toStdString());
            const QString text = formats.dateTimeText(QDateTime(kDay, time));
            EXPECT_TRUE(text.startsWith(date + QLatin1Char(' '))) << text.toStdString();
            EXPECT_EQ(text.mid(date.size() + 1), formats.longTime(time));
        }
    }
}

TEST(RegionalFormats, ChineseTextsReadAsExpected) {
    const RegionalFormats formats(kChinese);
    const QString time = formats.longTime(kTime);
    EXPECT_TRUE(time.contains(QLatin1String("14:07:09"))) << time.toStdString();
    EXPECT_EQ(formats.shortDate(kDay), QStringLiteral("2024/3/5"));
    EXPECT_TRUE(formats.dateTimeText(kMoment).startsWith(QLatin1String("2024/3/5 ")));
    EXPECT_TRUE(formats.dateTimeText(kMoment).endsWith(QLatin1String("14:07:09")));
    EXPECT_TRUE(
        formats.dateTimeText(QDateTime(kDay, QTime(0, 0, 1))).endsWith(QLatin1String("00:00:01")));
    EXPECT_EQ(formats.clockText(kMoment),
              QStringLiteral("2024年3月5日  ") + time + QStringLiteral("   周二"));
}

} // namespace
