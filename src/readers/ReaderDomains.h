#pragma once

#include <QStringList>

namespace lms::Readers {

// List indexes of the reader types, as every screen and rule refers to them.
enum TypeIndex { Monthly = 0, Quarterly = 1, Yearly = 2, Daily = 3 };
// List indexes of the reader states.
enum StateIndex { NormalUse = 0, AutoExtended = 1, Suspended = 2, LostStopped = 3 };

// "包月", "包季度", "包年", "按日租借", in list order.
const QStringList& types();
// "正常使用", "自动延期", "暂停使用", "挂失停用", in list order.
const QStringList& states();
// "男", "女".
const QStringList& sexes();

} // namespace lms::Readers
