// What an id or a one-line text may not hold, and how a refusal names it.
#include "core/LineText.h"

#include <gtest/gtest.h>

namespace {

using lms::LineText::Breaker;
using lms::LineText::described;
using lms::LineText::firstForbidden;

TEST(LineText, FindsTheFirstLineBreakTabOrControlCharacterAndNamesItsPlace) {
    struct Case {
        QString text;
        qsizetype position; // -1 for none
        Breaker kind;
        const char* description;
    };
    const Case cases[] = {
        {QStringLiteral("B001"), -1, {}, ""},
        {QStringLiteral("红楼梦 上册　全角空格"), -1, {}, ""},
        {QStringLiteral("📚读👍🏽 O'Brien %_"), -1, {}, ""},
        {QString(), -1, {}, ""},
        {QStringLiteral("a\tb"), 1, Breaker::Tab, "第2个字符是制表符"},
        {QStringLiteral("line1\r\nline2"), 5, Breaker::LineBreak, "第6个字符是换行符"},
        {QStringLiteral("\nx"), 0, Breaker::LineBreak, "第1个字符是换行符"},
        {QStringLiteral("a\vb"), 1, Breaker::LineBreak, "第2个字符是换行符"},
        {QStringLiteral("a\fb"), 1, Breaker::LineBreak, "第2个字符是换行符"},
        {QStringLiteral("a") + QChar(0x85), 1, Breaker::LineBreak, "第2个字符是换行符"},
        {QStringLiteral("读") + QChar(0x2028), 1, Breaker::LineBreak, "第2个字符是换行符"},
        {QChar(0x2029) + QStringLiteral("x"), 0, Breaker::LineBreak, "第1个字符是换行符"},
        {QStringLiteral("\x1b[31mred"), 0, Breaker::Control, "第1个字符是控制字符（U+001B）"},
        {QStringLiteral("a") + QChar(0) + QStringLiteral("b"), 1, Breaker::Control,
         "第2个字符是控制字符（U+0000）"},
        {QStringLiteral("ab\x7f"), 2, Breaker::Control, "第3个字符是控制字符（U+007F）"},
        {QStringLiteral("x") + QChar(0x9F), 1, Breaker::Control, "第2个字符是控制字符（U+009F）"},
        {QStringLiteral("读者\x01\t"), 2, Breaker::Control, "第3个字符是控制字符（U+0001）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const auto found = firstForbidden(c.text);
        if (c.position < 0) {
            EXPECT_FALSE(found.has_value());
            continue;
        }
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->position, c.position);
        EXPECT_EQ(found->kind, c.kind);
        EXPECT_EQ(found->code, c.text[c.position].unicode());
        EXPECT_EQ(described(*found), QString::fromUtf8(c.description));
    }
}

} // namespace
