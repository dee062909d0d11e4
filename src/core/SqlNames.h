#pragma once

#include <QString>

namespace lms {

// A table or column name of the program's own in double quotes (a quote inside doubled), for
// the statements that cannot bind a name. Never typed text.
inline QString quotedName(QString name) {
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

} // namespace lms
