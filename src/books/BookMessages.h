#pragma once

#include <QString>

namespace lms::Books {

// "图书编号为：<id>的图书在系统中不存在！" CR CR "请输入新的图书编号。"
QString notFoundMessage(const QString& id);
// "图书编号为：<id>的图书在系统中已存在！" CR "请输入新的图书编号。"
QString alreadyExistsMessage(const QString& id);
// "图书编号为：<id>的图书已在其他窗口更改！" CR CR "请重新输入图书编号查询后再操作。": another
// desk changed the book since the lookup.
QString changedElsewhereMessage(const QString& id);
// A book becomes "已借出" only by a loan.
QString lentOnlyByLoanMessage();
// A lent book leaves "已借出" only by its return, or it would lose its loan.
QString lentStateKeptMessage(const QString& id);
// "输入错误！请输入正确有效的数字。", for a price that is not a number.
QString invalidPriceMessage();

} // namespace lms::Books
