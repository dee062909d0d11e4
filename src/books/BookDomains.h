#pragma once

#include <QStringList>

namespace lms::Books {

// List indexes of the book states.
enum StateIndex { OnShelf = 0, Lent = 1, DamagedOrLost = 2 };

// "未借出", "已借出", "破损遗失", in list order.
const QStringList& states();

// Byte limit of a book's remark (GBK text).
inline constexpr int kRemarkBytes = 255;

} // namespace lms::Books
