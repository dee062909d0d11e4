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
void addUser(Tdm_Dbase& dm, const NewUser& user, const QString& operatorName, const QDateTime& now);
// The row alone, without a log record (a new shop's super user). Throws DbError.
void insertUser(Database& db, const NewUser& user);

// Deletes the user of exactly this name; the super user stays whatever the name. The log records
// the name either way.
void deleteUser(Tdm_Dbase& dm, const QString& name, const QString& operatorName,
                const QDateTime& now);

// Sets all flags of the user the name stands for (as findUser finds it); the log names the user
// as given. False, with nothing written, when the name stands for no user or for the super user,
// whose flags never change here.
struct PermissionChange {
    QString name;
    Flags flags{};
};
bool changePermissions(Tdm_Dbase& dm, const PermissionChange& change, const QString& operatorName,
                       const QDateTime& now);

// Stores a new password, hashed, for the user of exactly this (stored) name.
struct PasswordChange {
    QString name;
    QString password;
};
void changePassword(Tdm_Dbase& dm, const PasswordChange& change, const QString& operatorName,
                    const QDateTime& now);

} // namespace lms::Users
