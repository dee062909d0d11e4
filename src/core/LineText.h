#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// What an id or a one-line text may not hold: a line break, a tab or another control character.
// Such a text looks like another one on the screen (or like nothing at all) and no search typed
// into a one-line field finds it.
namespace lms::LineText {

enum class Breaker {
    LineBreak, // CR, LF, VT, FF, NEL and the line and paragraph separators
    Tab,
    Control, // any other character of the control category (U+0000–U+001F, U+007F–U+009F)
};

struct Forbidden {
    qsizetype position = 0; // counted from 0
    Breaker kind = Breaker::Control;
    char16_t code = 0;
};

// The first character a one-line text may not hold, or nothing when it holds none.
std::optional<Forbidden> firstForbidden(QStringView text);

// "第3个字符是换行符", "第1个字符是控制字符（U+001B）": where the character is and what it is,
// counting characters from 1.
QString described(const Forbidden& forbidden);

} // namespace lms::LineText
