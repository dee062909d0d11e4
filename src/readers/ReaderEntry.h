#pragma once

#include <QString>
#include <optional>

namespace lms::Readers {

// The values of a new reader that registration requires before it looks the id up, and the one
// a refusal is about (the field the registration screen puts the focus in).
enum class EntryField { Id, Name };
struct EntryProblem {
    EntryField field;
    QString message;
};

// The first rule a new reader breaks, in registration's order: an id (already trimmed) that fits
// `idMaxBytes` bytes of GBK text (no limit at 0 or less) and a name that is not blank. Nothing
// when the reader keeps them. Shared by registration and the import of readers.
std::optional<EntryProblem> checkEntry(const QString& id, int idMaxBytes, const QString& name);

// "输入费用金额错误！请输入正确的金额。": an amount of a new reader that is not a number the
// ledger can hold.
QString invalidAmountMessage();

} // namespace lms::Readers
