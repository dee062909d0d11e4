#pragma once

#include <QList>
#include <QString>

namespace lms::crash {

// One column an operation is about to write: as the clerk's screen loaded it (kNotShown when
// the screen showed a proposal in its place) and as the clerk set it, both in the stored form
// (moments as stored text, numbers in decimals).
struct ColumnChange {
    static inline const QString kNotShown = QStringLiteral("(not shown)");
    QString column;
    QString loaded;
    QString stored;
    bool operator==(const ColumnChange&) const = default;
};

// What a clerk process saw, one line per happening, each on disk (synced) before the clerk goes
// on: what it was about to write, the operations it saw committed, the database failures it was
// shown, its reconnections. It outlives the clerk's SIGKILL, so the harness can hold the database
// to it.
struct JournalEntry {
    enum class Kind { Intent, Done, DatabaseError, Reconnected, Unreadable };
    Kind kind = Kind::Done;
    QString event;  // the operation's log event (Done, DatabaseError)
    QString moment; // the operation's moment as stored
    // DatabaseError: "lost" when the connection had failed, else "alive"; Reconnected: "stayed
    // broken" or "recovered" for the old connection once the server was back.
    QString state;
    QString detail; // DatabaseError: the statement the operation ran last; Unreadable: the line
    QString row;    // Intent: the id of the reader or book written
    QList<ColumnChange> changes; // Intent: the columns the clerk changed
};

class ClerkJournal {
public:
    explicit ClerkJournal(const QString& path) : path_(path) {}

    // Written before the button is pressed, so a clerk killed after its commit has left it.
    void intent(const QString& event, const QString& moment, const QString& row,
                const QList<ColumnChange>& changes);
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
