// Amounts the clerk types: numbers the single-precision ledger can hold, nothing else.
#include "readers/Amounts.h"

#include <gtest/gtest.h>

namespace lms::Readers {
namespace {

TEST(Amounts, AcceptDecimalNumbersWithinSinglePrecision) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"50", 50.0}, {" 12.5 ", 12.5}, {"-20", -20.0}, {".5", 0.5}, {"1e3", 1000}, {"3e38", 3e38},
        {"", {}},     {"-", {}},        {"abc", {}},    {"1,5", {}}, {"1e39", {}},  {"1e400", {}},
        {"12元", {}}, {"1 2", {}},      {"0x10", {}},   {"nan", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseAmount(QString::fromUtf8(c.text)), c.value);
    }
    EXPECT_TRUE(fitsLedger(-3.4e38));
    EXPECT_FALSE(fitsLedger(6e38));
}

} // namespace
} // namespace lms::Readers
