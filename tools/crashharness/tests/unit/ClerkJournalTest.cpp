// The clerk's journal reads back what the clerk wrote, whatever a kill cut short.

#include "ClerkJournal.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lms::crash {
namespace {

TEST(ClerkJournalTest, ReadsBackEachEntryAndLeavesOutALineCutShort) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("clerk-3.journal"));
    ClerkJournal journal(path);
    journal.done(QStringLiteral("读者借书"), QStringLiteral("2026-03-14 10:30:00.003"));
    journal.databaseError(QStringLiteral("缴费充值"), QStringLiteral("2026-03-14 11:00:00.003"),
                          true, QStringLiteral("UPDATE 读者\tSET\n押金"));
    journal.reconnected(false);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("what\n");
    file.write("done\t读者归书");
    file.close();

    const QList<JournalEntry> entries = readJournal(path);
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0].kind, JournalEntry::Kind::Done);
    EXPECT_EQ(entries[0].event, QStringLiteral("读者借书"));
    EXPECT_EQ(entries[0].moment, QStringLiteral("2026-03-14 10:30:00.003"));
    EXPECT_EQ(entries[1].kind, JournalEntry::Kind::DatabaseError);
    EXPECT_EQ(entries[1].state, QStringLiteral("lost"));
    EXPECT_EQ(entries[1].detail, QStringLiteral("UPDATE 读者 SET 押金"));
    EXPECT_EQ(entries[2].kind, JournalEntry::Kind::Reconnected);
    EXPECT_EQ(entries[2].state, QStringLiteral("stayed broken"));
    EXPECT_EQ(entries[3].kind, JournalEntry::Kind::Unreadable);
    EXPECT_EQ(entries[3].detail, QStringLiteral("what"));
}

} // namespace
} // namespace lms::crash
