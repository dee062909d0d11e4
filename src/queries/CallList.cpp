#include "queries/CallList.h"

#include "core/Database.h"
#include "core/pubdata.h"
#include "readers/IdleExtension.h"
#include "readers/ReaderDomains.h"

#include <algorithm>

namespace lms::CallList {

namespace {

// A list's statement in parts, so that its count takes the very same rows.
struct Parts {
    QString columns;
    QString fromWhere;
    QString order;
    QVariantList params;
};

Parts overdueParts(const QDateTime& now) {
    return {
        QStringLiteral("select 借出图书.读者编号 as 读者编号, "
                       "coalesce(读者.读者姓名, 借出图书.读者姓名) as 读者姓名, 读者.电话 as 电话, "
                       "借出图书.图书编号 as 图书编号, 借出图书.图书名称 as 图书名称, "
                       "借出图书.借出日期 as 借出日期, 借出图书.最晚归还日期 as 最晚归还日期 "),
        QStringLiteral("from 借出图书 left join 读者 on 读者.读者编号 = 借出图书.读者编号 "
                       "where 借出图书.最晚归还日期 < ? and 借出图书.最晚归还日期 <> '' "),
        QStringLiteral("order by 借出图书.最晚归还日期, 借出图书.读者编号, 借出图书.图书编号"),
        {midnightAfter(now, 0)}};
}

Parts expiringParts(const QDateTime& now, const PubData& pub) {
    Parts parts{QStringLiteral("select 读者编号, 读者姓名, 电话, 读者类型, 借阅有效期, 未还数量, "
                               "当前状态 "),
                QStringLiteral("from 读者 where 读者类型 <> ? and 借阅有效期 < ? and "
                               "借阅有效期 <> '' and (未还数量 > 0 or (借阅有效期 >= ?"),
                QStringLiteral("order by 借阅有效期, 读者编号"),
                {Readers::types().at(Readers::Daily),
                 midnightAfter(now, std::max(pub.ExpiryReminderDays, 0)), midnightAfter(now, 0)}};
    // The states in which a reader holding nothing keeps the validity from running down.
    QStringList idleStates;
    for (int state = 0; state < static_cast<int>(Readers::states().size()); ++state) {
        if (Readers::extendsWhileIdle(state, 0, pub.AutoExtendValidity)) {
            idleStates << QStringLiteral("?");
            parts.params << Readers::states().at(state);
        }
    }
    if (!idleStates.isEmpty())
        parts.fromWhere += QStringLiteral(" and coalesce(当前状态, '') not in (") +
                           idleStates.join(QStringLiteral(", ")) + QStringLiteral(")");
    parts.fromWhere += QStringLiteral(")) ");
    return parts;
}

Statement listing(const Parts& parts) {
    return {parts.columns + parts.fromWhere + parts.order, parts.params};
}

qint64 rows(Database& db, const Parts& parts) {
    return db.scalar(QStringLiteral("select count(*) ") + parts.fromWhere, parts.params)
        .toLongLong();
}

} // namespace

QString midnightAfter(const QDateTime& now, qint64 days) {
    return now.date().addDays(days).toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(" 00:00:00.000");
}

Statement overdueLoans(const QDateTime& now) {
    return listing(overdueParts(now));
}

Statement expiringReaders(const QDateTime& now, const PubData& pub) {
    return listing(expiringParts(now, pub));
}

Counts count(Database& db, const QDateTime& now, const PubData& pub) {
    return {rows(db, overdueParts(now)), rows(db, expiringParts(now, pub))};
}

QString notice(const Counts& counts) {
    return QStringLiteral("今日：超期未还 %1 本，即将到期读者 %2 人")
        .arg(counts.overdueLoans)
        .arg(counts.expiringReaders);
}

} // namespace lms::CallList
