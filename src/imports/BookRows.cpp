#include "imports/BookRows.h"

#include "books/BookDomains.h"
#include "books/BookEntry.h"
#include "books/BookMessages.h"
#include "books/BookTypes.h"
#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/pubdata.h"
#include "imports/CellValues.h"

#include <climits>

namespace lms::Imports {

namespace {

// The columns in the order of `columns()`; the stored values follow the same order.
enum Column {
    Id,
    Title,
    Type,
    Author,
    Attachments,
    Price,
    Remark,
    State,
    StateSince,
    TimesLent,
    EnteredAt,
};

// "所有图书查询" shows every column under the table's own name.
const std::vector<ColumnNames> kNames = {
    {"图书编号", "图书编号"}, {"图书名称", "图书名称"}, {"图书类型", "图书类型"},
    {"作者", "作者"},         {"附件", "附件"},         {"价格", "价格"},
    {"备注", "备注"},         {"当前状态", "当前状态"}, {"状态设置期", "状态设置期"},
    {"借阅次数", "借阅次数"}, {"录入时间", "录入时间"},
};

QString name(Column column) {
    return QString::fromUtf8(kNames[column].listed);
}

} // namespace

const std::vector<ImportColumn>& BookRows::columns() const {
    static const std::vector<ImportColumn> list = [] {
        std::vector<ImportColumn> all = importColumns(kNames);
        for (Column number : {Price, TimesLent})
            all[number].kind = Csv::CellKind::Number;
        return all;
    }();
    return list;
}

const QStringList& BookRows::storedColumns() const {
    static const QStringList list = Imports::storedColumns(kNames);
    return list;
}

void BookRows::prepare(Database& db, const PubData& pub, const QDateTime& now) {
    types_ = Books::loadBookTypes(db);
    idMaxBytes_ = pub.BookIdMaxLen;
    now_ = now;
}

RowVerdict BookRows::check(const RowCells& row) const {
    const QString id = row.trimmed(Id);
    const QString price = row[Price];
    if (const auto problem = Books::checkEntry(id, idMaxBytes_, row[Title], price)) {
        const Column about[] = {Id, Title, Price}; // in the order of Books::EntryField
        return RowVerdict::refused(
            aboutColumn(name(about[static_cast<int>(problem->field)]), problem->message));
    }
    for (Column oneLine : {Id, Title, Author, Attachments, Price})
        if (const QString reason = notOneLine(name(oneLine), oneLine == Id ? id : row[oneLine]);
            !reason.isEmpty())
            return RowVerdict::refused(reason);
    // Registration offers the first type of the list (none when the list is empty).
    const Choice type = readChoice(row, Type, name(Type), types_, types_.value(0));
    // The shop's types may be many: the reason names the place to add one, not the list.
    if (!type.reason.isEmpty())
        return RowVerdict::refused(
            name(Type) + QStringLiteral("：") + quoted(row.trimmed(Type)) +
            QStringLiteral("不是系统中的图书类型（可在“系统参数设置”中添加）"));
    const QString remark = Gbk::joinLines(row[Remark]);
    if (const QString reason = tooLong(name(Remark), remark, Books::kRemarkBytes);
        !reason.isEmpty())
        return RowVerdict::refused(reason);
    const Choice state =
        readChoice(row, State, name(State), Books::states(), Books::states().at(Books::OnShelf));
    if (!state.reason.isEmpty())
        return RowVerdict::refused(state.reason);
    if (state.value == Books::states().at(Books::Lent))
        return RowVerdict::refused(
            QStringLiteral("当前状态：“已借出”的图书没有随文件而来的借出记录，"
                           "请在图书归还后导入，或改为“未借出”"));
    const DateCell stateSince = readDate(row, StateSince, name(StateSince), now_);
    const CountCell timesLent = readCount(row, TimesLent, name(TimesLent), 0, INT_MAX, 0);
    const DateCell enteredAt = readDate(row, EnteredAt, name(EnteredAt), now_);
    for (const QString& reason : {stateSince.reason, timesLent.reason, enteredAt.reason})
        if (!reason.isEmpty())
            return RowVerdict::refused(reason);
    return {{},
            {id, row[Title], type.value, row[Author], row[Attachments], price, remark, state.value,
             Dates::toStorage(stateSince.value), timesLent.value,
             Dates::toStorage(enteredAt.value)}};
}

QString BookRows::existsReason(const QString& id) const {
    return Books::alreadyExistsMessage(id);
}

} // namespace lms::Imports
