#include "core/GbkText.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

using lms::Gbk::byteLength;
using lms::Gbk::joinLines;
using lms::Gbk::truncateToBytes;

TEST(GbkByteLength, AsciiTakesOneByteEveryOtherCharacterTwo) {
    struct Case {
        const char* text;
        int bytes;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 3},
        {"A1 -_~", 6},
        {"\n\t", 2},
        {"\x7f", 1},
        // Everything past ASCII: Latin-1 letters, Chinese, full-width digits and punctuation.
        {"\u0080", 2},
        {"é", 2},
        {"读者", 4},
        {"A读", 3},
        {"读者A", 5},
        {"１２", 4},
        {"，。", 4},
        // Outside the basic plane: one character, two UTF-16 units.
        {"📚", 2},
        {"A📚B", 4},
        {"📚📖", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(byteLength(QString::fromUtf8(c.text)), c.bytes);
    }
}

TEST(GbkTruncate, CutsBetweenWholeCharacters) {
    struct Case {
        const char* text;
        int maxBytes;
        const char* expected;
    };
    const Case cases[] = {
        {"读者A", 0, ""},     {"读者A", 1, ""},      {"读者A", 2, "读"},      {"读者A", 3, "读"},
        {"读者A", 4, "读者"}, {"读者A", 5, "读者A"}, {"读者A", 100, "读者A"}, {"A读", 1, "A"},
        {"A读", 2, "A"},      {"A读", 3, "A读"},     {"abcdef", 4, "abcd"},   {"📚A", 1, ""},
        {"📚A", 2, "📚"},       {"📚A", 3, "📚A"},       {"A📚", 2, "A"},          {"A📚", 3, "A📚"},
        {"", 5, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((QStringLiteral("%1 / %2").arg(QString::fromUtf8(c.text)).arg(c.maxBytes))
                         .toStdString());
        EXPECT_EQ(truncateToBytes(QString::fromUtf8(c.text), c.maxBytes),
                  QString::fromUtf8(c.expected));
    }
}

TEST(GbkTruncate, KeepsTheLongestFittingBeginningAtEveryLimit) {
    const QString text = QString::fromUtf8("借A书📚还,B👍读者1");
    const int total = byteLength(text);
    for (int limit = 0; limit <= total + 1; ++limit) {
        SCOPED_TRACE(limit);
        const QString cut = truncateToBytes(text, limit);
        ASSERT_TRUE(text.startsWith(cut));
        EXPECT_LE(byteLength(cut), limit);
        EXPECT_FALSE(!cut.isEmpty() && cut.back().isHighSurrogate()) << "half a surrogate pair";
        if (cut.size() < text.size()) {
            // The next whole character no longer fits.
            const qsizetype nextLength = text[cut.size()].isHighSurrogate() ? 2 : 1;
            EXPECT_GT(byteLength(text.left(cut.size() + nextLength)), limit);
        }
    }
    EXPECT_EQ(truncateToBytes(text, total), text);
}

TEST(GbkJoinLines, JoinsTheLinesWithNothingBetween) {
    struct Case {
        const char* memo;
        const char* expected;
    };
    const Case cases[] = {
        {"a\nb\r\nc", "abc"},       {"", ""},           {"one line", "one line"},
        {"读者\n备注", "读者备注"}, {"a\rb", "ab"},     {"line\n", "line"},
        {"\r\n\r\nx\r\n\r\n", "x"}, {"a \n b", "a  b"}, {"tab\there", "tab\there"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.memo);
        EXPECT_EQ(joinLines(QString::fromUtf8(c.memo)), QString::fromUtf8(c.expected));
    }
}

} // namespace
