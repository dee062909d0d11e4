// Naming the local zone at start: the system's zone when none was chosen, the chosen one kept,
// and local times unchanged by it.
#include "core/LocalTimeZone.h"
#include "support/Moments.h"
#include "support/ZoneSwitch.h"

#include <QDateTime>
#include <QFileInfo>
#include <ctime>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

TEST(LocalTimeZone, TheSystemZoneIsNamedWhenNoneWasChosen) {
    if (!QFileInfo::exists(QStringLiteral("/etc/localtime")))
        GTEST_SKIP() << "no system time zone file";
    test::ZoneSwitch noZone(nullptr);
    const QDateTime moment = at(2026, 7, 1, 12, 0);
    const qint64 before = moment.toSecsSinceEpoch();
    pinLocalTimeZone();
    EXPECT_EQ(qgetenv("TZ"), QByteArray(":/etc/localtime"));
    tzset();
    EXPECT_EQ(at(2026, 7, 1, 12, 0).toSecsSinceEpoch(), before);
}

TEST(LocalTimeZone, AZoneTheUserChoseIsKept) {
    test::ZoneSwitch chosen("Asia/Shanghai");
    pinLocalTimeZone();
    EXPECT_EQ(qgetenv("TZ"), QByteArray("Asia/Shanghai"));
}

} // namespace
} // namespace lms
