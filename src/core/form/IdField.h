#pragma once

#include <QString>
#include <functional>

namespace lms {

class Field;
class Prompter;

// How a lookup by id ended; the boxes of the last two have already been shown.
enum class LookupOutcome {
    Found,
    NotFound, // the screen's "does not exist" error
    Failed,   // "连接数据库出错!"
};

// An id field that looks itself up: as soon as its untrimmed text is exactly `fullLength()`
// bytes of GBK text, `lookup` runs, whether the text was typed or set by the program. A length
// of 0 or less (settings not loaded) never triggers.
void lookUpWhenFull(Field& idField, std::function<int()> fullLength, std::function<void()> lookup);

// Before a change is stored: the edit screen must have looked a row up, and its id field must
// still hold that row's id. `noun` is "图书" or "读者". Otherwise shows the refusal, puts the
// looked-up id back, focuses the field and returns false.
bool keepsLookedUpId(Field& idField, bool loaded, const QString& loadedId, const QString& noun,
                     Prompter& prompter);

// The id an operation acts on: the field's text without surrounding blanks, as it is shown.
QString typedId(const Field& idField);

} // namespace lms
