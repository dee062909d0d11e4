// Prices: only a number that returning can multiply by the damage rate is a price.
#include "books/BookPrice.h"

#include <gtest/gtest.h>

namespace lms::Books {
namespace {

TEST(BookPrice, OnlyNumbersWithinSinglePrecisionArePrices) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"12.5", 12.5}, {" 30 ", 30.0}, {"0", 0.0},   {"abc", {}},    {"", {}},
        {"  ", {}},     {"1e400", {}},  {"1e39", {}}, {"12.5元", {}}, {"'; --", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parsePrice(QString::fromUtf8(c.text)), c.value);
    }
}

} // namespace
} // namespace lms::Books
