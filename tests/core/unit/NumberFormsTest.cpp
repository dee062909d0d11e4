#include "core/NumberForms.h"

#include "QtPrinters.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using lms::Numbers::generalForm;
using lms::Numbers::parseDecimal;
using lms::Numbers::parseSingle;
using lms::Numbers::throughSingle;
using lms::Numbers::twoDecimalForm;
using lms::Numbers::widened;

struct FormCase {
    double value;
    const char* expected;
};

TEST(GeneralForm, ShowsTheShortestPlainDecimal) {
    const FormCase cases[] = {
        {2 * 0.5, "1"},       {3 * 1.5, "4.5"},
        {30, "30"},           {2.5, "2.5"},
        {100, "100"},         {1200.5, "1200.5"},
        {1234567, "1234567"}, {0.5, "0.5"},
        {0.00001, "0.00001"}, {1e20, "100000000000000000000"},
        {-2.5, "-2.5"},       {-30, "-30"},
        {-0.0001, "-0.0001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(generalForm(c.value), QString::fromLatin1(c.expected));
    }
}

TEST(GeneralForm, KeepsFifteenSignificantDigits) {
    const FormCase cases[] = {
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-2.0 / 3, "-0.666666666666667"},
        {123456789.123456789, "123456789.123457"},
        {123456789012345678.0, "123456789012346000"},
        {999999999999999.5, "1000000000000000"},
        {widened(0.3f), "0.300000011920929"},
        {throughSingle(0.1), "0.100000001490116"},
        {throughSingle(20.4), "20.3999996185303"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(generalForm(c.value), QString::fromLatin1(c.expected));
    }
}

TEST(GeneralForm, ZeroHasNoSign) {
    EXPECT_EQ(generalForm(0.0), QStringLiteral("0"));
    EXPECT_EQ(generalForm(-0.0), QStringLiteral("0"));
}

TEST(TwoDecimalForm, ShowsExactlyTwoDecimalsRoundingHalvesAwayFromZero) {
    const FormCase cases[] = {
        {20.4, "20.40"},
        {12, "12.00"},
        {0.5, "0.50"},
        {0.125, "0.13"},
        {-0.125, "-0.13"},
        {0.124, "0.12"},
        {0.005, "0.01"},
        {-0.005, "-0.01"},
        {2.675, "2.68"},
        {1.005, "1.01"},
        {9.995, "10.00"},
        {99.995, "100.00"},
        {-99.995, "-100.00"},
        {999.999, "1000.00"},
        {1234567.891, "1234567.89"},
        {1e20, "100000000000000000000.00"},
        {throughSingle(20.4), "20.40"},
        {throughSingle(0.1), "0.10"},
        {throughSingle(2.675), "2.67"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(twoDecimalForm(c.value), QString::fromLatin1(c.expected));
    }
}

// The cents an amount shows, which sums of shown cells add: the two-decimal form's, never the
// binary value's (1.005 and 2.675 lie just below their halves but show rounded up).
TEST(TwoDecimalForm, CentsAsShownAreTheCentsOfTheForm) {
    const struct {
        double value;
        long long cents;
    } cases[] = {
        {1.005, 101},
        {2.675, 268},
        {throughSingle(2.675), 267},
        {-0.125, -13},
        {throughSingle(0.1), 10},
        {throughSingle(0.3), 30},
        {99.995, 10000},
        {-35.5, -3550},
        {0.004, 0},
        {21474836.48, 2147483648},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(lms::Numbers::centsAsShown(c.value), c.cents);
    }
}

TEST(TwoDecimalForm, ValuesThatRoundToZeroShowUnsigned) {
    for (const double value : {0.0, -0.0, 0.004, -0.004, 0.0004, -0.0004, 1e-20, -1e-20}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(twoDecimalForm(value), QStringLiteral("0.00"));
    }
}

TEST(ParseDecimal, ReadsWhatTheClerkTypes) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"12", 12},   {" 12.5 ", 12.5}, {"-3", -3},      {"+4", 4},         {".5", 0.5},
        {"5.", 5},    {"1e3", 1000},    {"1E-2", 0.01},  {"1.5e+2", 150},   {"007", 7},
        {"\t7\t", 7}, {"0.1", 0.1},     {"-.25", -0.25}, {"  +0.75", 0.75}, {"-0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<double> value = parseDecimal(QString::fromUtf8(c.text));
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, c.expected);
    }
}

TEST(ParseDecimal, RefusesAnythingElse) {
    const char* const texts[] = {
        "",      " ",     "abc",  "1,5",  "1,000", "1.2.3",    "-",     "+",
        ".",     "NaN",   "nan",  "inf",  "-inf",  "Infinity", "1e400", "-1e400",
        "12abc", "abc12", "1e",   "e5",   "1e+",   "0x10",     "1 2",   "--1",
        "+-1",   "1.5.",  "１２", "12元", "٣",     "1e3.5",    "- 1",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseDecimal(QString::fromUtf8(text)).has_value());
    }
}

TEST(ParseSingle, NarrowsToSinglePrecision) {
    const std::optional<float> tenth = parseSingle(QStringLiteral("0.1"));
    ASSERT_TRUE(tenth.has_value());
    EXPECT_EQ(*tenth, 0.1f);
    EXPECT_EQ(generalForm(widened(*tenth)), QStringLiteral("0.100000001490116"));

    const std::optional<float> large = parseSingle(QStringLiteral("-3.4e38"));
    ASSERT_TRUE(large.has_value());
    EXPECT_EQ(*large, -3.4e38f);
}

TEST(ParseSingle, RefusesValuesBeyondSingleRangeAndInvalidText) {
    for (const char* text : {"1e39", "-1e39", "3.5e38", "1e400", "abc", "", "1,5"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseSingle(QString::fromUtf8(text)).has_value());
    }
}

TEST(NumberForms, GeneralFormReadsBackToTheSameValue) {
    for (const double value : {0.1, 2.5, -3.75, 1234.5678, 1e-7, 98765.4321, 1.0 / 3}) {
        SCOPED_TRACE(value);
        const std::optional<double> back = parseDecimal(generalForm(value));
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(*back, value, std::fabs(value) * 1e-14);
    }
    for (const float value : {0.1f, 20.4f, 0.3f, -7.77f, 12345.67f}) {
        SCOPED_TRACE(value);
        const std::optional<float> back = parseSingle(generalForm(widened(value)));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, value);
    }
}

} // namespace
