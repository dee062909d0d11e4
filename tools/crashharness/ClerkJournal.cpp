#include "ClerkJournal.h"

#include <QFile>
#include <QStringList>
#include <unistd.h>

namespace lms::crash {

namespace {

const QString kIntent = QStringLiteral("intent");
const QString kDone = QStringLiteral("done");
const QString kDatabaseError = QStringLiteral("dberror");
const QString kReconnected = QStringLiteral("reconnected");

// Fields never hold a tab or a line break: statements are flattened before they are written.
QString flat(QString text) {
    return text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), ' ');
}

} // namespace

void ClerkJournal::append(const QStringList& fields) {
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        qFatal("cannot write the clerk's journal %s", qPrintable(path_));
    QStringList flattened;
    for (const QString& field : fields)
        flattened << flat(field);
    file.write((flattened.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8());
    file.flush();
    // On disk before the clerk reports or does anything further.
    ::fsync(file.handle());
}

void ClerkJournal::intent(const QString& event, const QString& moment, const QString& row,
                          const QList<ColumnChange>& changes) {
    QStringList fields{kIntent, event, moment, row};
    for (const ColumnChange& c : changes)
        fields << c.column << c.loaded << c.stored;
    append(fields);
}

void ClerkJournal::done(const QString& event, const QString& moment) {
    append({kDone, event, moment});
}

void ClerkJournal::databaseError(const QString& event, const QString& moment, bool connectionLost,
                                 const QString& lastStatement) {
    append({kDatabaseError, event, moment,
            connectionLost ? QStringLiteral("lost") : QStringLiteral("alive"), lastStatement});
}

void ClerkJournal::reconnected(bool oldConnectionRecovered) {
    append(
        {kReconnected, QString(), QString(),
         oldConnectionRecovered ? QStringLiteral("recovered") : QStringLiteral("stayed broken")});
}

QList<JournalEntry> readJournal(const QString& path) {
    QList<JournalEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The last piece follows the last line break: empty, or a line the kill cut short.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QStringList f = QString::fromUtf8(lines[i]).split(QLatin1Char('\t'));
        JournalEntry entry{.event = f.value(1),
                           .moment = f.value(2),
                           .state = f.value(3),
                           .detail = f.value(4),
                           .row = {},
                           .changes = {}};
        if (f.value(0) == kIntent && f.size() >= 4 && (f.size() - 4) % 3 == 0) {
            entry.kind = JournalEntry::Kind::Intent;
            entry.state.clear();
            entry.detail.clear();
            entry.row = f.value(3);
            for (qsizetype c = 4; c + 2 < f.size(); c += 3)
                entry.changes << ColumnChange{f[c], f[c + 1], f[c + 2]};
        } else if (f.value(0) == kDone && f.size() == 3) {
            entry.kind = JournalEntry::Kind::Done;
        } else if (f.value(0) == kDatabaseError && f.size() == 5) {
            entry.kind = JournalEntry::Kind::DatabaseError;
        } else if (f.value(0) == kReconnected && f.size() == 4) {
            entry.kind = JournalEntry::Kind::Reconnected;
        } else {
            entry.kind = JournalEntry::Kind::Unreadable;
            entry.detail = QString::fromUtf8(lines[i]);
        }
        entries << entry;
    }
    return entries;
}

} // namespace lms::crash
