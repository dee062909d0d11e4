#pragma once

#include "core/form/IdField.h"
#include "readers/ReaderRecord.h"

#include <QString>

namespace lms {
class FormModel;
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

// Puts a reader's row into the screen's fields of the usual names, in the order the lookups
// fill them: tzxm, tzrx, xp, df, zjhm, the remark field, tssn, tssj, whsn, jyzj, tzzt, tzztszq,
// khrq, yj. Fields the screen does not have are skipped; lists take the stored item or none.
// The validity is left to the caller, which applies the idle-time extension.
void showReader(FormModel& screen, const ReaderRecord& reader, const QString& remarkField);

} // namespace lms::Readers
