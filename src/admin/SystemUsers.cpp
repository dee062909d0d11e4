#include "admin/SystemUsers.h"

#include "core/Database.h"

namespace lms::SystemUsers {

namespace {

bool isBlank(QChar c) {
    return c.unicode() <= 0x20 || c.isSpace();
}

} // namespace

QStringList names(Database& db) {
    Query query(db, QStringLiteral("SELECT 用户名 FROM 管理员 ORDER BY rowid"));
    QStringList result;
    while (query.next())
        result << query.text(0);
    return result;
}

std::optional<qint64> find(Database& db, const QString& name) {
    Query query(db, QStringLiteral("SELECT rowid, 用户名 FROM 管理员 ORDER BY rowid"));
    std::optional<qint64> caseless;
    while (query.next()) {
        const QString stored = query.text(1);
        if (stored == name)
            return query.integer(0);
        // An exact name wins over one that differs only in letter case.
        if (!caseless && stored.compare(name, Qt::CaseInsensitive) == 0)
            caseless = query.integer(0);
    }
    return caseless;
}

bool isSuperUser(Database& db, qint64 rowid) {
    return db.scalar(QStringLiteral("SELECT min(rowid) FROM 管理员")).toLongLong() == rowid;
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
