#pragma once

namespace lms {
class Field;
class Prompter;
class Tdm_Dbase;
} // namespace lms

namespace lms::Books {

// Fills a list with the book types and selects the first. False when there are none; a
// database failure shows "连接数据库出错!" and leaves the list empty but still answers true,
// since the screens then go on resetting.
bool fillBookTypes(Field& list, Tdm_Dbase& dm, Prompter& prompter);

} // namespace lms::Books
