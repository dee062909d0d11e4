#include "core/LedgerBackfill.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace lms::LedgerBackfill {

namespace {

// Each ledger event, the log event its operation writes beside it, and the form of that log
// record's explanation: the ids stand between fixed words, so an id holding a space is read
// whole.
struct LogForm {
    const char* ledgerEvent;
    const char* logEvent;
    const char* pattern; // captures the reader id, then the book id where there is one
};

constexpr std::array kForms = {
    LogForm{"添加读者", "添加读者", "^读者编号：(.*?)  读者姓名："},
    LogForm{"缴费充值", "缴费充值", "^读者编号：(.*?) 总金额："},
    LogForm{"读者还书", "读者归书",
            "^读者编号：(.*?) 图书编号：(.*?)(?: 图书已破损或遗失,| 缴纳费用总计：)"},
    LogForm{"删除读者退回押金", "删除读者", "^ 被删除的读者编号：(.*)$"},
};

const LogForm* formOfLog(const QString& logEvent) {
    for (const LogForm& form : kForms)
        if (logEvent == QString::fromUtf8(form.logEvent))
            return &form;
    return nullptr;
}

QString keyOf(const QString& ledgerEvent, const QString& time, const QString& user) {
    return ledgerEvent + QChar(0x1f) + time + QChar(0x1f) + user;
}

// The ids each moment's log names, per ledger event; a moment two operations of one kind share
// with different ids names none.
struct Named {
    LedgerIds ids;
    bool ambiguous = false;
};

QHash<QString, Named> namedByLog(Database& db) {
    QHash<QString, Named> named;
    Query logs(db, QStringLiteral("SELECT 事件, 时间, 操作者, 说明 FROM 日志 "
                                  "WHERE 事件 IN (?, ?, ?, ?)"));
    for (std::size_t i = 0; i < kForms.size(); ++i)
        logs.bind(static_cast<int>(i) + 1, QString::fromUtf8(kForms[i].logEvent));
    while (logs.next()) {
        const QString event = logs.text(0);
        const std::optional<LedgerIds> ids = idsOfLog(event, logs.text(3));
        if (!ids)
            continue;
        const QString key =
            keyOf(QString::fromUtf8(formOfLog(event)->ledgerEvent), logs.text(1), logs.text(2));
        const auto found = named.constFind(key);
        if (found == named.cend())
            named.insert(key, {.ids = *ids, .ambiguous = false});
        else if (found->ids.readerId != ids->readerId || found->ids.bookId != ids->bookId)
            named[key].ambiguous = true;
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
    const LogForm* form = formOfLog(logEvent);
    if (!form)
        return std::nullopt;
    // Compiled once: a shop's log holds a million of these.
    static const std::array patterns = [] {
        std::array<QRegularExpression, kForms.size()> compiled;
        for (std::size_t i = 0; i < kForms.size(); ++i)
            compiled[i] = QRegularExpression(QString::fromUtf8(kForms[i].pattern));
        return compiled;
    }();
    const QRegularExpressionMatch match =
        patterns[static_cast<std::size_t>(form - kForms.data())].match(explanation);
    if (!match.hasMatch() || match.captured(1).isEmpty())
        return std::nullopt;
    return LedgerIds{.readerId = match.captured(1), .bookId = match.captured(2)};
}

int fill(Database& db) {
    const QHash<QString, Named> named = namedByLog(db);
    // Read whole before the first update: a server streams a listing's rows.
    std::vector<std::pair<qint64, LedgerIds>> filled;
    const QString summary = QStringLiteral("资金汇总");
    int unnamed = 0;
    Query ledger(db, QStringLiteral("SELECT rowid, 事件, 时间, 操作者 FROM 资金 ORDER BY rowid"));
    while (ledger.next()) {
        const QString event = ledger.text(1);
        if (event == summary)
            continue;
        const auto found = named.constFind(keyOf(event, ledger.text(2), ledger.text(3)));
        if (found == named.cend() || found->ambiguous)
            ++unnamed;
        else
            filled.emplace_back(ledger.integer(0), found->ids);
    }
    writeIds(db, filled);
    return unnamed;
}

} // namespace lms::LedgerBackfill
