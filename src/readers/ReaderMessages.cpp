#include "readers/ReaderMessages.h"

namespace lms::Readers {

namespace {
const QChar CR = QChar(13);
}

QString notFoundMessage(const QString& id) {
    return QStringLiteral("读者编号为：") + id + QStringLiteral("的读者在系统中不存在！") + CR +
           CR + QStringLiteral("请输入新的读者编号。");
}

QString alreadyExistsMessage(const QString& id) {
    return QStringLiteral("读者编号为：") + id + QStringLiteral("的读者在系统中已存在！") + CR +
           QStringLiteral("请输入新的读者编号。");
}

QString changedElsewhereMessage(const QString& id) {
    return QStringLiteral("读者编号为：") + id + QStringLiteral("的读者已在其他窗口更改！") +
           QChar(13) + QChar(13) + QStringLiteral("请重新输入读者编号查询后再操作。");
}

QString negativeDepositMessage() {
    return QStringLiteral("此读者缴纳的押金金额已为负数！请及时缴费充值。");
}

} // namespace lms::Readers
