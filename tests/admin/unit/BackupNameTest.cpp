// The backup file name formed from the clock and the regional date separator.
#include "admin/DataBackup.h"
#include "support/Moments.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

struct NameCase {
    const char* separator;
    const char* expected;
};

TEST(BackupName, UsesTheDateSeparatorUnlessAFileNameCannotHoldIt) {
    const QDateTime moment = at(2026, 3, 7, 14, 5, 9);
    const NameCase cases[] = {
        {"-", "2026-03-07 14-05-09buckup.zqd"},    {".", "2026.03.07 14-05-09buckup.zqd"},
        {"/", "2026-03-07 14-05-09buckup.zqd"},    {"\\", "2026-03-07 14-05-09buckup.zqd"},
        {":", "2026-03-07 14-05-09buckup.zqd"},    {"", "2026-03-07 14-05-09buckup.zqd"},
        {"*", "2026-03-07 14-05-09buckup.zqd"},    {"\t", "2026-03-07 14-05-09buckup.zqd"},
        {"年", "2026年03年07 14-05-09buckup.zqd"}, {" ", "2026 03 07 14-05-09buckup.zqd"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(DataBackup::backupFileName(moment, QString::fromUtf8(c.separator)),
                  QString::fromUtf8(c.expected))
            << c.separator;
}

TEST(BackupName, HoursRunFrom0To23AndEveryFieldHasTwoDigits) {
    EXPECT_EQ(DataBackup::backupFileName(at(2027, 12, 31, 23, 59, 59), QStringLiteral("-")),
              QStringLiteral("2027-12-31 23-59-59buckup.zqd"));
    EXPECT_EQ(DataBackup::backupFileName(at(2026, 1, 2, 0, 0, 0), QStringLiteral("/")),
              QStringLiteral("2026-01-02 00-00-00buckup.zqd"));
}

} // namespace
} // namespace lms
