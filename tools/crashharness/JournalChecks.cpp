#include "JournalChecks.h"

#include "core/Database.h"

#include <QHash>

namespace lms::crash {

namespace {

int deskOf(const QString& moment) {
    return QStringView(moment).right(3).toInt();
}

QString clerkName(const ClerkRecord& clerk) {
    return QStringLiteral("clerk %1 (desk %2)").arg(clerk.process).arg(clerk.desk);
}

} // namespace

QStringList checkJournals(Database& db, const QList<ClerkRecord>& clerks, bool serverRestarted,
                          JournalTally* tally) {
    QStringList failures;
    // Moments are unique (the shop checks say so otherwise): each names one operation.
    QHash<QString, QString> eventAt;
    Query logs(db, QStringLiteral("SELECT 时间, 事件 FROM 日志"));
    while (logs.next())
        eventAt.insert(logs.text(0), logs.text(1));

    QHash<QString, QString> accounted; // moment → event of an operation some clerk reported
    QHash<int, int> processesAtDesk;
    JournalTally sum;
    for (const ClerkRecord& clerk : clerks) {
        ++processesAtDesk[clerk.desk];
        for (const JournalEntry& e : clerk.entries) {
            const QString where = clerkName(clerk) + QStringLiteral(": ");
            switch (e.kind) {
            case JournalEntry::Kind::Intent:
                break;
            case JournalEntry::Kind::Done:
                ++sum.done;
                accounted.insert(e.moment, e.event);
                if (eventAt.value(e.moment) != e.event)
                    failures << where + QStringLiteral("%1 at %2 was committed but is not stored")
                                            .arg(e.event, e.moment);
                break;
            case JournalEntry::Kind::DatabaseError:
                if (e.state != QStringLiteral("lost")) {
                    failures << where + QStringLiteral("shown 连接数据库出错! in %1 at %2 while "
                                                       "its connection worked (%3 stored; last "
                                                       "statement: %4)")
                                            .arg(e.event, e.moment,
                                                 eventAt.value(e.moment) == e.event
                                                     ? QStringLiteral("but")
                                                     : QStringLiteral("not"),
                                                 e.detail);
                    break;
                }
                ++sum.connectionLost;
                if (!serverRestarted)
                    failures << where + QStringLiteral("lost its connection in %1 at %2 though "
                                                       "the server ran throughout")
                                            .arg(e.event, e.moment);
                // Committed or not: the answer to its commit may have been lost.
                if (!e.event.isEmpty())
                    accounted.insert(e.moment, e.event);
                break;
            case JournalEntry::Kind::Reconnected:
                ++sum.reconnected;
                sum.recoveredByItself += e.state == QStringLiteral("recovered") ? 1 : 0;
                break;
            case JournalEntry::Kind::Unreadable:
                failures << where + QStringLiteral("unreadable journal line: ") + e.detail;
                break;
            }
        }
    }

    QHash<int, int> unreported;
    for (auto it = eventAt.cbegin(); it != eventAt.cend(); ++it) {
        const int desk = deskOf(it.key());
        if (desk != 0 && accounted.value(it.key()) != it.value())
            ++unreported[desk];
    }
    for (auto it = unreported.cbegin(); it != unreported.cend(); ++it)
        if (it.value() > processesAtDesk.value(it.key()))
            failures << QStringLiteral("desk %1: %2 operations stored that no clerk reported, "
                                       "more than its %3 killed clerk processes")
                            .arg(it.key())
                            .arg(it.value())
                            .arg(processesAtDesk.value(it.key()));
    if (tally)
        *tally = sum;
    return failures;
}

} // namespace lms::crash
