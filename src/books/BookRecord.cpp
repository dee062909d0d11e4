#include "books/BookRecord.h"

#include "books/BookDomains.h"
#include "books/BookMessages.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/FormModel.h"
#include "core/form/Prompter.h"
#include "core/form/StoredValues.h"

#include <utility>
#include <vector>

namespace lms::Books {

namespace {

QDateTime readDate(const Query& query, int column) {
    const QDateTime moment = Dates::fromStorage(query.text(column));
    if (!moment.isValid())
        throw DbError(0, "unreadable date in 图书." + query.columnName(column).toStdString());
    return moment;
}

} // namespace

int BookRecord::stateIndex() const {
    return static_cast<int>(states().indexOf(state));
}

std::optional<BookRecord> loadBook(Database& db, const QString& id) {
    Query query(db, QStringLiteral("SELECT 图书编号, 图书类型, 图书名称, 作者, 附件, 价格, 备注, "
                                   "当前状态, 状态设置期, 录入时间, 借阅次数 "
                                   "FROM 图书 WHERE 图书编号 = ?"));
    query.bind(1, id);
    if (!query.next())
        return std::nullopt;
    BookRecord book;
    book.id = query.text(0);
    book.type = query.text(1);
    book.title = query.text(2);
    book.author = query.text(3);
    book.attachments = query.text(4);
    book.price = query.text(5);
    book.remark = query.text(6);
    book.state = query.text(7);
    book.stateSince = readDate(query, 8);
    book.enteredAt = readDate(query, 9);
    book.timesLent = static_cast<int>(query.integer(10));
    return book;
}

BookLookup lookUpBook(Tdm_Dbase& dm, Prompter& prompter, const QString& id) {
    BookLookup result;
    try {
        std::optional<BookRecord> book = loadBook(dm.db(), id);
        if (!book) {
            prompter.error(notFoundMessage(id));
            result.outcome = LookupOutcome::NotFound;
            return result;
        }
        result.outcome = LookupOutcome::Found;
        result.book = std::move(*book);
    } catch (const DbError&) {
        prompter.error(Messages::databaseError());
        result.outcome = LookupOutcome::Failed;
    }
    return result;
}

void showBook(FormModel& screen, const BookRecord& book) {
    const std::vector<std::pair<QString, QVariant>> values = {
        {QStringLiteral("tsmz"), book.title},         {QStringLiteral("tsrx"), book.type},
        {QStringLiteral("tszz"), book.author},        {QStringLiteral("tsjg"), book.price},
        {QStringLiteral("tsfj"), book.attachments},   {QStringLiteral("tsbz"), book.remark},
        {QStringLiteral("nnsj"), book.enteredAt},     {QStringLiteral("tszt"), book.state},
        {QStringLiteral("tsztszq"), book.stateSince}, {QStringLiteral("tszjcs"), book.timesLent},
    };
    for (const auto& [name, value] : values) {
        if (screen.hasField(name))
            showStored(screen.field(name), value);
    }
}

} // namespace lms::Books
