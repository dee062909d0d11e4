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

QString invalidPriceMessage() {
    return QStringLiteral("输入错误！请输入正确有效的数字。");
}

} // namespace lms::Books
