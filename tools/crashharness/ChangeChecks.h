#pragma once

#include "ClerkJournal.h"

#include <QHash>
#include <QStringList>

namespace lms {
class Database;
}

namespace lms::crash {

// What the clerks' journals say each operation was about to write, by the operation's moment.
using Intents = QHash<QString, JournalEntry>;
Intents intentsIn(const QList<QList<JournalEntry>>& journals);

// Follows, in log order, the columns clerks change by hand (a reader's name, phone, type,
// limits, validity and state; a book's title and remark) through the clerks' intents, and holds
// every committed change to the rule that it was made on the row as it stood: a column written
// over a value the screen had not loaded, a renewal taken back, a card lending after it was
// stopped, a book's "已借出" set or left by hand are failures. A column no journal tells of is
// not followed.
class ChangeReplay {
public:
    explicit ChangeReplay(const Intents& intents) : intents_(intents) {}

    void readerAdded(const QString& id, const QString& name, const QString& type);
    void bookAdded(const QString& id, const QString& title);
    void readerGone(const QString& id) { readers_.remove(id); }
    void bookGone(const QString& id) { books_.remove(id); }

    // A reader change or payment logged at `moment`; the reader holds `booksOut` books.
    void readerWritten(const QString& event, const QString& moment, const QString& id, int booksOut,
                       const QString& where, QStringList& failures);
    // A book change logged at `moment`: `state` is the book's replayed state, set anew when the
    // change set one; `lent` whether a loan of the book is open.
    void bookChanged(const QString& moment, const QString& id, bool lent, QString& state,
                     const QString& where, QStringList& failures);
    // What a loan to `reader` breaks: the state that forbids it and the change that set it, or
    // empty.
    QString lendRefusedBy(const QString& reader) const;

    // The stored readers and books hold what the changes replayed imply.
    void compareStored(Database& db, QStringList& failures) const;

private:
    struct Known {
        QString value;
        QString setBy; // the event and moment that wrote it
    };
    using Columns = QHash<QString, Known>;

    const JournalEntry* intentAt(const QString& event, const QString& moment, const QString& id,
                                 const QString& where, QStringList& failures) const;
    static void apply(Columns& row, const JournalEntry& intent, const QString& kind,
                      const QString& where, QStringList& failures);
    static void compareRow(const QString& kind, const QString& id, const Columns& row,
                           const QHash<QString, QString>& stored, QStringList& failures);

    Intents intents_;
    QHash<QString, Columns> readers_;
    QHash<QString, Columns> books_;
};

} // namespace lms::crash
