#include "core/LedgerBackfill.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace lms::LedgerBackfill {

namespace {

// Each ledger event, the log event its operation writes beside it, and the form of that log
// record's explanation: it starts with `lead`, the reader id runs up to `readerEnd` (or to the
// end), and a return's book id follows `bookLead` up to the first of its two endings. The ids
// stand between fixed words, so an id holding a space is read whole. Read as UTF-8 bytes: a
// shop's log holds a million of these.
struct LogForm {
    const char* ledgerEvent;
    const char* logEvent;
    const char* lead;
    const char* readerEnd; // nullptr: the id runs to the end
    bool namesBook;
};

constexpr std::array kForms = {
    LogForm{"添加读者", "添加读者", "读者编号：", "  读者姓名：", false},
    LogForm{"缴费充值", "缴费充值", "读者编号：", " 总金额：", false},
    LogForm{"读者还书", "读者归书", "读者编号：", " 图书编号：", true},
    LogForm{"删除读者退回押金", "删除读者", " 被删除的读者编号：", nullptr, false},
};
constexpr const char* kBookEndings[] = {" 图书已破损或遗失,", " 缴纳费用总计："};

std::optional<std::size_t> formOfLog(QByteArrayView logEvent) {
    for (std::size_t i = 0; i < kForms.size(); ++i)
        if (logEvent == QByteArrayView(kForms[i].logEvent))
            return i;
    return std::nullopt;
}

struct IdBytes {
    QByteArrayView reader, book;
};

std::optional<IdBytes> idsOfExplanation(const LogForm& form, QByteArrayView text) {
    if (!text.startsWith(QByteArrayView(form.lead)))
        return std::nullopt;
    text = text.sliced(qstrlen(form.lead));
    IdBytes ids;
    if (!form.readerEnd) {
        ids.reader = text;
    } else {
        const qsizetype end = text.indexOf(QByteArrayView(form.readerEnd));
        if (end < 0)
            return std::nullopt;
        ids.reader = text.first(end);
        text = text.sliced(end + qstrlen(form.readerEnd));
    }
    if (form.namesBook) {
        qsizetype end = -1;
        for (const char* ending : kBookEndings) {
            const qsizetype at = text.indexOf(QByteArrayView(ending));
            if (at >= 0 && (end < 0 || at < end))
                end = at;
        }
        if (end < 0)
            return std::nullopt;
        ids.book = text.first(end);
    }
    if (ids.reader.isEmpty())
        return std::nullopt;
    return ids;
}

// A moment of one clerk's operation of one kind, as bytes.
QByteArray keyOf(std::size_t form, QByteArrayView time, QByteArrayView user) {
    QByteArray key;
    key.reserve(time.size() + user.size() + 2);
    key.append(char('0' + form)).append(time).append('\x1f').append(user);
    return key;
}

// The ids each moment's log names, per ledger event; a moment two operations of one kind share
// with different ids names none.
struct Named {
    QByteArray reader, book;
    bool ambiguous = false;
};

QHash<QByteArray, Named> namedByLog(Database& db) {
    QHash<QByteArray, Named> named;
    Query logs(db, QStringLiteral("SELECT 事件, 时间, 操作者, 说明 FROM 日志 "
                                  "WHERE 事件 IN (?, ?, ?, ?)"));
    for (std::size_t i = 0; i < kForms.size(); ++i)
        logs.bind(static_cast<int>(i) + 1, QString::fromUtf8(kForms[i].logEvent));
    while (logs.next()) {
        const std::optional<std::size_t> form = formOfLog(logs.utf8(0));
        if (!form)
            continue;
        const std::optional<IdBytes> ids = idsOfExplanation(kForms[*form], logs.utf8(3));
        if (!ids)
            continue;
        const QByteArray key = keyOf(*form, logs.utf8(1), logs.utf8(2));
        const auto found = named.find(key);
        if (found == named.end())
            named.insert(key, {.reader = ids->reader.toByteArray(),
                               .book = ids->book.toByteArray(),
                               .ambiguous = false});
        else if (found->reader != ids->reader || found->book != ids->book)
            found->ambiguous = true;
    }
    return named;
}

// The statement that names the readers and books of `rows` ledger records at once: a server
// answers each statement once, so a million records go in ten thousand steps rather than a
// million.
QString batchUpdate(std::size_t rows) {
    QString readers;
    QString books;
    QStringList marks;
    for (std::size_t i = 0; i < rows; ++i) {
        readers += QStringLiteral(" WHEN ? THEN ?");
        books += QStringLiteral(" WHEN ? THEN ?");
        marks << QStringLiteral("?");
    }
    return QStringLiteral(
               "UPDATE 资金 SET 读者编号 = CASE rowid%1 END, 图书编号 = CASE rowid%2 END "
               "WHERE rowid IN (%3)")
        .arg(readers, books, marks.join(QStringLiteral(", ")));
}

void writeIds(Database& db, const std::vector<std::pair<qint64, LedgerIds>>& filled) {
    constexpr std::size_t kBatch = 100; // 500 values, within any engine's limit
    std::optional<Query> full;
    for (std::size_t start = 0; start < filled.size(); start += kBatch) {
        const std::size_t rows = std::min(kBatch, filled.size() - start);
        std::optional<Query> last;
        if (rows == kBatch && !full)
            full.emplace(db, batchUpdate(kBatch));
        else if (rows < kBatch)
            last.emplace(db, batchUpdate(rows));
        Query& update = rows == kBatch ? *full : *last;
        update.reset();
        QVariantList values;
        for (std::size_t i = 0; i < rows; ++i)
            values << filled[start + i].first << filled[start + i].second.readerId;
        for (std::size_t i = 0; i < rows; ++i)
            values << filled[start + i].first << filled[start + i].second.bookId;
        for (std::size_t i = 0; i < rows; ++i)
            values << filled[start + i].first;
        update.bindAll(values);
        update.exec();
    }
}

} // namespace

std::optional<LedgerIds> idsOfLog(const QString& logEvent, const QString& explanation) {
    const QByteArray event = logEvent.toUtf8();
    const std::optional<std::size_t> form = formOfLog(event);
    if (!form)
        return std::nullopt;
    const QByteArray text = explanation.toUtf8();
    const std::optional<IdBytes> ids = idsOfExplanation(kForms[*form], text);
    if (!ids)
        return std::nullopt;
    return LedgerIds{.readerId = QString::fromUtf8(ids->reader),
                     .bookId = QString::fromUtf8(ids->book)};
}

int fill(Database& db) {
    const QHash<QByteArray, Named> named = namedByLog(db);
    // The ledger event each form stands for, as bytes.
    std::array<QByteArray, kForms.size()> ledgerEvents;
    for (std::size_t i = 0; i < kForms.size(); ++i)
        ledgerEvents[i] = QByteArray(kForms[i].ledgerEvent);
    // Read whole before the first update: a server streams a listing's rows.
    std::vector<std::pair<qint64, LedgerIds>> filled;
    const QByteArrayView summary("资金汇总");
    int unnamed = 0;
    Query ledger(db, QStringLiteral("SELECT rowid, 事件, 时间, 操作者 FROM 资金 ORDER BY rowid"));
    while (ledger.next()) {
        const QByteArrayView event = ledger.utf8(1);
        if (event == summary)
            continue;
        const auto form = std::find(ledgerEvents.cbegin(), ledgerEvents.cend(), event);
        const auto found = form == ledgerEvents.cend()
                               ? named.cend()
                               : named.constFind(keyOf(std::size_t(form - ledgerEvents.cbegin()),
                                                       ledger.utf8(2), ledger.utf8(3)));
        if (found == named.cend() || found->ambiguous)
            ++unnamed;
        else
            filled.emplace_back(ledger.integer(0),
                                LedgerIds{.readerId = QString::fromUtf8(found->reader),
                                          .bookId = QString::fromUtf8(found->book)});
    }
    writeIds(db, filled);
    return unnamed;
}

} // namespace lms::LedgerBackfill
