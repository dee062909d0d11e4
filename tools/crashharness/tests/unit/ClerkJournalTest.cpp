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
    const QList<ColumnChange> changes = {
        {QStringLiteral("读者姓名"), QStringLiteral("张伟"), QStringLiteral("王芳")},
        {QStringLiteral("电话"), QString(), QStringLiteral("13900001111")}};
    journal.intent(QStringLiteral("更改读者信息"), QStringLiteral("2026-03-14 11:30:00.003"),
                   QStringLiteral("R0001"), changes);
    journal.intent(QStringLiteral("更改图书信息"), QStringLiteral("2026-03-14 11:40:00.003"),
                   QStringLiteral("B0001"), {});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("what\n");
    file.write("done\t读者归书");
    file.close();

    const QList<JournalEntry> entries = readJournal(path);
    ASSERT_EQ(entries.size(), 6);
    EXPECT_EQ(entries[0].kind, JournalEntry::Kind::Done);
    EXPECT_EQ(entries[0].event, QStringLiteral("读者借书"));
    EXPECT_EQ(entries[0].moment, QStringLiteral("2026-03-14 10:30:00.003"));
    EXPECT_EQ(entries[1].kind, JournalEntry::Kind::DatabaseError);
    EXPECT_EQ(entries[1].state, QStringLiteral("lost"));
    EXPECT_EQ(entries[1].detail, QStringLiteral("UPDATE 读者 SET 押金"));
    EXPECT_EQ(entries[2].kind, JournalEntry::Kind::Reconnected);
    EXPECT_EQ(entries[2].state, QStringLiteral("stayed broken"));
    EXPECT_EQ(entries[3].kind, JournalEntry::Kind::Intent);
    EXPECT_EQ(entries[3].event, QStringLiteral("更改读者信息"));
    EXPECT_EQ(entries[3].moment, QStringLiteral("2026-03-14 11:30:00.003"));
    EXPECT_EQ(entries[3].row, QStringLiteral("R0001"));
    EXPECT_EQ(entries[3].changes, changes);
    EXPECT_EQ(entries[4].kind, JournalEntry::Kind::Intent);
    EXPECT_EQ(entries[4].row, QStringLiteral("B0001"));
    EXPECT_TRUE(entries[4].changes.isEmpty());
    EXPECT_EQ(entries[5].kind, JournalEntry::Kind::Unreadable);
    EXPECT_EQ(entries[5].detail, QStringLiteral("what"));
}

} // namespace
} // namespace lms::crash
