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

// A typed user name without the blanks and control characters around it.
QString trimmedName(const QString& typed);

} // namespace SystemUsers

} // namespace lms
