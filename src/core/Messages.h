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

// What bringing a shop up to date could not fill in: ledger records of before the ledger named
// readers and books, whose log records do not name them either.
inline QString ledgerRowsUnnamed(int count) {
    return QStringLiteral("资金中有%1条记录在操作日志中找不到对应的读者编号和图书编号，"
                          "这些记录的读者编号和图书编号留空。")
        .arg(count);
}

} // namespace lms::Messages
