#include "readers/IdleExtension.h"

#include "core/DateRules.h"
#include "readers/ReaderDomains.h"

namespace lms::Readers {

bool extendsWhileIdle(int stateIndex, int booksOut, bool autoExtendValidity) {
    if (booksOut != 0)
        return false;
    switch (stateIndex) {
    case AutoExtended:
    case Suspended:
        return true;
    case NormalUse:
    case LostStopped:
        return autoExtendValidity;
    default:
        return false;
    }
}

ShownValidity withIdleExtension(const QDateTime& storedValidity, int stateIndex, int booksOut,
                                const QDateTime& stateSince, bool autoExtendValidity,
                                const QDateTime& now) {
    if (!extendsWhileIdle(stateIndex, booksOut, autoExtendValidity))
        return {storedValidity, 0};
    const qint64 days = Dates::daysBetween(stateSince, now);
    return {Dates::plusDays(storedValidity, days), days};
}

} // namespace lms::Readers
