#include "ChangeChecks.h"

#include "core/Database.h"

namespace lms::crash {

namespace {

const QString kValidity = QStringLiteral("借阅有效期");
const QString kState = QStringLiteral("当前状态");
const QString kLent = QStringLiteral("已借出");
const QString kType = QStringLiteral("读者类型");
// A reader renting by the day has no rental period: the screens show and store "now" as the
// validity, and each desk's clock is its own.
const QString kDaily = QStringLiteral("按日租借");
const QString kSuspended = QStringLiteral("暂停使用");
const QString kStopped = QStringLiteral("挂失停用");
const QString kReaderChange = QStringLiteral("更改读者信息");
const QString kBookChange = QStringLiteral("更改图书信息");

// The rows of a query by their first column, each column by its name in `columns`.
QHash<QString, QHash<QString, QString>> storedRows(Database& db, const QString& sql,
                                                   const QStringList& columns) {
    QHash<QString, QHash<QString, QString>> rows;
    Query q(db, sql);
    while (q.next()) {
        QHash<QString, QString>& row = rows[q.text(0)];
        for (int c = 1; c < q.columnCount(); ++c)
            row.insert(columns.value(c - 1), q.text(c));
    }
    return rows;
}

} // namespace

Intents intentsIn(const QList<QList<JournalEntry>>& journals) {
    Intents intents;
    for (const QList<JournalEntry>& journal : journals)
        for (const JournalEntry& e : journal)
            if (e.kind == JournalEntry::Kind::Intent)
                intents.insert(e.moment, e);
    return intents;
}

void ChangeReplay::readerAdded(const QString& id, const QString& name, const QString& type) {
    const QString setBy = QStringLiteral("添加读者");
    readers_[id] = {{QStringLiteral("读者姓名"), {name, setBy}},
                    {QStringLiteral("电话"), {QString(), setBy}},
                    {QStringLiteral("读者类型"), {type, setBy}},
                    {kState, {QStringLiteral("正常使用"), setBy}}};
}

void ChangeReplay::bookAdded(const QString& id, const QString& title) {
    const QString setBy = QStringLiteral("添加图书");
    books_[id] = {{QStringLiteral("图书名称"), {title, setBy}},
                  {QStringLiteral("备注"), {QString(), setBy}}};
}

const JournalEntry* ChangeReplay::intentAt(const QString& event, const QString& moment,
                                           const QString& id, const QString& where,
                                           QStringList& failures) const {
    const auto it = intents_.constFind(moment);
    if (it == intents_.cend() || it->event != event) {
        // Payments are journaled only where clerks change rows too.
        if (event != QStringLiteral("缴费充值"))
            failures << QStringLiteral("%1 of %2 at %3 has no intent in any journal")
                                .arg(event, id, moment) +
                            where;
        return nullptr;
    }
    if (it->row != id) {
        failures << QStringLiteral("%1 at %2 logged for %3, journaled for %4")
                            .arg(event, moment, id, it->row) +
                        where;
        return nullptr;
    }
    return &*it;
}

void ChangeReplay::apply(Columns& row, const JournalEntry& intent, const QString& kind,
                         const QString& where, QStringList& failures) {
    const QString by = intent.event + QStringLiteral(" at ") + intent.moment;
    for (const ColumnChange& c : intent.changes) {
        const auto known = row.constFind(c.column);
        if (known != row.cend() && c.loaded != ColumnChange::kNotShown) {
            // The validity a screen shows holds idle days beyond the stored one: never less.
            const bool stale =
                c.column == kValidity ? c.loaded < known->value : c.loaded != known->value;
            if (stale)
                failures << QStringLiteral("%1 %2: %3 loaded %4 \"%5\" where the log implies "
                                           "\"%6\" (stored by %7) and wrote \"%8\": a change "
                                           "was written over one it had not seen")
                                    .arg(kind, intent.row, by, c.column, c.loaded, known->value,
                                         known->setBy, c.stored) +
                                where;
        }
        row[c.column] = {c.stored, by};
    }
}

void ChangeReplay::readerWritten(const QString& event, const QString& moment, const QString& id,
                                 int booksOut, const QString& where, QStringList& failures) {
    if (!readers_.contains(id))
        return;
    Columns& row = readers_[id];
    const JournalEntry* intent = intentAt(event, moment, id, where, failures);
    if (!intent) {
        for (const QString& column :
             {kValidity, QStringLiteral("读者类型"), QStringLiteral("最多持有图书数量"),
              QStringLiteral("最长持有图书天数")})
            row.remove(column);
        return;
    }
    const auto daily = [&row] { return row.value(kType).value == kDaily; };
    if (daily())
        row.remove(kValidity);
    apply(row, *intent, QStringLiteral("reader"), where, failures);
    if (daily())
        row.remove(kValidity);
    for (const ColumnChange& c : intent->changes)
        if (c.column == kState && c.stored == kSuspended && booksOut > 0)
            failures << QStringLiteral("reader %1 set to %2 with %3 books out")
                                .arg(id, kSuspended)
                                .arg(booksOut) +
                            where;
}

void ChangeReplay::bookChanged(const QString& moment, const QString& id, bool lent, QString& state,
                               const QString& where, QStringList& failures) {
    const JournalEntry* intent = intentAt(kBookChange, moment, id, where, failures);
    if (!intent || !books_.contains(id))
        return;
    // The state is replayed with the loans, by the caller.
    apply(books_[id], *intent, QStringLiteral("book"), where, failures);
    books_[id].remove(kState);
    for (const ColumnChange& c : intent->changes) {
        if (c.column != kState)
            continue;
        if (c.loaded != state)
            failures << QStringLiteral("book %1: state set to %2 over %3, having loaded %4")
                                .arg(id, c.stored, state, c.loaded) +
                            where;
        if (c.stored == kLent)
            failures << QStringLiteral("book %1 set to %2 by hand").arg(id, kLent) + where;
        else if (lent)
            failures << QStringLiteral("book %1 set to %2 by hand while its loan is open")
                                .arg(id, c.stored) +
                            where;
        state = c.stored;
    }
}

QString ChangeReplay::lendRefusedBy(const QString& reader) const {
    const auto row = readers_.constFind(reader);
    if (row == readers_.cend())
        return {};
    const Known state = row->value(kState);
    if (state.value != kSuspended && state.value != kStopped)
        return {};
    return state.value + QStringLiteral(" (set by ") + state.setBy + QLatin1Char(')');
}

void ChangeReplay::compareRow(const QString& kind, const QString& id, const Columns& row,
                              const QHash<QString, QString>& stored, QStringList& failures) {
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        const QString now = stored.value(it.key());
        // A loan or return may carry the validity on by idle days, never back.
        const bool lost = it.key() == kValidity ? now < it->value : now != it->value;
        if (lost)
            failures << QStringLiteral("%1 %2: %3 \"%4\", but %5 stored \"%6\"")
                            .arg(kind, id, it.key(), now, it->setBy, it->value);
    }
}

void ChangeReplay::compareStored(Database& db, QStringList& failures) const {
    const QStringList readerColumns = {QStringLiteral("读者姓名"),
                                       QStringLiteral("电话"),
                                       QStringLiteral("读者类型"),
                                       QStringLiteral("最多持有图书数量"),
                                       QStringLiteral("最长持有图书天数"),
                                       kValidity,
                                       kState};
    const auto readers = storedRows(
        db,
        QStringLiteral("SELECT 读者编号, 读者姓名, COALESCE(电话, ''), 读者类型, "
                       "最多持有图书数量, 最长持有图书天数, COALESCE(借阅有效期, ''), 当前状态 "
                       "FROM 读者"),
        readerColumns);
    for (auto it = readers_.cbegin(); it != readers_.cend(); ++it)
        if (readers.contains(it.key()))
            compareRow(QStringLiteral("reader"), it.key(), *it, readers[it.key()], failures);
    const auto books =
        storedRows(db, QStringLiteral("SELECT 图书编号, 图书名称, COALESCE(备注, '') FROM 图书"),
                   {QStringLiteral("图书名称"), QStringLiteral("备注")});
    for (auto it = books_.cbegin(); it != books_.cend(); ++it)
        if (books.contains(it.key()))
            compareRow(QStringLiteral("book"), it.key(), *it, books[it.key()], failures);
}

} // namespace lms::crash
