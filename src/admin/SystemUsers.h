#pragma once

#include <QString>

namespace lms {

// What the user screens share besides the user store (core/UserStore.h).
namespace SystemUsers {

// Every new user's password until it is changed.
inline QString initialPassword() {
    return QStringLiteral("246802");
}

// The refusal when a chosen or typed name has no row (any more).
inline QString unknownUser() {
    return QStringLiteral("系统中没有此用户!");
}

// "用户名为：<name>的用户已在其他窗口更改！" CR CR "请重新选择该用户查看后再操作。": another
// desk changed what the screen showed of the user since it was loaded.
QString changedElsewhere(const QString& name);
// "用户名为：<name>的用户已在其他窗口删除！" CR CR "请重新选择用户后再操作。"
QString deletedElsewhere(const QString& name);

// A typed user name without the blanks and control characters around it.
QString trimmedName(const QString& typed);

} // namespace SystemUsers

} // namespace lms
