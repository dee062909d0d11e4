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

// The columns in the order of `columns()`.
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
    EnteredAt
};

QString name(Column column) {
    static const QStringList names = {
        QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("图书类型"),
        QStringLiteral("作者"),     QStringLiteral("附件"),     QStringLiteral("价格"),
        QStringLiteral("备注"),     QStringLiteral("当前状态"), QStringLiteral("状态设置期"),
        QStringLiteral("借阅次数"), QStringLiteral("录入时间")};
    return names.at(column);
}

RowVerdict refused(const QString& reason) {
    return {reason, {}};
}

} // namespace

const std::vector<ImportColumn>& BookRows::columns() const {
    static const std::vector<ImportColumn> list = [] {
        std::vector<ImportColumn> all;
        for (int c = Id; c <= EnteredAt; ++c)
            all.push_back({.name = name(Column(c)), .required = c == Id || c == Title});
        return all;
    }();
    return list;
}

const QStringList& BookRows::storedColumns() const {
    static const QStringList list = [] {
        QStringList all;
        for (int c = Id; c <= EnteredAt; ++c)
            all << name(Column(c));
        return all;
    }();
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
        return refused(
            aboutColumn(name(about[static_cast<int>(problem->field)]), problem->message));
    }
    // Registration offers the first type of the list (none when the list is empty).
    const Choice type = readChoice(row, Type, name(Type), types_, types_.value(0));
    if (!type.reason.isEmpty())
        return refused(type.reason + QStringLiteral("（可在“系统参数设置”中添加图书类型）"));
    const QString remark = Gbk::joinLines(row[Remark]);
    if (const QString reason = tooLong(name(Remark), remark, Books::kRemarkBytes);
        !reason.isEmpty())
        return refused(reason);
    const Choice state =
        readChoice(row, State, name(State), Books::states(), Books::states().at(Books::OnShelf));
    if (!state.reason.isEmpty())
        return refused(state.reason);
    if (state.value == Books::states().at(Books::Lent))
        return refused(QStringLiteral("当前状态：“已借出”的图书没有随文件而来的借出记录，"
                                      "请在图书归还后导入，或改为“未借出”"));
    const DateCell stateSince = readDate(row, StateSince, name(StateSince), now_);
    const CountCell timesLent = readCount(row, TimesLent, name(TimesLent), 0, INT_MAX, 0);
    const DateCell enteredAt = readDate(row, EnteredAt, name(EnteredAt), now_);
    for (const QString& reason : {stateSince.reason, timesLent.reason, enteredAt.reason})
        if (!reason.isEmpty())
            return refused(reason);
    return {{},
            {id, row[Title], type.value, row[Author], row[Attachments], price, remark, state.value,
             Dates::toStorage(stateSince.value), timesLent.value,
             Dates::toStorage(enteredAt.value)}};
}

QString BookRows::existsReason(const QString& id) const {
    return Books::alreadyExistsMessage(id);
}

} // namespace lms::Imports
