#include "HarnessDoubles.h"

#include "core/Messages.h"

namespace lms::crash {

bool YesPrompter::showBox(Icon, Buttons, const QString& text) {
    lastText_ = text;
    if (text == Messages::databaseError())
        databaseError_ = true;
    return true;
}

bool YesPrompter::takeDatabaseError() {
    const bool was = databaseError_;
    databaseError_ = false;
    return was;
}

} // namespace lms::crash
