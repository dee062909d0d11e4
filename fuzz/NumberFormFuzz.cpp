// The general and two-decimal forms over any double and float the input's bits make: each form
// reads back within its precision, is its own fixed point, and keeps the values' order.
#include "NumberProperties.h"

#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

using lms::fuzz::check;
using lms::fuzz::shown;

double bitsToDouble(FuzzedDataProvider& data) {
    const auto bits = data.ConsumeIntegral<uint64_t>();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float bitsToFloat(FuzzedDataProvider& data) {
    const auto bits = data.ConsumeIntegral<uint32_t>();
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Amounts as the shop has them: cents, a few decimals, or whole numbers of some size.
double shopAmount(FuzzedDataProvider& data) {
    const auto units = data.ConsumeIntegralInRange<int64_t>(-100000000000, 100000000000);
    const int scale = data.ConsumeIntegralInRange<int>(0, 6);
    return static_cast<double>(units) / std::pow(10.0, scale);
}

void checkOrder(double a, double b) {
    if (!lms::fuzz::readable(a) || !lms::fuzz::readable(b))
        return;
    if (a > b)
        std::swap(a, b);
    const auto general = [](double v) {
        return lms::Numbers::parseDecimal(lms::Numbers::generalForm(v)).value();
    };
    const auto money = [](double v) {
        return lms::Numbers::parseDecimal(lms::Numbers::twoDecimalForm(v)).value();
    };
    const QString context = shown(a) + QStringLiteral(" <= ") + shown(b);
    check(general(a) <= general(b), "generalForm keeps the order", context);
    check(money(a) <= money(b), "twoDecimalForm keeps the order", context);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    while (data.remaining_bytes() > 0) {
        switch (data.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: {
            const double value = bitsToDouble(data);
            lms::fuzz::checkFormsOf(value);
            checkOrder(value, bitsToDouble(data));
            break;
        }
        case 1: {
            const float value = bitsToFloat(data);
            if (std::isfinite(value)) {
                lms::fuzz::checkSingleForms(value);
                lms::fuzz::checkFormsOf(lms::Numbers::widened(value));
            }
            break;
        }
        case 2: {
            const double value = shopAmount(data);
            lms::fuzz::checkFormsOf(value);
            lms::fuzz::checkFormsOf(lms::Numbers::throughSingle(value));
            lms::fuzz::checkSingleForms(static_cast<float>(value));
            checkOrder(value, shopAmount(data));
            break;
        }
        default: {
            // Neighbours: the forms must not jump between adjacent doubles.
            const double value = bitsToDouble(data);
            lms::fuzz::checkFormsOf(value);
            checkOrder(value, std::nextafter(value, 0.0));
            break;
        }
        }
    }
    return 0;
}
