#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace lms {

class Database;

// The rows of 管理员 as the user screens see them: in the order they were created, the first
// being the super user.
namespace SystemUsers {

// Every new user's password until it is changed.
inline QString initialPassword() {
    return QStringLiteral("246802");
}

// The refusal when a chosen or typed name has no row (any more).
inline QString unknownUser() {
    return QStringLiteral("系统中没有此用户!");
}

// All user names, the super user first. Throws DbError.
QStringList names(Database& db);

// The row of the named user: the exact name, else the first name equal to it without regard to
// letter case; nothing when there is none. Throws DbError.
std::optional<qint64> find(Database& db, const QString& name);

// Whether the row is the super user's. Throws DbError.
bool isSuperUser(Database& db, qint64 rowid);

// A typed user name without the blanks and control characters around it.
QString trimmedName(const QString& typed);

} // namespace SystemUsers

} // namespace lms
