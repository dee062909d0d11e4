#include "books/BookRecord.h"

#include "books/BookStore.h"

#include "books/BookDomains.h"
#include "books/BookMessages.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/FormModel.h"
#include "core/form/Prompter.h"
#include "core/form/StoredValues.h"

#include <utility>
#include <vector>

namespace lms::Books {

int BookRecord::stateIndex() const {
    return static_cast<int>(states().indexOf(state));
}

BookLookup lookUpBook(Tdm_Dbase& dm, Prompter& prompter, const QString& id) {
    BookLookup result;
    try {
        std::optional<BookRecord> book = loadBook(dm.db(), id);
        if (!book) {
            prompter.error(notFoundMessage(id));
            result.outcome = LookupOutcome::NotFound;
            return result;
        }
        result.outcome = LookupOutcome::Found;
        result.book = std::move(*book);
    } catch (const DbError&) {
        prompter.error(Messages::databaseError());
        result.outcome = LookupOutcome::Failed;
    }
    return result;
}

void showBook(const BookPanel& panel, const BookRecord& book) {
    const std::pair<Field*, QVariant> values[] = {
        {panel.title, book.title},
        {panel.type, book.type},
        {panel.author, book.author},
        {panel.price, book.price},
        {panel.attachments, book.attachments},
        {panel.remark, book.remark},
        {panel.enteredAt, book.enteredAt},
        {panel.state, book.state},
        {panel.stateSince, book.stateSince},
        {panel.timesLent, book.timesLent},
    };
    for (const auto& [field, value] : values)
        if (field)
            showStored(*field, value);
}

bool sameHandColumns(const BookRecord& a, const BookRecord& b) {
    return a.type == b.type && a.title == b.title && a.author == b.author &&
           a.attachments == b.attachments && a.price == b.price && a.remark == b.remark &&
           a.state == b.state;
}

} // namespace lms::Books
