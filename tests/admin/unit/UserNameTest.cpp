// How a typed user name is trimmed before it is checked and stored.
#include "admin/SystemUsers.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

TEST(UserName, BlanksAndControlCharactersAroundTheNameGoInsideOnesStay) {
    const std::pair<const char*, const char*> cases[] = {
        {"  张三 ", "张三"},
        {"\t\r\nbob\x01", "bob"},
        {"a b", "a b"},
        {"\u3000李四\u3000", "李四"},
        {"   ", ""},
        {"", ""},
        {" O'Brien ", "O'Brien"},
        {"x\x7f", "x\x7f"},
    };
    for (const auto& [typed, trimmed] : cases)
        EXPECT_EQ(SystemUsers::trimmedName(QString::fromUtf8(typed)), QString::fromUtf8(trimmed))
            << typed;
}

} // namespace
} // namespace lms
