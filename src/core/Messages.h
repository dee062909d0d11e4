#pragma once

#include <QString>

namespace lms::Messages {

// The one message of every screen for a failed database operation.
inline QString databaseError() {
    return QStringLiteral("连接数据库出错!");
}

} // namespace lms::Messages
