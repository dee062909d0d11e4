#pragma once

#include <QString>

namespace lms::Readers {

// "读者编号为：<id>的读者在系统中不存在！" CR CR "请输入新的读者编号。"
QString notFoundMessage(const QString& id);
// "读者编号为：<id>的读者在系统中已存在！" CR "请输入新的读者编号。"
QString alreadyExistsMessage(const QString& id);
// "读者编号为：<id>的读者已在其他窗口更改！" CR CR "请重新输入读者编号查询后再操作。": another
// desk changed the reader since the lookup.
QString changedElsewhereMessage(const QString& id);
// The warning of every lookup that finds a deposit below zero.
QString negativeDepositMessage();

} // namespace lms::Readers
