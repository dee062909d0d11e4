#pragma once

#include "core/form/IdField.h"
#include "readers/ReaderRecord.h"
#include "readers/ReaderStore.h"

#include <QString>

namespace lms {
class Field;
class Prompter;
class Tdm_Dbase;
} // namespace lms

namespace lms::Readers {

struct ReaderLookup {
    LookupOutcome outcome = LookupOutcome::NotFound;
    ReaderRecord reader; // filled when found
    bool found() const { return outcome == LookupOutcome::Found; }
};

// The lookup every reader screen starts with ("<<" and a full id): reads the reader with this
// (already trimmed) id and shows the not-found error or the database error itself.
ReaderLookup lookUpReader(Tdm_Dbase& dm, Prompter& prompter, const QString& id);

// The deposit as the screens show it: the general form of the stored amount.
QString depositText(const ReaderRecord& reader);

// The fields a screen shows a reader in (their usual names in brackets); a field the screen
// does not have stays null. The validity is not among them: the caller applies the idle-time
// extension to it.
struct ReaderPanel {
    Field* name = nullptr;       // tzxm
    Field* type = nullptr;       // tzrx
    Field* sex = nullptr;        // xp
    Field* phone = nullptr;      // df
    Field* idNumber = nullptr;   // zjhm
    Field* remark = nullptr;     // bz or tzbz
    Field* maxBooks = nullptr;   // tssn
    Field* maxDays = nullptr;    // tssj
    Field* booksOut = nullptr;   // whsn
    Field* loansTotal = nullptr; // jyzj
    Field* state = nullptr;      // tzzt
    Field* stateSince = nullptr; // tzztszq
    Field* openedAt = nullptr;   // khrq
    Field* deposit = nullptr;    // yj
};

// Puts a reader's row into a panel, field by field in the order above; lists take the stored
// item or none.
void showReader(const ReaderPanel& panel, const ReaderRecord& reader);

} // namespace lms::Readers
