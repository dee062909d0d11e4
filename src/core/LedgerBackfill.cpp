#include "core/LedgerBackfill.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <vector>

namespace lms::LedgerBackfill {

namespace {

// Each ledger event, the log event its operation writes beside it, and the form of that log
// record's explanation: it starts with `lead`, the reader id runs up to `readerEnd` (or to the
// end), and a return's book id follows the reader's up to the first of its two endings. The ids
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

// Moments as numbers, so that a million of them sort and compare without a text each: a stored
// time ("yyyy-MM-dd hh:mm:ss.zzz") is its 17 digits; any other text (an imported shop's) gets a
// negative number of its own; clerks are numbered in the order they come.
class MomentNumbers {
public:
    qint64 time(QByteArrayView text) {
        static constexpr char kForm[] = "0000-00-00 00:00:00.000";
        qint64 digits = 0;
        bool stored = text.size() == qsizetype(sizeof kForm - 1);
        for (qsizetype i = 0; stored && i < text.size(); ++i) {
            if (kForm[i] != '0')
                stored = text[i] == kForm[i];
            else if (text[i] < '0' || text[i] > '9')
                stored = false;
            else
                digits = digits * 10 + (text[i] - '0');
        }
        if (stored)
            return digits;
        const QByteArray other = text.toByteArray();
        const auto found = otherTimes_.constFind(other);
        if (found != otherTimes_.cend())
            return *found;
        return *otherTimes_.insert(other, -1 - otherTimes_.size());
    }
    int clerk(QByteArrayView name) {
        // A shop has a handful of clerks.
        const auto found = std::find(clerks_.cbegin(), clerks_.cend(), name);
        if (found != clerks_.cend())
            return int(found - clerks_.cbegin());
        clerks_.push_back(name.toByteArray());
        return int(clerks_.size()) - 1;
    }

private:
    QHash<QByteArray, qint64> otherTimes_;
    std::vector<QByteArray> clerks_;
};

// One clerk's operation of one kind at one moment.
struct Moment {
    qint64 time;
    int clerk;
    int form;
    auto operator<=>(const Moment&) const = default;
};

// The ids each moment's log names, per ledger event, in the order of their moments; a moment two
// operations of one kind share with different ids names none. The ids' bytes stand in one
// buffer.
struct Named {
    Moment moment;
    qsizetype reader, readerSize, book, bookSize;
    bool ambiguous;
};

struct NamedMoments {
    std::vector<Named> moments;
    QByteArray bytes;
    QByteArrayView reader(const Named& n) const {
        return QByteArrayView(bytes).sliced(n.reader, n.readerSize);
    }
    QByteArrayView book(const Named& n) const {
        return QByteArrayView(bytes).sliced(n.book, n.bookSize);
    }
    const Named* find(const Moment& moment) const {
        const auto found =
            std::lower_bound(moments.cbegin(), moments.cend(), moment,
                             [](const Named& n, const Moment& m) { return n.moment < m; });
        return found != moments.cend() && found->moment == moment ? &*found : nullptr;
    }
};

NamedMoments namedByLog(Database& db, MomentNumbers& numbers) {
    NamedMoments named;
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
        const qsizetype at = named.bytes.size();
        named.bytes.append(ids->reader).append(ids->book);
        named.moments.push_back({.moment = {.time = numbers.time(logs.utf8(1)),
                                            .clerk = numbers.clerk(logs.utf8(2)),
                                            .form = int(*form)},
                                 .reader = at,
                                 .readerSize = ids->reader.size(),
                                 .book = at + ids->reader.size(),
                                 .bookSize = ids->book.size(),
                                 .ambiguous = false});
    }
    std::sort(named.moments.begin(), named.moments.end(),
              [](const Named& a, const Named& b) { return a.moment < b.moment; });
    // One entry a moment: the first, marked when another of the same moment names other ids.
    std::vector<Named> unique;
    unique.reserve(named.moments.size());
    for (const Named& n : named.moments) {
        if (!unique.empty() && unique.back().moment == n.moment) {
            if (named.reader(unique.back()) != named.reader(n) ||
                named.book(unique.back()) != named.book(n))
                unique.back().ambiguous = true;
            continue;
        }
        unique.push_back(n);
    }
    named.moments = std::move(unique);
    return named;
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
    MomentNumbers numbers;
    const NamedMoments named = namedByLog(db, numbers);
    // The ledger event each form stands for, as bytes.
    std::array<QByteArray, kForms.size()> ledgerEvents;
    for (std::size_t i = 0; i < kForms.size(); ++i)
        ledgerEvents[i] = QByteArray(kForms[i].ledgerEvent);
    // Read whole before the update: a server streams a listing's rows.
    RowTexts filled;
    filled.columns = {QStringLiteral("读者编号"), QStringLiteral("图书编号")};
    const QByteArrayView summary("资金汇总");
    int unnamed = 0;
    Query ledger(db, QStringLiteral("SELECT rowid, 事件, 时间, 操作者 FROM 资金 ORDER BY rowid"));
    while (ledger.next()) {
        const QByteArrayView event = ledger.utf8(1);
        if (event == summary)
            continue;
        const auto form = std::find(ledgerEvents.cbegin(), ledgerEvents.cend(), event);
        const Named* found = form == ledgerEvents.cend()
                                 ? nullptr
                                 : named.find({.time = numbers.time(ledger.utf8(2)),
                                               .clerk = numbers.clerk(ledger.utf8(3)),
                                               .form = int(form - ledgerEvents.cbegin())});
        if (!found || found->ambiguous) {
            ++unnamed;
        } else {
            filled.rowids.push_back(ledger.integer(0));
            filled.texts.push_back(named.reader(*found));
            filled.texts.push_back(named.book(*found));
        }
    }
    db.setRowTexts(QStringLiteral("资金"), filled);
    return unnamed;
}

} // namespace lms::LedgerBackfill
