#include "books/BookMessages.h"

namespace lms::Books {

namespace {
const QChar CR = QChar(13);
}

QString notFoundMessage(const QString& id) {
    return QStringLiteral("图书编号为：") + id + QStringLiteral("的图书在系统中不存在！") + CR +
           CR + QStringLiteral("请输入新的图书编号。");
}

QString alreadyExistsMessage(const QString& id) {
    return QStringLiteral("图书编号为：") + id + QStringLiteral("的图书在系统中已存在！") + CR +
           QStringLiteral("请输入新的图书编号。");
}

QString changedElsewhereMessage(const QString& id) {
    return QStringLiteral("图书编号为：") + id + QStringLiteral("的图书已在其他窗口更改！") + CR +
           CR + QStringLiteral("请重新输入图书编号查询后再操作。");
}

QString lentOnlyByLoanMessage() {
    return QStringLiteral("图书状态不能更改为：已借出！") + CR + CR +
           QStringLiteral("只有读者借书时图书状态才会设置为已借出。");
}

QString lentStateKeptMessage(const QString& id) {
    return QStringLiteral("图书编号为：") + id +
           QStringLiteral("的图书当前状态为：已借出 不能更改状态！") + CR + CR +
           QStringLiteral("请先归还图书之后再更改！");
}

QString invalidPriceMessage() {
    return QStringLiteral("输入错误！请输入正确有效的数字。");
}

} // namespace lms::Books
