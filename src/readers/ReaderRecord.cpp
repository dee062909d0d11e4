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

bool sameHandColumns(const ReaderRecord& a, const ReaderRecord& b) {
    return a.name == b.name && a.type == b.type && a.sex == b.sex && a.phone == b.phone &&
           a.idNumber == b.idNumber && a.remark == b.remark && a.maxBooks == b.maxBooks &&
           a.maxDays == b.maxDays && a.validityStored == b.validityStored && a.state == b.state;
}

} // namespace lms::Readers
