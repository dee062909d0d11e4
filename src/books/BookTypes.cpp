#include "books/BookTypes.h"

#include "core/Database.h"
#include "core/Tdm_Dbase.h"

namespace lms::Books {

QStringList loadBookTypes(Database& db) {
    QStringList names;
    Query query(db, QStringLiteral("SELECT 图书类型名称 FROM 图书类型 ORDER BY rowid"));
    while (query.next())
        names << query.text(0);
    return names;
}

bool bookTypeExists(Database& db, const QString& name) {
    return db.scalar(QStringLiteral("SELECT 1 FROM 图书类型 WHERE 图书类型名称 = ?"), {name})
        .isValid();
}

bool addBookType(Tdm_Dbase& dm, const QString& name, const QString& user, const QDateTime& now) {
    Database& db = dm.db();
    Transaction transaction(db);
    if (bookTypeExists(db, name))
        return false;
    Query(db, QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES (?)"))
        .bind(1, name)
        .exec();
    dm.appendLog(QStringLiteral("添加新图书类型"), user, now,
                 QStringLiteral("图书类型名称：") + name);
    transaction.commit();
    return true;
}

bool deleteBookType(Tdm_Dbase& dm, const QString& name, const QString& user, const QDateTime& now) {
    Database& db = dm.db();
    Transaction transaction(db);
    if (Query(db, QStringLiteral("DELETE FROM 图书类型 WHERE 图书类型名称 = ?"))
            .bind(1, name)
            .execCounted() == 0)
        return false;
    dm.appendLog(QStringLiteral("删除图书类型"), user, now,
                 QStringLiteral("被删除的图书类型：") + name);
    transaction.commit();
    return true;
}

} // namespace lms::Books
