#include "ShopChecks.h"

#include "core/Database.h"
#include "core/LedgerBackfill.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>

namespace lms::crash {

namespace {

const QString kOnShelf = QStringLiteral("未借出");
const QString kLent = QStringLiteral("已借出");
const QString kDamaged = QStringLiteral("破损遗失");

// The log event that goes with each ledger event: both are written by one operation.
const QHash<QString, QString> kLogOfLedger = {
    {QStringLiteral("添加读者"), QStringLiteral("添加读者")},
    {QStringLiteral("缴费充值"), QStringLiteral("缴费充值")},
    {QStringLiteral("读者还书"), QStringLiteral("读者归书")},
    {QStringLiteral("删除读者退回押金"), QStringLiteral("删除读者")},
};

struct LogRecord {
    qint64 rowid;
    QString event;
    QString time;
    QString explanation;
};

struct LedgerRecord {
    qint64 rowid;
    QString event;
    QString time;
    double deposit;
    LedgerIds ids;
};

struct ModelReader {
    QString openedAt;
    int booksOut = 0;
    int loansTotal = 0;
    double deposit = 0;
};

struct ModelBook {
    QString enteredAt;
    int timesLent = 0;
    QString state;
};

struct ModelLoan {
    QString reader;
    QString lentAt;
};

QString idAfter(const QString& text, const QString& label) {
    const QRegularExpressionMatch match =
        QRegularExpression(QRegularExpression::escape(label) + QStringLiteral("(\\S+)"))
            .match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

QList<QStringList> rowsOf(Database& db, const QString& sql) {
    Query query(db, sql);
    QList<QStringList> rows;
    while (query.next()) {
        QStringList row;
        for (int c = 0; c < query.columnCount(); ++c)
            row << query.text(c);
        rows << row;
    }
    return rows;
}

// Replays the log and compares what it implies with the tables.
class ShopAudit {
public:
    ShopAudit(Database& db, const Intents& intents) : db_(db), changes_(intents) {}

    QStringList run() {
        checkIntegrity();
        if (!failures_.isEmpty())
            return failures_;
        load();
        checkLedgerPairs();
        replay();
        compareReaders();
        compareBooks();
        compareLoans();
        compareHistory();
        changes_.compareStored(db_, failures_);
        return failures_;
    }

private:
    void fail(const QString& line) { failures_ << line; }

    // The file's own pages; a server keeps and checks its own.
    void checkIntegrity() {
        if (!db_.isFile())
            return;
        QStringList result;
        for (const QStringList& row : rowsOf(db_, QStringLiteral("PRAGMA integrity_check")))
            result << row.value(0);
        if (result != QStringList{QStringLiteral("ok")})
            fail(QStringLiteral("integrity_check: ") + result.join(QStringLiteral("; ")));
    }

    void load() {
        Query logs(db_, QStringLiteral("SELECT rowid, 事件, 时间, 说明 FROM 日志 ORDER BY rowid"));
        while (logs.next()) {
            LogRecord r{logs.integer(0), logs.text(1), logs.text(2), logs.text(3)};
            if (logTimes_.contains(r.time))
                fail(QStringLiteral("two log records at %1 (rowid %2)").arg(r.time).arg(r.rowid));
            logTimes_.insert(r.time, r.event);
            logExplanations_.insert(r.time, r.explanation);
            logs_ << r;
        }
        Query ledger(db_,
                     QStringLiteral("SELECT rowid, 事件, 时间, 押金, 读者编号, 图书编号 FROM 资金 "
                                    "ORDER BY rowid"));
        while (ledger.next()) {
            LedgerRecord r{ledger.integer(0),
                           ledger.text(1),
                           ledger.text(2),
                           ledger.real(3),
                           {.readerId = ledger.text(4), .bookId = ledger.text(5)}};
            ledgerAt_.insert(r.time, r);
            ledger_ << r;
        }
    }

    // Every ledger record has the log record of its operation at the same moment, and every
    // operation that moves money has exactly one ledger record.
    void checkLedgerPairs() {
        for (const LedgerRecord& r : ledger_) {
            const QString logEvent = kLogOfLedger.value(r.event);
            if (logEvent.isEmpty())
                fail(QStringLiteral("ledger record %1 of an unknown event %2")
                         .arg(r.rowid)
                         .arg(r.event));
            else if (logTimes_.value(r.time) != logEvent)
                fail(QStringLiteral("ledger record %1 (%2 at %3) has no log record %4")
                         .arg(r.rowid)
                         .arg(r.event, r.time, logEvent));
            else
                checkLedgerIds(r, logEvent);
        }
        for (const LogRecord& r : logs_) {
            const QString ledgerEvent = kLogOfLedger.key(r.event);
            if (ledgerEvent.isEmpty())
                continue;
            int found = 0;
            for (const LedgerRecord& l : ledgerAt_.values(r.time))
                found += l.event == ledgerEvent ? 1 : 0;
            if (found != 1)
                fail(QStringLiteral("log record %1 (%2 at %3) has %4 ledger records %5")
                         .arg(r.rowid)
                         .arg(r.event, r.time)
                         .arg(found)
                         .arg(ledgerEvent));
        }
    }

    // A ledger record names the reader and book its operation's log record names.
    void checkLedgerIds(const LedgerRecord& r, const QString& logEvent) {
        const std::optional<LedgerIds> named =
            LedgerBackfill::idsOfLog(logEvent, logExplanations_.value(r.time));
        if (!named || named->readerId != r.ids.readerId || named->bookId != r.ids.bookId)
            fail(QStringLiteral("ledger record %1 (%2 at %3) names reader %4 and book %5, its log "
                                "record otherwise")
                     .arg(r.rowid)
                     .arg(r.event, r.time, r.ids.readerId, r.ids.bookId));
    }

    double depositMoved(const QString& time, const QString& ledgerEvent) {
        for (const LedgerRecord& l : ledgerAt_.values(time))
            if (l.event == ledgerEvent)
                return l.deposit;
        return 0;
    }

    void replay() {
        for (const LogRecord& r : logs_) {
            const QString where = QStringLiteral(" (log record %1, %2)").arg(r.rowid).arg(r.event);
            const QString& e = r.event;
            if (e == QStringLiteral("添加读者")) {
                const QString id = idAfter(r.explanation, QStringLiteral("读者编号："));
                if (readers_.contains(id))
                    fail(QStringLiteral("reader %1 registered twice").arg(id) + where);
                readers_[id] = {r.time, 0, 0, depositMoved(r.time, e)};
                changes_.readerAdded(id, idAfter(r.explanation, QStringLiteral("读者姓名：")),
                                     idAfter(r.explanation, QStringLiteral("读者类型：")));
            } else if (e == QStringLiteral("删除读者")) {
                const QString id = idAfter(r.explanation, QStringLiteral("被删除的读者编号："));
                if (!readers_.contains(id))
                    fail(QStringLiteral("deleted reader %1 did not exist").arg(id) + where);
                else
                    checkDeletedReader(id, r, where);
                readers_.remove(id);
                changes_.readerGone(id);
            } else if (e == QStringLiteral("添加图书")) {
                const QString id = idAfter(r.explanation, QStringLiteral("图书编号："));
                if (books_.contains(id))
                    fail(QStringLiteral("book %1 registered twice").arg(id) + where);
                books_[id] = {r.time, 0, kOnShelf};
                changes_.bookAdded(id, idAfter(r.explanation, QStringLiteral("图书名称：")));
            } else if (e == QStringLiteral("删除图书")) {
                const QString id = idAfter(r.explanation, QStringLiteral("被删除的图书编号："));
                if (!books_.contains(id))
                    fail(QStringLiteral("deleted book %1 did not exist").arg(id) + where);
                else if (books_[id].state == kLent)
                    fail(QStringLiteral("deleted book %1 was lent").arg(id) + where);
                else if (loans_.contains(id))
                    fail(QStringLiteral("deleted book %1 had an open loan").arg(id) + where);
                books_.remove(id);
                changes_.bookGone(id);
            } else if (e == QStringLiteral("读者借书")) {
                replayLend(r, where);
            } else if (e == QStringLiteral("读者归书")) {
                replayReturn(r, where);
            } else if (e == QStringLiteral("缴费充值")) {
                const QString id = idAfter(r.explanation, QStringLiteral("读者编号："));
                if (!readers_.contains(id))
                    fail(QStringLiteral("payment of a reader %1 who does not exist").arg(id) +
                         where);
                else {
                    readers_[id].deposit += depositMoved(r.time, QStringLiteral("缴费充值"));
                    changes_.readerWritten(e, r.time, id, readers_[id].booksOut, where, failures_);
                }
            } else if (e == QStringLiteral("更改读者信息")) {
                const QString id = idAfter(r.explanation, QStringLiteral("被更改的读者编号："));
                if (!readers_.contains(id))
                    fail(QStringLiteral("change of a reader %1 who does not exist").arg(id) +
                         where);
                else
                    changes_.readerWritten(e, r.time, id, readers_[id].booksOut, where, failures_);
            } else if (e == QStringLiteral("更改图书信息")) {
                const QString id = idAfter(r.explanation, QStringLiteral("被更改的图书编号："));
                if (!books_.contains(id))
                    fail(QStringLiteral("change of a book %1 that does not exist").arg(id) + where);
                else
                    changes_.bookChanged(r.time, id, loans_.contains(id), books_[id].state, where,
                                         failures_);
            } else {
                fail(QStringLiteral("unexpected log event") + where);
            }
        }
    }

    // A reader leaves with no books out and takes exactly the deposit the ledger holds for them.
    void checkDeletedReader(const QString& id, const LogRecord& r, const QString& where) {
        const ModelReader& m = readers_[id];
        if (m.booksOut != 0)
            fail(QStringLiteral("deleted reader %1 held %2 books").arg(id).arg(m.booksOut) + where);
        const double refund = -depositMoved(r.time, QStringLiteral("删除读者退回押金"));
        if (std::fabs(refund - m.deposit) > 0.005)
            fail(QStringLiteral("deleted reader %1 was refunded %2 of a deposit of %3")
                     .arg(id)
                     .arg(refund)
                     .arg(m.deposit) +
                 where);
    }

    void replayLend(const LogRecord& r, const QString& where) {
        const QString reader = idAfter(r.explanation, QStringLiteral("读者编号："));
        const QString book = idAfter(r.explanation, QStringLiteral("图书编号："));
        if (!readers_.contains(reader) || !books_.contains(book)) {
            fail(QStringLiteral("loan of %1 to %2, one of whom does not exist").arg(book, reader) +
                 where);
            return;
        }
        const QString refused = changes_.lendRefusedBy(reader);
        if (!refused.isEmpty())
            fail(QStringLiteral("reader %1 borrowed %2 in state %3").arg(reader, book, refused) +
                 where);
        ModelBook& b = books_[book];
        if (b.state != kOnShelf || loans_.contains(book))
            fail(QStringLiteral("book %1 lent in state %2").arg(book, b.state) + where);
        b.state = kLent;
        ++b.timesLent;
        loans_[book] = {reader, r.time};
        ++readers_[reader].booksOut;
        ++readers_[reader].loansTotal;
    }

    void replayReturn(const LogRecord& r, const QString& where) {
        const QString reader = idAfter(r.explanation, QStringLiteral("读者编号："));
        const QString book = idAfter(r.explanation, QStringLiteral("图书编号："));
        if (!loans_.contains(book) || loans_[book].reader != reader) {
            fail(QStringLiteral("return of %1 by %2 without its loan").arg(book, reader) + where);
            return;
        }
        const bool damaged = r.explanation.contains(QStringLiteral("图书已破损或遗失"));
        history_ << QStringList{book, reader, loans_[book].lentAt, r.time,
                                damaged ? QStringLiteral("破损或遗失") : QString()}
                        .join(QLatin1Char('|'));
        loans_.remove(book);
        if (books_.contains(book))
            books_[book].state = damaged ? kDamaged : kOnShelf;
        if (readers_.contains(reader)) {
            --readers_[reader].booksOut;
            readers_[reader].deposit += depositMoved(r.time, QStringLiteral("读者还书"));
        }
    }

    void compareReaders() {
        QHash<QString, int> loanRows;
        for (const QStringList& row : rowsOf(db_, QStringLiteral("SELECT 读者编号 FROM 借出图书")))
            ++loanRows[row.value(0)];
        QSet<QString> seen;
        Query q(db_,
                QStringLiteral("SELECT 读者编号, 开户日期, 未还数量, 借阅总计, 押金 FROM 读者"));
        while (q.next()) {
            const QString id = q.text(0);
            seen.insert(id);
            const int out = static_cast<int>(q.integer(2));
            if (out != loanRows.value(id))
                fail(QStringLiteral("reader %1: 未还数量 %2 but %3 loan rows")
                         .arg(id)
                         .arg(out)
                         .arg(loanRows.value(id)));
            if (!readers_.contains(id)) {
                fail(QStringLiteral("reader %1 stored without its log record").arg(id));
                continue;
            }
            const ModelReader& m = readers_[id];
            if (q.text(1) != m.openedAt)
                fail(QStringLiteral("reader %1 opened at %2, logged at %3")
                         .arg(id, q.text(1), m.openedAt));
            if (out != m.booksOut || q.integer(3) != m.loansTotal)
                fail(QStringLiteral("reader %1: 未还数量 %2, 借阅总计 %3; the log implies %4, %5")
                         .arg(id)
                         .arg(out)
                         .arg(q.integer(3))
                         .arg(m.booksOut)
                         .arg(m.loansTotal));
            if (std::fabs(q.real(4) - m.deposit) > 0.005)
                fail(QStringLiteral("reader %1: deposit %2; the ledger implies %3")
                         .arg(id)
                         .arg(q.real(4))
                         .arg(m.deposit));
        }
        for (auto it = readers_.cbegin(); it != readers_.cend(); ++it)
            if (!seen.contains(it.key()))
                fail(QStringLiteral("reader %1 is logged but not stored").arg(it.key()));
    }

    void compareBooks() {
        QHash<QString, int> loanRows;
        for (const QStringList& row : rowsOf(db_, QStringLiteral("SELECT 图书编号 FROM 借出图书")))
            ++loanRows[row.value(0)];
        QSet<QString> seen;
        Query q(db_, QStringLiteral("SELECT 图书编号, 录入时间, 借阅次数, 当前状态 FROM 图书"));
        while (q.next()) {
            const QString id = q.text(0);
            const QString state = q.text(3);
            seen.insert(id);
            if ((state == kLent) != (loanRows.value(id) == 1) || loanRows.value(id) > 1)
                fail(QStringLiteral("book %1 in state %2 with %3 loan rows")
                         .arg(id, state)
                         .arg(loanRows.value(id)));
            if (!books_.contains(id)) {
                fail(QStringLiteral("book %1 stored without its log record").arg(id));
                continue;
            }
            const ModelBook& m = books_[id];
            if (q.text(1) != m.enteredAt || q.integer(2) != m.timesLent || state != m.state)
                fail(QStringLiteral("book %1: entered %2, lent %3 times, %4; the log implies %5, "
                                    "%6, %7")
                         .arg(id, q.text(1))
                         .arg(q.integer(2))
                         .arg(state, m.enteredAt)
                         .arg(m.timesLent)
                         .arg(m.state));
        }
        for (auto it = books_.cbegin(); it != books_.cend(); ++it)
            if (!seen.contains(it.key()))
                fail(QStringLiteral("book %1 is logged but not stored").arg(it.key()));
    }

    void compareLoans() {
        for (const QStringList& row :
             rowsOf(db_, QStringLiteral("SELECT 借出图书.图书编号, 借出图书.读者编号, "
                                        "CASE WHEN 图书.图书编号 IS NULL THEN 1 ELSE 0 END, "
                                        "CASE WHEN 读者.读者编号 IS NULL THEN 1 ELSE 0 END "
                                        "FROM 借出图书 "
                                        "LEFT JOIN 图书 ON 图书.图书编号 = 借出图书.图书编号 "
                                        "LEFT JOIN 读者 ON 读者.读者编号 = 借出图书.读者编号")))
            for (const auto& [gone, what] : {std::pair{row[2], QStringLiteral("book")},
                                             std::pair{row[3], QStringLiteral("reader")}})
                if (gone == QStringLiteral("1"))
                    fail(
                        QStringLiteral("loan of %1 to %2 has no %3 row").arg(row[0], row[1], what));
        QSet<QString> seen;
        for (const QStringList& row :
             rowsOf(db_, QStringLiteral("SELECT 图书编号, 读者编号, 借出日期 FROM 借出图书"))) {
            const QString& book = row[0];
            seen.insert(book);
            const auto it = loans_.constFind(book);
            if (it == loans_.cend() || it->reader != row[1] || it->lentAt != row[2])
                fail(QStringLiteral("loan of %1 to %2 at %3 has no log record")
                         .arg(book, row[1], row[2]));
        }
        for (auto it = loans_.cbegin(); it != loans_.cend(); ++it)
            if (!seen.contains(it.key()))
                fail(QStringLiteral("loan of %1 at %2 is logged but not stored")
                         .arg(it.key(), it->lentAt));
    }

    void compareHistory() {
        QStringList stored;
        for (const QStringList& row :
             rowsOf(db_, QStringLiteral("SELECT 图书编号, 读者编号, 借阅日期, 归还日期, "
                                        "COALESCE(备注, '') FROM 图书借阅历史记录 ORDER BY rowid")))
            stored << row.join(QLatin1Char('|'));
        QStringList expected = history_;
        std::sort(stored.begin(), stored.end());
        std::sort(expected.begin(), expected.end());
        if (stored == expected)
            return;
        const qsizetype before = failures_.size();
        for (const QString& row : stored)
            if (!expected.contains(row))
                fail(QStringLiteral("history row %1 has no return logged").arg(row));
        for (const QString& row : expected)
            if (!stored.contains(row))
                fail(QStringLiteral("logged return %1 has no history row").arg(row));
        if (failures_.size() == before)
            fail(QStringLiteral("history rows repeated: %1 stored, %2 returns logged")
                     .arg(stored.size())
                     .arg(expected.size()));
    }

    Database& db_;
    ChangeReplay changes_;
    QStringList failures_;
    QList<LogRecord> logs_;
    QList<LedgerRecord> ledger_;
    QHash<QString, QString> logTimes_;
    QHash<QString, QString> logExplanations_; // of the log record at each moment
    QMultiHash<QString, LedgerRecord> ledgerAt_;
    QHash<QString, ModelReader> readers_;
    QHash<QString, ModelBook> books_;
    QHash<QString, ModelLoan> loans_;
    QStringList history_;
};

} // namespace

QStringList checkShop(Database& db, const Intents& intents) {
    return ShopAudit(db, intents).run();
}

QMap<QString, qint64> countLogEvents(Database& db) {
    QMap<QString, qint64> counts;
    Query q(db, QStringLiteral("SELECT 事件, count(*) FROM 日志 GROUP BY 事件"));
    while (q.next())
        counts[q.text(0)] = q.integer(1);
    return counts;
}

} // namespace lms::crash
