#pragma once

#include "core/form/IdField.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace lms {
class Field;
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

// Whether two reads of a book agree on what clerks set by hand (type, title, author,
// attachments, price, remark and state): a screen's copy is stale once another desk changed any.
bool sameHandColumns(const BookRecord& a, const BookRecord& b);

struct BookLookup {
    LookupOutcome outcome = LookupOutcome::NotFound;
    BookRecord book; // filled when found
    bool found() const { return outcome == LookupOutcome::Found; }
};

// The lookup every book screen starts with ("<<" and a full id): reads the book with this
// (already trimmed) id and shows the not-found error or the database error itself.
BookLookup lookUpBook(Tdm_Dbase& dm, Prompter& prompter, const QString& id);

// The fields a screen shows a book in (their usual names in brackets); a field the screen does
// not have stays null.
struct BookPanel {
    Field* title = nullptr;       // tsmz
    Field* type = nullptr;        // tsrx
    Field* author = nullptr;      // tszz
    Field* price = nullptr;       // tsjg
    Field* attachments = nullptr; // tsfj
    Field* remark = nullptr;      // tsbz
    Field* enteredAt = nullptr;   // nnsj
    Field* state = nullptr;       // tszt
    Field* stateSince = nullptr;  // tsztszq
    Field* timesLent = nullptr;   // tszjcs
};

// Puts a book's row into a panel, field by field in the order above; lists take the stored item
// or none.
void showBook(const BookPanel& panel, const BookRecord& book);

} // namespace lms::Books
