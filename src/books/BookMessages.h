#pragma once

#include <QString>

namespace lms::Books {

// "图书编号为：<id>的图书在系统中不存在！" CR CR "请输入新的图书编号。"
QString notFoundMessage(const QString& id);
// "图书编号为：<id>的图书在系统中已存在！" CR "请输入新的图书编号。"
QString alreadyExistsMessage(const QString& id);
// "输入错误！请输入正确有效的数字。", for a price that is not a number.
QString invalidPriceMessage();

} // namespace lms::Books
