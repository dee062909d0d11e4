// GBK lengths and cutting over any text (invalid UTF-8, lone surrogates, NULs): a cut fits the
// limit, is a beginning of the text, never splits a character and is the longest that fits;
// lengths add up over concatenation except where two halves of a character meet.
#include "Check.h"
#include "FuzzText.h"
#include "core/GbkText.h"

#include <algorithm>
#include <limits>

namespace {

using lms::fuzz::check;
using lms::fuzz::units;
namespace Gbk = lms::Gbk;

bool pairAt(const QString& text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
}

// Counted by hand over code units: ASCII one byte, a surrogate pair or any other unit two.
int referenceLength(const QString& text) {
    int bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (pairAt(text, i))
            ++i;
        bytes += text[i].unicode() < 0x80 ? 1 : 2;
    }
    return bytes;
}

// Where two texts meet in the middle of a character.
bool joinsAPair(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && a.back().isHighSurrogate() && b.front().isLowSurrogate();
}

void checkLength(const QString& text) {
    const int length = Gbk::byteLength(text);
    check(length == referenceLength(text), "byteLength counts one byte for ASCII, two otherwise",
          units(text) + QStringLiteral(" -> %1").arg(length));
    check(length >= text.toUcs4().size() && length <= 2 * text.size(),
          "byteLength lies between the characters and twice the code units", units(text));
}

void checkCut(const QString& text, int limit) {
    const QString cut = Gbk::truncateToBytes(text, limit);
    const QString context = units(text) + QStringLiteral(" at %1 -> ").arg(limit) + units(cut);
    check(text.startsWith(cut), "the cut is a beginning of the text", context);
    check(Gbk::byteLength(cut) <= std::max(limit, 0), "the cut fits the limit", context);
    if (!cut.isEmpty() && cut.size() < text.size())
        check(!pairAt(text, cut.size() - 1), "the cut never splits a surrogate pair", context);
    if (cut.size() < text.size()) {
        const qsizetype next = pairAt(text, cut.size()) ? 2 : 1;
        check(Gbk::byteLength(text.left(cut.size() + next)) > limit,
              "the cut is the longest beginning that fits", context);
    }
    check(Gbk::truncateToBytes(cut, limit) == cut, "cutting a cut again changes nothing", context);
    if (limit < std::numeric_limits<int>::max())
        check(Gbk::truncateToBytes(text, limit + 1).startsWith(cut),
              "a larger limit keeps at least the same beginning", context);
}

void checkJoin(const QString& text) {
    const QString joined = Gbk::joinLines(text);
    QString expected = text;
    expected.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    check(joined == expected, "joinLines drops exactly the line breaks",
          units(text) + QStringLiteral(" -> ") + units(joined));
    check(Gbk::joinLines(joined) == joined, "joinLines of joined text changes nothing",
          units(text));
    const int breaks =
        static_cast<int>(text.count(QLatin1Char('\r')) + text.count(QLatin1Char('\n')));
    check(Gbk::byteLength(joined) <= Gbk::byteLength(text) - breaks,
          "joining lines shortens by at least the line breaks", units(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int limit = data.ConsumeBool() ? data.ConsumeIntegralInRange<int>(-4, 300)
                                         : data.ConsumeIntegral<int>();
    const QString first = lms::fuzz::consumeText(data);
    const QString second = lms::fuzz::remainingText(data);

    checkLength(first);
    checkLength(second);
    const QString both = first + second;
    const int sum = Gbk::byteLength(first) + Gbk::byteLength(second);
    if (joinsAPair(first, second)) {
        // A lone high and a lone low half become one character of two bytes.
        check(Gbk::byteLength(both) == sum - 2, "two halves that meet count as one character",
              units(both));
    } else {
        check(Gbk::byteLength(both) == sum, "byteLength adds up over concatenation", units(both));
    }

    checkCut(both, limit);
    checkCut(first, limit);
    checkCut(both, Gbk::byteLength(first));
    check(Gbk::truncateToBytes(both, Gbk::byteLength(both)) == both,
          "a limit of the whole length keeps the whole text", units(both));
    checkJoin(both);
    return 0;
}
