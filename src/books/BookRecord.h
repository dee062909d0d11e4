#pragma once

#include "core/form/IdField.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace lms {
class Database;
class FormModel;
class Prompter;
class Tdm_Dbase;
} // namespace lms

namespace lms::Books {

// One row of 图书 as the screens read it.
struct BookRecord {
    QString id;
    QString type;
    QString title;
    QString author;
    QString attachments;
    QString price; // the stored text
    QString remark;
    QString state;
    QDateTime stateSince;
    QDateTime enteredAt;
    int timesLent = 0;

    // List index of the stored state; -1 for a text not among the items.
    int stateIndex() const;
};

// Reads the book with exactly this id; nothing when there is none. Throws DbError on a database
// failure and on a stored date that cannot be read.
std::optional<BookRecord> loadBook(Database& db, const QString& id);

struct BookLookup {
    LookupOutcome outcome = LookupOutcome::NotFound;
    BookRecord book; // filled when found
    bool found() const { return outcome == LookupOutcome::Found; }
};

// The lookup every book screen starts with ("<<" and a full id): reads the book with this
// (already trimmed) id and shows the not-found error or the database error itself.
BookLookup lookUpBook(Tdm_Dbase& dm, Prompter& prompter, const QString& id);

// Puts a book's row into the screen's fields of the usual names, in the order the lookups fill
// them: tsmz, tsrx, tszz, tsjg, tsfj, tsbz, nnsj, tszt, tsztszq, tszjcs. Fields the screen does
// not have are skipped; lists take the stored item or none.
void showBook(FormModel& screen, const BookRecord& book);

} // namespace lms::Books
