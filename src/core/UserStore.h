#pragma once

#include "core/Permissions.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace lms {
class Database;
class Tdm_Dbase;
} // namespace lms

namespace lms::Users {

// Every statement on table 管理员, the system users. Users are listed in the order they were
// created, so the super user comes first. Each writing operation is one transaction with its log
// record, and throws DbError when anything fails (nothing is then stored).

// A user's permission flags: 功能N at index N - 1.
using Flags = std::array<bool, kPermissionCount>;

// One row of 管理员 as login and the user screens read it.
struct UserRow {
    QString name; // as stored
    QString passwordHash;
    Flags flags{};
};

// All user names, the super user first. Throws DbError.
QStringList names(Database& db);

// Every user with its flags, the super user first. Throws DbError.
QList<UserRow> loadUsers(Database& db);

// Whether a user has exactly this name. Throws DbError.
bool exists(Database& db, const QString& name);

// The user with exactly this name; nothing when there is none. Throws DbError.
std::optional<UserRow> loadUser(Database& db, const QString& name);

// The user a chosen or typed name stands for: the exact name, else the first name equal to it
// without regard to letter case; nothing when there is none. Throws DbError.
std::optional<UserRow> findUser(Database& db, const QString& name);

// A new user, whose password is stored hashed.
struct NewUser {
    QString name;
    QString password;
    QString remark;
    Flags flags{};
};
// Adds the user with its log record; false, with nothing written, when a user of exactly this
// name exists by the time the write lock is held (another desk added it meanwhile).
bool addUser(Tdm_Dbase& dm, const NewUser& user, const QString& operatorName, const QDateTime& now);
// The row alone, without a log record (a new shop's super user). Throws DbError.
void insertUser(Database& db, const NewUser& user);

// What became of a change to a user's row. Under the write lock the store finds the row the
// screen loaded (by its stored name) and compares the columns the screen showed; only when they
// are as loaded does it write, and then only what the clerk changed.
enum class Outcome {
    Done,      // written, with its log record
    Changed,   // another desk changed what the screen showed meanwhile: nothing written
    Missing,   // the user is gone (deleted at another desk): nothing written
    SuperUser, // the row is the super user's, which no screen deletes or changes the flags of
};

// Deletes the user of exactly this name, with its log record.
Outcome deleteUser(Tdm_Dbase& dm, const QString& name, const QString& operatorName,
                   const QDateTime& now);

// Sets the flags the clerk changed (ticked differently from the loaded row's), provided every
// flag is still as loaded: a second desk never overwrites flags it did not see. The log names
// the loaded user.
struct PermissionChange {
    UserRow loaded; // the user as the screen showed its flags
    Flags flags{};  // as ticked
};
Outcome changePermissions(Tdm_Dbase& dm, const PermissionChange& change,
                          const QString& operatorName, const QDateTime& now);

// Stores a new password, hashed, for the loaded user, provided its stored password is still the
// one the screen checked the old password against.
struct PasswordChange {
    UserRow loaded; // the row whose password the clerk proved to know
    QString password;
};
Outcome changePassword(Tdm_Dbase& dm, const PasswordChange& change, const QString& operatorName,
                       const QDateTime& now);

} // namespace lms::Users
