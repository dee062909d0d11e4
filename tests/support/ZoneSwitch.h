#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <ctime>
#include <optional>

namespace lms::test {

// Sets the process's local time zone (TZ) for the life of the object, then puts back what was.
class ZoneSwitch {
public:
    explicit ZoneSwitch(const char* zone) {
        if (qEnvironmentVariableIsSet("TZ"))
            saved_ = qgetenv("TZ");
        if (zone)
            qputenv("TZ", zone);
        else
            qunsetenv("TZ");
        tzset();
    }
    ~ZoneSwitch() {
        if (saved_)
            qputenv("TZ", *saved_);
        else
            qunsetenv("TZ");
        tzset();
    }
    ZoneSwitch(const ZoneSwitch&) = delete;
    ZoneSwitch& operator=(const ZoneSwitch&) = delete;

private:
    std::optional<QByteArray> saved_;
};

} // namespace lms::test
