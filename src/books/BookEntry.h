#pragma once

#include <QString>
#include <optional>

namespace lms::Books {

// The values of a new book that registration requires before it looks the id up, and the one a
// refusal is about (the field the registration screen puts the focus in).
enum class EntryField { Id, Title, Price };
struct EntryProblem {
    EntryField field;
    QString message;
};

// The first rule a new book breaks, in registration's order: an id (already trimmed) that fits
// `idMaxBytes` bytes of GBK text (no limit at 0 or less), a title, a price, a price that is a
// number. Nothing when the book keeps them all. Shared by registration and the import of books.
std::optional<EntryProblem> checkEntry(const QString& id, int idMaxBytes, const QString& title,
                                       const QString& price);

} // namespace lms::Books
