#include "readers/ReaderRecord.h"

#include "readers/ReaderDomains.h"

namespace lms::Readers {

int ReaderRecord::typeIndex() const {
    return static_cast<int>(types().indexOf(type));
}

int ReaderRecord::stateIndex() const {
    return static_cast<int>(states().indexOf(state));
}

ShownValidity ReaderRecord::shownValidity(bool autoExtendValidity, const QDateTime& now) const {
    return withIdleExtension(validity, stateIndex(), booksOut, stateSince, autoExtendValidity, now);
}

ShownValidity ReaderRecord::validityOnScreen(bool autoExtendValidity, const QDateTime& now) const {
    if (typeIndex() == Daily)
        return {now, 0};
    return shownValidity(autoExtendValidity, now);
}

} // namespace lms::Readers
