#pragma once

#include <QDateTime>

namespace lms {

// Where "now" comes from: the system's local time in the program, a set time in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace lms
