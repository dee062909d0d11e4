#include "admin/SystemUsers.h"

namespace lms::SystemUsers {

namespace {

bool isBlank(QChar c) {
    return c.unicode() <= 0x20 || c.isSpace();
}

} // namespace

QString changedElsewhere(const QString& name) {
    return QStringLiteral("用户名为：") + name +
           QStringLiteral("的用户已在其他窗口更改！\r\r请重新选择该用户查看后再操作。");
}

QString deletedElsewhere(const QString& name) {
    return QStringLiteral("用户名为：") + name +
           QStringLiteral("的用户已在其他窗口删除！\r\r请重新选择用户后再操作。");
}

QString trimmedName(const QString& typed) {
    qsizetype begin = 0;
    qsizetype end = typed.size();
    while (begin < end && isBlank(typed[begin]))
        ++begin;
    while (end > begin && isBlank(typed[end - 1]))
        --end;
    return typed.mid(begin, end - begin);
}

} // namespace lms::SystemUsers
