// The checks of hand changes find what a store racing another desk would write, on either
// engine, and pass changes made one after another through the screens.

#include "ChangeChecks.h"
#include "ClerkJournal.h"
#include "HarnessDoubles.h"
#include "RandomClerk.h"
#include "ScreenColumns.h"
#include "ShopChecks.h"

#include "books/Tfrm_GGBook.h"
#include "circulation/Tfrm_JNZC.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "core/Tdm_Dbase.h"
#include "readers/Tfrm_GGReader.h"
#include "support/TempProgramFolder.h"

#include <functional>
#include <gtest/gtest.h>

namespace lms::crash {
namespace {

constexpr int kDesk = 9;
const QString kUser = QStringLiteral("admin");
const QString kReaderChange = QStringLiteral("更改读者信息");
const QString kBookChange = QStringLiteral("更改图书信息");

// A small shop made by the random clerk, then worked by hand through the change screens, each
// change journaled as a clerk process journals it.
class ChangeChecksTest : public ::testing::Test {
public:
    ChangeChecksTest()
        : journalPath(shop.folder.file(QStringLiteral("clerk-1.journal"))),
          journal(journalPath), ctx{*shop.dm, shop.pub, prompter, clock, host} {
        EXPECT_TRUE(shop.dm->ReadSysSet());
        shop.pub.CurrentUser = kUser;
        RandomClerk clerk(*shop.dm, shop.pub, 3, kDesk);
        for (int i = 0; i < 8; ++i)
            clerk.registerReader();
        for (int i = 0; i < 6; ++i)
            clerk.registerBook();
        for (int i = 0; i < 3; ++i)
            clerk.lend();
        clock.setMillisecond(kDesk);
        clock.set(Dates::fromStorage(value(QStringLiteral("SELECT max(时间) FROM 日志"))));
    }

    QString value(const QString& sql, const QVariantList& values = {}) {
        return shop.dm->db().scalar(sql, values).toString();
    }
    QString moment() const { return Dates::toStorage(clock.now()); }
    void nextMoment() { clock.advanceSeconds(3600); }
    QStringList check() { return checkShop(shop.dm->db(), intentsIn({readJournal(journalPath)})); }

    // 更改读者信息 with `edit` made on the screen; the box it ended with.
    QString changeReader(const QString& id, const std::function<void(Tfrm_GGReader&)>& edit) {
        nextMoment();
        Tfrm_GGReader screen(ctx);
        screen.FormShow();
        screen.ID.type(id);
        const QStringList loaded = columnValues(screen, readerChangeColumns());
        edit(screen);
        journal.intent(kReaderChange, moment(), id,
                       changedColumns(screen, readerChangeColumns(), loaded));
        screen.Button1Click();
        return prompter.lastText();
    }

    QString changeBook(const QString& id, const std::function<void(Tfrm_GGBook&)>& edit) {
        nextMoment();
        Tfrm_GGBook screen(ctx);
        screen.FormShow();
        screen.id.type(id);
        const QStringList loaded = columnValues(screen, bookChangeColumns());
        edit(screen);
        journal.intent(kBookChange, moment(), id,
                       changedColumns(screen, bookChangeColumns(), loaded));
        screen.Button1Click();
        return prompter.lastText();
    }

    QString pay(const QString& id) {
        nextMoment();
        Tfrm_JNZC screen(ctx);
        screen.FormShow();
        screen.ID.type(id);
        journal.intent(QStringLiteral("缴费充值"), moment(), id,
                       paymentChanges(screen, screen.tzrx.text()));
        screen.Button2Click();
        return prompter.lastText();
    }

    // What a store that looks at nothing writes: `set` on the row, and the change's log record.
    void writeUnchecked(const QString& event, const QString& id, const QString& set,
                        const QVariantList& values) {
        nextMoment();
        const bool reader = event == kReaderChange;
        Transaction transaction(shop.dm->db());
        Query(shop.dm->db(),
              QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                  .arg(reader ? QStringLiteral("读者") : QStringLiteral("图书"), set,
                       reader ? QStringLiteral("读者编号") : QStringLiteral("图书编号")))
            .bindAll(QVariantList(values) << id)
            .exec();
        shop.dm->appendLog(
            event, kUser, clock.now(),
            (reader ? QStringLiteral("被更改的读者编号：") : QStringLiteral("被更改的图书编号：")) +
                id);
        transaction.commit();
    }

    // A loan stored without looking at the reader's state.
    void lendUnchecked(const QString& reader, const QString& book) {
        nextMoment();
        Database& db = shop.dm->db();
        Transaction transaction(db);
        Query(db, QStringLiteral("UPDATE 图书 SET 当前状态 = '已借出', 借阅次数 = 借阅次数 + 1 "
                                 "WHERE 图书编号 = ?"))
            .bind(1, book)
            .exec();
        Query(db, QStringLiteral("INSERT INTO 借出图书 (图书编号, 图书名称, 读者编号, 读者姓名, "
                                 "借出日期, 最晚归还日期) VALUES (?, '书', ?, '人', ?, ?)"))
            .bindAll({book, reader, moment(), Dates::toStorage(clock.now().addDays(30))})
            .exec();
        Query(db, QStringLiteral("UPDATE 读者 SET 未还数量 = 未还数量 + 1, 借阅总计 = 借阅总计 + 1 "
                                 "WHERE 读者编号 = ?"))
            .bind(1, reader)
            .exec();
        shop.dm->appendLog(QStringLiteral("读者借书"), kUser, clock.now(),
                           QStringLiteral("读者编号：") + reader + QStringLiteral(" 图书编号：") +
                               book);
        transaction.commit();
    }

    // A reader renting for a period, with or without books out.
    QString readerWithLoans(bool withLoans) {
        return value(QStringLiteral("SELECT 读者编号 FROM 读者 WHERE 读者类型 <> '按日租借' AND ") +
                     (withLoans ? QStringLiteral("未还数量 > 0") : QStringLiteral("未还数量 = 0")) +
                     QStringLiteral(" ORDER BY 读者编号"));
    }
    QString bookIn(const QString& state) {
        return value(
            QStringLiteral("SELECT 图书编号 FROM 图书 WHERE 当前状态 = ? ORDER BY 图书编号"),
            {state});
    }

    test::ShopDatabase shop;
    QString journalPath;
    ClerkJournal journal;
    YesPrompter prompter;
    SteppingClock clock;
    QuietHost host;
    ScreenContext ctx;
};

bool anyContains(const QStringList& lines, const QString& part) {
    for (const QString& line : lines)
        if (line.contains(part))
            return true;
    return false;
}

TEST_F(ChangeChecksTest, ChangesOneAfterAnotherPassEveryCheck) {
    const QString reader = readerWithLoans(false);
    const QString book = bookIn(QStringLiteral("未借出"));
    ASSERT_FALSE(reader.isEmpty());
    ASSERT_FALSE(book.isEmpty());
    const QString changed = QStringLiteral("读者信息更改成功!");
    EXPECT_EQ(changeReader(reader,
                           [](Tfrm_GGReader& s) {
                               s.tzxm.setValue(QStringLiteral("赵敏"));
                               s.df.setValue(QStringLiteral("13900001111"));
                               s.tssn.setValue(7);
                               s.tzzt.setItemIndex(Readers::LostStopped);
                           }),
              changed);
    EXPECT_EQ(changeReader(reader, [](Tfrm_GGReader& s) { s.tzzt.setItemIndex(0); }), changed);
    EXPECT_EQ(pay(reader), QStringLiteral("读者缴费充值成功!"));
    EXPECT_EQ(changeReader(
                  reader,
                  [](Tfrm_GGReader& s) { s.yxq.setValue(s.yxq.value().toDateTime().addDays(-3)); }),
              changed);
    EXPECT_EQ(changeBook(book,
                         [](Tfrm_GGBook& s) {
                             s.tsmz.setValue(QStringLiteral("边城"));
                             s.tsbz.setValue(QStringLiteral("缺页"));
                             s.tszt.setItemIndex(Books::DamagedOrLost);
                         }),
              QStringLiteral("图书信息更改成功!"));
    EXPECT_EQ(check(), QStringList());
    const QList<JournalEntry> entries = readJournal(journalPath);
    ASSERT_EQ(entries.size(), 5);
    EXPECT_EQ(entries[0].changes.size(), 4); // name, phone, limit, state
    EXPECT_EQ(entries[3].changes.size(), 1);
    EXPECT_EQ(entries[3].changes[0].column, QStringLiteral("借阅有效期"));
}

TEST_F(ChangeChecksTest, ADailyReadersValidityIsNotHeldToPayments) {
    // Renting by the day, the validity is each desk's "now".
    const QString reader = value(QStringLiteral("SELECT 读者编号 FROM 读者 WHERE 读者类型 = "
                                                "'按日租借' AND 当前状态 = '正常使用'"));
    ASSERT_FALSE(reader.isEmpty());
    ASSERT_EQ(pay(reader), QStringLiteral("读者缴费充值成功!"));
    ASSERT_EQ(changeReader(
                  reader,
                  [](Tfrm_GGReader& s) { s.yxq.setValue(s.yxq.value().toDateTime().addDays(-3)); }),
              QStringLiteral("读者信息更改成功!"));
    writeUnchecked(kReaderChange, reader, QStringLiteral("借阅有效期 = ?"),
                   {QStringLiteral("2026-01-01 00:00:00.000")});
    journal.intent(kReaderChange, moment(), reader,
                   {{QStringLiteral("借阅有效期"), QStringLiteral("2025-12-01 00:00:00.000"),
                     QStringLiteral("2026-01-01 00:00:00.000")}});
    EXPECT_EQ(check(), QStringList());
}

TEST_F(ChangeChecksTest, TheClerkJournalsEachChangeBeforeItIsStored) {
    RandomClerk clerk(*shop.dm, shop.pub, 17, kDesk);
    clerk.setIntentSink([this](const QString& event, const QString& at, const QString& row,
                               const QList<ColumnChange>& changes) {
        // Nothing of the operation is stored yet.
        EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM 日志 WHERE 时间 = ?"), {at}),
                  QStringLiteral("0"));
        journal.intent(event, at, row, changes);
    });
    QHash<QString, int> done;
    for (int i = 0; i < 150; ++i)
        ++done[clerk.step()];
    EXPECT_GT(done.value(kReaderChange), 3);
    EXPECT_GT(done.value(kBookChange), 3);
    const Intents intents = intentsIn({readJournal(journalPath)});
    Query changes(shop.dm->db(), QStringLiteral("SELECT 事件, 时间, 说明 FROM 日志 WHERE 事件 IN "
                                                "('更改读者信息', '更改图书信息', '缴费充值')"));
    int checked = 0;
    while (changes.next()) {
        const auto intent = intents.constFind(changes.text(1));
        ASSERT_NE(intent, intents.cend()) << changes.text(2).toStdString();
        EXPECT_EQ(intent->event, changes.text(0));
        EXPECT_TRUE(changes.text(2).contains(intent->row)) << changes.text(2).toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

// Each case does what a store racing another desk writes, and names what the checks report.
struct RaceCase {
    const char* name;
    std::function<void(ChangeChecksTest&)> damage;
    const char* found;
};

void PrintTo(const RaceCase& race, std::ostream* out) {
    *out << race.name;
}

class RaceDamageTest : public ChangeChecksTest, public ::testing::WithParamInterface<RaceCase> {};

const QString kOldValidity = QStringLiteral("2026-01-01 00:00:00.000");

const RaceCase kRaces[] = {
    {"ARenewalTakenBackByAChangeOfThePhone",
     [](ChangeChecksTest& t) {
         const QString r = t.readerWithLoans(false);
         ASSERT_EQ(t.pay(r), QStringLiteral("读者缴费充值成功!"));
         t.writeUnchecked(kReaderChange, r, QStringLiteral("电话 = ?, 借阅有效期 = ?"),
                          {QStringLiteral("13900002222"), kOldValidity});
         t.journal.intent(kReaderChange, t.moment(), r,
                          {{QStringLiteral("电话"), QString(), QStringLiteral("13900002222")}});
     },
     "借阅有效期 \"2026-01-01 00:00:00.000\", but 缴费充值 at"},
    {"AChangeWrittenOverARenewalItDidNotSee",
     [](ChangeChecksTest& t) {
         const QString r = t.readerWithLoans(false);
         ASSERT_EQ(t.pay(r), QStringLiteral("读者缴费充值成功!"));
         t.writeUnchecked(kReaderChange, r, QStringLiteral("借阅有效期 = ?"), {kOldValidity});
         t.journal.intent(kReaderChange, t.moment(), r,
                          {{QStringLiteral("借阅有效期"), QStringLiteral("2025-12-01 00:00:00.000"),
                            kOldValidity}});
     },
     "loaded 借阅有效期 \"2025-12-01 00:00:00.000\" where the log implies"},
    {"ANameWrittenBackFromAScreenCopy",
     [](ChangeChecksTest& t) {
         const QString r = t.readerWithLoans(false);
         const QString old =
             t.value(QStringLiteral("SELECT 读者姓名 FROM 读者 WHERE 读者编号 = ?"), {r});
         ASSERT_EQ(
             t.changeReader(r, [](Tfrm_GGReader& s) { s.tzxm.setValue(QStringLiteral("周强")); }),
             QStringLiteral("读者信息更改成功!"));
         t.writeUnchecked(kReaderChange, r, QStringLiteral("读者姓名 = ?, 电话 = ?"),
                          {old, QStringLiteral("13900003333")});
         t.journal.intent(kReaderChange, t.moment(), r,
                          {{QStringLiteral("电话"), QString(), QStringLiteral("13900003333")}});
     },
     "读者姓名"},
    {"ALoanAfterTheCardWasStopped",
     [](ChangeChecksTest& t) {
         const QString r = t.readerWithLoans(false);
         ASSERT_EQ(
             t.changeReader(r, [](Tfrm_GGReader& s) { s.tzzt.setItemIndex(Readers::LostStopped); }),
             QStringLiteral("读者信息更改成功!"));
         t.lendUnchecked(r, t.bookIn(QStringLiteral("未借出")));
     },
     "in state 挂失停用 (set by 更改读者信息 at"},
    {"ALentBookDamagedByHand",
     [](ChangeChecksTest& t) {
         const QString b = t.bookIn(QStringLiteral("已借出"));
         t.writeUnchecked(kBookChange, b, QStringLiteral("当前状态 = '破损遗失'"), {});
         t.journal.intent(
             kBookChange, t.moment(), b,
             {{QStringLiteral("当前状态"), QStringLiteral("已借出"), QStringLiteral("破损遗失")}});
     },
     "set to 破损遗失 by hand while its loan is open"},
    {"ABookOnTheShelfLentByHand",
     [](ChangeChecksTest& t) {
         const QString b = t.bookIn(QStringLiteral("未借出"));
         t.writeUnchecked(kBookChange, b, QStringLiteral("当前状态 = '已借出'"), {});
         t.journal.intent(
             kBookChange, t.moment(), b,
             {{QStringLiteral("当前状态"), QStringLiteral("未借出"), QStringLiteral("已借出")}});
     },
     "set to 已借出 by hand"},
    {"ABookChangedOverALoanItDidNotSee",
     [](ChangeChecksTest& t) {
         const QString b = t.bookIn(QStringLiteral("已借出"));
         t.writeUnchecked(kBookChange, b, QStringLiteral("当前状态 = '破损遗失'"), {});
         t.journal.intent(
             kBookChange, t.moment(), b,
             {{QStringLiteral("当前状态"), QStringLiteral("未借出"), QStringLiteral("破损遗失")}});
     },
     "over 已借出, having loaded 未借出"},
    {"ATitleWrittenBackByAStateChange",
     [](ChangeChecksTest& t) {
         const QString b = t.bookIn(QStringLiteral("未借出"));
         ASSERT_EQ(t.changeBook(b, [](Tfrm_GGBook& s) { s.tsmz.setValue(QStringLiteral("子夜")); }),
                   QStringLiteral("图书信息更改成功!"));
         t.writeUnchecked(kBookChange, b, QStringLiteral("图书名称 = '围城', 备注 = '缺页'"), {});
         t.journal.intent(kBookChange, t.moment(), b,
                          {{QStringLiteral("备注"), QString(), QStringLiteral("缺页")}});
     },
     "图书名称 \"围城\", but 更改图书信息 at"},
    {"ACardSuspendedWithABookOut",
     [](ChangeChecksTest& t) {
         const QString r = t.readerWithLoans(true);
         t.writeUnchecked(kReaderChange, r, QStringLiteral("当前状态 = '暂停使用'"), {});
         t.journal.intent(kReaderChange, t.moment(), r,
                          {{QStringLiteral("当前状态"), QStringLiteral("正常使用"),
                            QStringLiteral("暂停使用")}});
     },
     "set to 暂停使用 with"},
    {"AChangeNoClerkWasAboutToMake",
     [](ChangeChecksTest& t) {
         t.writeUnchecked(kReaderChange, t.readerWithLoans(false), QStringLiteral("电话 = '1'"),
                          {});
     },
     "has no intent in any journal"},
    {"ALoanWhoseReaderIsGone",
     [](ChangeChecksTest& t) {
         Query(t.shop.dm->db(), QStringLiteral("DELETE FROM 读者 WHERE 读者编号 = ?"))
             .bind(1, t.readerWithLoans(true))
             .exec();
     },
     "has no reader row"},
};

TEST_P(RaceDamageTest, IsFound) {
    ASSERT_EQ(check(), QStringList());
    GetParam().damage(*this);
    const QStringList failures = check();
    EXPECT_TRUE(anyContains(failures, QString::fromUtf8(GetParam().found)))
        << failures.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Races, RaceDamageTest, ::testing::ValuesIn(kRaces),
                         [](const auto& race) { return std::string(race.param.name); });

} // namespace
} // namespace lms::crash
