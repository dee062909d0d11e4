#pragma once

#include <QList>
#include <QString>

namespace lms::crash {

// What a clerk process saw, one line per happening, each on disk (synced) before the clerk goes
// on: the operations it saw committed, the database failures it was shown, its reconnections.
// It outlives the clerk's SIGKILL, so the harness can hold the database to it.
struct JournalEntry {
    enum class Kind { Done, DatabaseError, Reconnected, Unreadable };
    Kind kind = Kind::Done;
    QString event;  // the operation's log event (Done, DatabaseError)
    QString moment; // the operation's moment as stored
    // DatabaseError: "lost" when the connection had failed, else "alive"; Reconnected: "stayed
    // broken" or "recovered" for the old connection once the server was back.
    QString state;
    QString detail; // DatabaseError: the statement the operation ran last; Unreadable: the line
};

class ClerkJournal {
public:
    explicit ClerkJournal(const QString& path) : path_(path) {}

    void done(const QString& event, const QString& moment);
    void databaseError(const QString& event, const QString& moment, bool connectionLost,
                       const QString& lastStatement);
    void reconnected(bool oldConnectionRecovered);

private:
    void append(const QStringList& fields);

    QString path_;
};

// The entries of one journal; a line cut short by the kill is left out.
QList<JournalEntry> readJournal(const QString& path);

} // namespace lms::crash
