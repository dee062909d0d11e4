#pragma once

#include <QString>

namespace lms::Messages {

// The one message of every screen for a failed database operation.
inline QString databaseError() {
    return QStringLiteral("连接数据库出错!");
}

// An operation whose dates would pass the last day a date can be stored on (a validity renewed
// or extended too far, a loan period too long) is refused with this, storing nothing.
inline QString dateOutOfRange() {
    return QStringLiteral("日期超出范围！\r计算出的日期晚于9999年12月31日，无法保存。"
                          "请检查有效期和最长持有图书时间。");
}

} // namespace lms::Messages
