#include "core/LocalTimeZone.h"

#include <QFileInfo>
#include <QtGlobal>

namespace lms {

void pinLocalTimeZone() {
    constexpr char kSystemZone[] = "/etc/localtime";
    // A zone the user chose stays; the system's file is the zone the library would read anyway.
    if (qEnvironmentVariableIsSet("TZ") || !QFileInfo::exists(QLatin1String(kSystemZone)))
        return;
    qputenv("TZ", QByteArray(":") + kSystemZone);
}

} // namespace lms
