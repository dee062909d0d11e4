// The crash harness's checks find the damage they are there to find, and pass a shop the clerk
// worked through the screens, on either engine.

#include "ClerkJournal.h"
#include "JournalChecks.h"
#include "RandomClerk.h"
#include "ShopChecks.h"

#include "books/BookStore.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/Tdm_Dbase.h"
#include "readers/ReaderStore.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace lms::crash {
namespace {

constexpr int kDesk = 7;
const QString kUser = QStringLiteral("admin");

bool anyContains(const QStringList& lines, const QString& part) {
    for (const QString& line : lines)
        if (line.contains(part))
            return true;
    return false;
}

// A shop the random clerk worked at desk 7, every operation it saw committed journaled as a
// clerk process on a server journals it.
class WorkedShopTest : public ::testing::Test {
protected:
    WorkedShopTest() : journalPath(shop.folder.file(QStringLiteral("clerk-1.journal"))) {
        EXPECT_TRUE(shop.dm->ReadSysSet());
        shop.pub.CurrentUser = kUser;
        RandomClerk clerk(*shop.dm, shop.pub, 11, kDesk);
        ClerkJournal journal(journalPath);
        for (int i = 0; i < 8; ++i)
            if (clerk.registerReader())
                journal.done(QStringLiteral("添加读者"), clerk.lastMoment());
        for (int i = 0; i < 12; ++i)
            if (clerk.registerBook())
                journal.done(QStringLiteral("添加图书"), clerk.lastMoment());
        for (int i = 0; i < 60; ++i) {
            const QString done = clerk.step();
            if (!done.isEmpty())
                journal.done(done, clerk.lastMoment());
        }
        EXPECT_FALSE(clerk.takeDatabaseError());
        entries = readJournal(journalPath);
        latest = Dates::fromStorage(
            shop.dm->db().scalar(QStringLiteral("SELECT max(时间) FROM 日志")).toString());
    }

    QStringList checkJournalsWith(const QList<JournalEntry>& journal, bool restarted = false) {
        return checkJournals(shop.dm->db(), {ClerkRecord{1, kDesk, journal}}, restarted, &tally);
    }
    QString first(const QString& sql) { return shop.dm->db().scalar(sql).toString(); }
    QDateTime later() { return latest.addSecs(3600); }

    // What a deletion that did not look at the stored row wrote: the row gone, its log record
    // and, for a reader, the refund of the given deposit.
    void deleteUnchecked(const QString& table, const QString& id, double refund = 0) {
        const bool reader = table == QStringLiteral("读者");
        Transaction transaction(shop.dm->db());
        Query(shop.dm->db(),
              QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                  .arg(table, reader ? QStringLiteral("读者编号") : QStringLiteral("图书编号")))
            .bind(1, id)
            .exec();
        const QDateTime at = later().addSecs(60); // after any deletion through the store
        if (reader) {
            shop.dm->appendLog(QStringLiteral("删除读者"), kUser, at,
                               QStringLiteral(" 被删除的读者编号：") + id);
            const float back = static_cast<float>(refund);
            shop.dm->appendLedger(QStringLiteral("删除读者退回押金"), kUser, at,
                                  {.total = -back, .deposit = -back},
                                  {.readerId = id, .bookId = QString()});
        } else {
            shop.dm->appendLog(QStringLiteral("删除图书"), kUser, at,
                               QStringLiteral(" 被删除的图书编号：") + id);
        }
        transaction.commit();
    }

    test::ShopDatabase shop;
    QString journalPath;
    QList<JournalEntry> entries;
    QDateTime latest;
    JournalTally tally;
};

TEST_F(WorkedShopTest, AWorkedShopPassesEveryCheck) {
    EXPECT_EQ(checkShop(shop.dm->db()), QStringList());
    EXPECT_EQ(checkJournalsWith(entries), QStringList());
    EXPECT_EQ(tally.done, entries.size());
    EXPECT_GT(tally.done, 40);
}

TEST_F(WorkedShopTest, ALentBookDeletedIsFound) {
    const QString book = first(QStringLiteral("SELECT 图书编号 FROM 借出图书 ORDER BY rowid"));
    ASSERT_FALSE(book.isEmpty());
    EXPECT_EQ(Books::deleteBook(*shop.dm, book, kUser, later()), Books::BookDeletion::Lent);
    EXPECT_EQ(checkShop(shop.dm->db()), QStringList());
    deleteUnchecked(QStringLiteral("图书"), book);
    EXPECT_TRUE(anyContains(checkShop(shop.dm->db()),
                            QStringLiteral("deleted book %1 was lent").arg(book)));
}

TEST_F(WorkedShopTest, AReaderDeletedWithABookOutIsFound) {
    const QString reader = first(QStringLiteral("SELECT 读者编号 FROM 借出图书 ORDER BY rowid"));
    ASSERT_FALSE(reader.isEmpty());
    EXPECT_FALSE(
        Readers::deleteReader(*shop.dm, *Readers::loadReader(shop.dm->db(), reader), kUser, later())
            .deleted);
    EXPECT_EQ(checkShop(shop.dm->db()), QStringList());
    deleteUnchecked(QStringLiteral("读者"), reader,
                    Readers::loadReader(shop.dm->db(), reader)->deposit);
    EXPECT_TRUE(anyContains(checkShop(shop.dm->db()),
                            QStringLiteral("deleted reader %1 held").arg(reader)));
}

// Each ledger record names its operation's reader and book; one naming another reader, or
// another book, is found.
TEST_F(WorkedShopTest, ALedgerRecordNamingAnotherReaderOrBookIsFound) {
    for (const char* column : {"读者编号", "图书编号"}) {
        SCOPED_TRACE(column);
        const QString rowid =
            first(QStringLiteral("SELECT max(rowid) FROM 资金 WHERE 事件 = '读者还书'"));
        ASSERT_FALSE(rowid.isEmpty());
        Query(shop.dm->db(), QStringLiteral("UPDATE 资金 SET %1 = %1 || 'x' WHERE rowid = ?")
                                 .arg(QString::fromUtf8(column)))
            .bind(1, rowid.toLongLong())
            .exec();
        EXPECT_TRUE(anyContains(checkShop(shop.dm->db()),
                                QStringLiteral("ledger record %1 (读者还书").arg(rowid)));
        Query(shop.dm->db(), QStringLiteral("UPDATE 资金 SET %1 = substr(%1, 1, length(%1) - 1) "
                                            "WHERE rowid = ?")
                                 .arg(QString::fromUtf8(column)))
            .bind(1, rowid.toLongLong())
            .exec();
        EXPECT_EQ(checkShop(shop.dm->db()), QStringList());
    }
}

TEST_F(WorkedShopTest, ARefundOtherThanTheDepositIsFound) {
    const QString reader =
        first(QStringLiteral("SELECT 读者编号 FROM 读者 WHERE 未还数量 = 0 ORDER BY rowid"));
    ASSERT_FALSE(reader.isEmpty());
    EXPECT_TRUE(
        Readers::deleteReader(*shop.dm, *Readers::loadReader(shop.dm->db(), reader), kUser, later())
            .deleted);
    EXPECT_EQ(checkShop(shop.dm->db()), QStringList());
    const QString other =
        first(QStringLiteral("SELECT 读者编号 FROM 读者 WHERE 未还数量 = 0 ORDER BY rowid"));
    ASSERT_FALSE(other.isEmpty());
    deleteUnchecked(QStringLiteral("读者"), other,
                    Readers::loadReader(shop.dm->db(), other)->deposit - 5);
    EXPECT_TRUE(anyContains(checkShop(shop.dm->db()),
                            QStringLiteral("deleted reader %1 was refunded").arg(other)));
}

TEST_F(WorkedShopTest, ACommittedOperationNotStoredIsFound) {
    const JournalEntry& lost = entries.at(entries.size() / 2);
    Query(shop.dm->db(), QStringLiteral("DELETE FROM 日志 WHERE 时间 = ?"))
        .bind(1, lost.moment)
        .exec();
    EXPECT_EQ(checkJournalsWith(entries),
              QStringList{QStringLiteral("clerk 1 (desk 7): %1 at %2 was committed but is not "
                                         "stored")
                              .arg(lost.event, lost.moment)});
}

TEST_F(WorkedShopTest, OneOperationUnreportedPerKilledClerkIsAllowed) {
    EXPECT_EQ(checkJournalsWith(entries.mid(0, entries.size() - 1)), QStringList());
    EXPECT_EQ(checkJournalsWith(entries.mid(0, entries.size() - 2)),
              QStringList{QStringLiteral("desk 7: 2 operations stored that no clerk reported, "
                                         "more than its 1 killed clerk processes")});
}

TEST_F(WorkedShopTest, AnErrorShownOnAWorkingConnectionIsAFailure) {
    QList<JournalEntry> journal = entries;
    journal << JournalEntry{.kind = JournalEntry::Kind::DatabaseError,
                            .event = QStringLiteral("读者借书"),
                            .moment = Dates::toStorage(later()),
                            .state = QStringLiteral("alive"),
                            .detail = QStringLiteral("UPDATE 读者"),
                            .row = {},
                            .changes = {}};
    EXPECT_TRUE(anyContains(checkJournalsWith(journal, true),
                            QStringLiteral("while its connection worked (not stored")));
}

TEST_F(WorkedShopTest, AConnectionLostWithItsCommitUnansweredNeedsARestart) {
    // The last operation's answer never came: journaled as a failure, yet stored.
    QList<JournalEntry> journal = entries.mid(0, entries.size() - 1);
    journal << JournalEntry{.kind = JournalEntry::Kind::DatabaseError,
                            .event = entries.last().event,
                            .moment = entries.last().moment,
                            .state = QStringLiteral("lost"),
                            .detail = QStringLiteral("COMMIT"),
                            .row = {},
                            .changes = {}};
    journal << JournalEntry{.kind = JournalEntry::Kind::Reconnected,
                            .event = {},
                            .moment = {},
                            .state = QStringLiteral("stayed broken"),
                            .detail = {},
                            .row = {},
                            .changes = {}};
    EXPECT_EQ(checkJournalsWith(journal, true), QStringList());
    EXPECT_EQ(tally.connectionLost, 1);
    EXPECT_EQ(tally.reconnected, 1);
    EXPECT_EQ(tally.recoveredByItself, 0);
    EXPECT_TRUE(anyContains(checkJournalsWith(journal, false),
                            QStringLiteral("though the server ran throughout")));
}

} // namespace
} // namespace lms::crash
