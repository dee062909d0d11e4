#include "admin/SystemUsers.h"

namespace lms::SystemUsers {

namespace {

bool isBlank(QChar c) {
    return c.unicode() <= 0x20 || c.isSpace();
}

} // namespace

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
