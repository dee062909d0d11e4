#pragma once

#include <QString>

namespace lms::Readers {

// "读者编号为：<id>的读者在系统中不存在！" CR CR "请输入新的读者编号。"
QString notFoundMessage(const QString& id);
// "读者编号为：<id>的读者在系统中已存在！" CR "请输入新的读者编号。"
QString alreadyExistsMessage(const QString& id);
// The warning of every lookup that finds a deposit below zero.
QString negativeDepositMessage();

} // namespace lms::Readers
