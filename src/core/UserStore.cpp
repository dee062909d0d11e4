#include "core/UserStore.h"

#include "core/Database.h"
#include "core/Passwords.h"
#include "core/Tdm_Dbase.h"

namespace lms::Users {

namespace {

// The columns of the flags, 功能1 to 功能23: the only column names a user statement is built from.
constexpr std::array<const char*, kPermissionCount> kFlagColumns = {
    "功能1",  "功能2",  "功能3",  "功能4",  "功能5",  "功能6",  "功能7",  "功能8",
    "功能9",  "功能10", "功能11", "功能12", "功能13", "功能14", "功能15", "功能16",
    "功能17", "功能18", "功能19", "功能20", "功能21", "功能22", "功能23"};

// "功能1<suffix>, 功能2<suffix>, …".
QString flagColumns(const char* suffix = "") {
    QStringList parts;
    for (const char* column : kFlagColumns)
        parts << QString::fromUtf8(column) + QString::fromUtf8(suffix);
    return parts.join(QStringLiteral(", "));
}

// The order users are listed in, the order of creation: the one place that knows how the engine
// keeps it.
QString inCreationOrder() {
    return QStringLiteral(" ORDER BY rowid");
}

// The query of the super user's name: the first user created.
QString superUserQuery() {
    return QStringLiteral("SELECT 用户名 FROM 管理员") + inCreationOrder() +
           QStringLiteral(" LIMIT 1");
}

// The columns of a UserRow, read by userRow.
QString rowColumns() {
    return QStringLiteral("用户名, 密码, ") + flagColumns();
}

UserRow userRow(const Query& query) {
    UserRow row{.name = query.text(0), .passwordHash = query.text(1)};
    for (std::size_t i = 0; i < row.flags.size(); ++i)
        row.flags[i] = query.integer(static_cast<int>(i) + 2) != 0;
    return row;
}

QVariantList flagValues(const Flags& flags) {
    QVariantList values;
    for (const bool set : flags)
        values << (set ? 1 : 0);
    return values;
}

// The name as stored that a chosen or typed name stands for (see findUser).
std::optional<QString> storedName(Database& db, const QString& name) {
    std::optional<QString> caseless;
    for (const QString& stored : names(db)) {
        if (stored == name)
            return stored;
        // An exact name wins over one that differs only in letter case.
        if (!caseless && stored.compare(name, Qt::CaseInsensitive) == 0)
            caseless = stored;
    }
    return caseless;
}

bool isSuperUser(Database& db, const QString& storedName) {
    return db.scalar(superUserQuery()).toString() == storedName;
}

} // namespace

QStringList names(Database& db) {
    Query query(db, QStringLiteral("SELECT 用户名 FROM 管理员") + inCreationOrder());
    QStringList result;
    while (query.next())
        result << query.text(0);
    return result;
}

bool exists(Database& db, const QString& name) {
    return db.scalar(QStringLiteral("SELECT 1 FROM 管理员 WHERE 用户名 = ?"), {name}).isValid();
}

QList<UserRow> loadUsers(Database& db) {
    Query query(db, QStringLiteral("SELECT %1 FROM 管理员").arg(rowColumns()) + inCreationOrder());
    QList<UserRow> users;
    while (query.next())
        users << userRow(query);
    return users;
}

std::optional<UserRow> loadUser(Database& db, const QString& name) {
    Query query(db, QStringLiteral("SELECT %1 FROM 管理员 WHERE 用户名 = ?").arg(rowColumns()));
    query.bind(1, name);
    if (!query.next())
        return std::nullopt;
    return userRow(query);
}

std::optional<UserRow> findUser(Database& db, const QString& name) {
    const std::optional<QString> stored = storedName(db, name);
    return stored ? loadUser(db, *stored) : std::nullopt;
}

void insertUser(Database& db, const NewUser& user) {
    QString marks = QStringLiteral("?, ?, ?");
    for (std::size_t i = 0; i < kFlagColumns.size(); ++i)
        marks += QStringLiteral(", ?");
    Query(db, QStringLiteral("INSERT INTO 管理员 (用户名, 密码, 备注, %1) VALUES (%2)")
                  .arg(flagColumns(), marks))
        .bindAll(QVariantList{user.name, Passwords::hash(user.password), user.remark} +
                 flagValues(user.flags))
        .exec();
}

bool addUser(Tdm_Dbase& dm, const NewUser& user, const QString& operatorName,
             const QDateTime& now) {
    Database& db = dm.db();
    Transaction transaction(db);
    if (exists(db, user.name))
        return false;
    insertUser(db, user);
    dm.appendLog(QStringLiteral("添加系统用户"), operatorName, now,
                 QStringLiteral("用户：") + user.name + QStringLiteral("  备注：") + user.remark);
    transaction.commit();
    return true;
}

Outcome deleteUser(Tdm_Dbase& dm, const QString& name, const QString& operatorName,
                   const QDateTime& now) {
    Database& db = dm.db();
    Transaction transaction(db);
    if (!exists(db, name))
        return Outcome::Missing;
    if (isSuperUser(db, name))
        return Outcome::SuperUser;
    Query(db, QStringLiteral("DELETE FROM 管理员 WHERE 用户名 = ?")).bind(1, name).exec();
    dm.appendLog(QStringLiteral("删除系统用户"), operatorName, now,
                 QStringLiteral("被删除的用户：") + name);
    transaction.commit();
    return Outcome::Done;
}

Outcome changePermissions(Tdm_Dbase& dm, const PermissionChange& change,
                          const QString& operatorName, const QDateTime& now) {
    Database& db = dm.db();
    Transaction transaction(db);
    const std::optional<UserRow> stored = loadUser(db, change.loaded.name);
    if (!stored)
        return Outcome::Missing;
    if (isSuperUser(db, stored->name))
        return Outcome::SuperUser;
    if (stored->flags != change.loaded.flags)
        return Outcome::Changed;
    QStringList assignments;
    QVariantList values;
    for (std::size_t i = 0; i < kFlagColumns.size(); ++i) {
        if (change.flags[i] == stored->flags[i])
            continue;
        assignments << QString::fromUtf8(kFlagColumns[i]) + QStringLiteral(" = ?");
        values << (change.flags[i] ? 1 : 0);
    }
    if (!assignments.isEmpty())
        Query(db, QStringLiteral("UPDATE 管理员 SET %1 WHERE 用户名 = ?")
                      .arg(assignments.join(QStringLiteral(", "))))
            .bindAll(values << stored->name)
            .exec();
    dm.appendLog(QStringLiteral("更改用户权限"), operatorName, now,
                 QStringLiteral("被更改权限用户：") + stored->name);
    transaction.commit();
    return Outcome::Done;
}

Outcome changePassword(Tdm_Dbase& dm, const PasswordChange& change, const QString& operatorName,
                       const QDateTime& now) {
    // The slow hash is made before the write lock is taken.
    const QString hashed = Passwords::hash(change.password);
    Database& db = dm.db();
    Transaction transaction(db);
    const std::optional<UserRow> stored = loadUser(db, change.loaded.name);
    if (!stored)
        return Outcome::Missing;
    if (stored->passwordHash != change.loaded.passwordHash)
        return Outcome::Changed;
    Query(db, QStringLiteral("UPDATE 管理员 SET 密码 = ? WHERE 用户名 = ?"))
        .bindAll({hashed, stored->name})
        .exec();
    dm.appendLog(QStringLiteral("更改用户密码"), operatorName, now,
                 QStringLiteral("被更改密码的用户：") + stored->name);
    transaction.commit();
    return Outcome::Done;
}

} // namespace lms::Users
