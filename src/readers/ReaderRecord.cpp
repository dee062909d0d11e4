#include "readers/ReaderRecord.h"

#include "core/Database.h"
#include "core/DateRules.h"
#include "readers/ReaderDomains.h"

namespace lms::Readers {

namespace {

int readInt(const Query& query, int column) {
    return static_cast<int>(query.integer(column));
}

} // namespace

int ReaderRecord::typeIndex() const {
    return static_cast<int>(types().indexOf(type));
}

int ReaderRecord::stateIndex() const {
    return static_cast<int>(states().indexOf(state));
}

ShownValidity ReaderRecord::shownValidity(bool autoExtendValidity, const QDateTime& now) const {
    return withIdleExtension(validity, stateIndex(), booksOut, stateSince, autoExtendValidity, now);
}

std::optional<ReaderRecord> loadReader(Database& db, const QString& id) {
    Query query(db,
                QStringLiteral("SELECT 读者编号, 读者类型, 读者姓名, 性别, 证件号码, 电话, "
                               "开户日期, 押金, 借阅有效期, 最多持有图书数量, 最长持有图书天数, "
                               "备注, 未还数量, 借阅总计, 当前状态, 状态设置期 "
                               "FROM 读者 WHERE 读者编号 = ?"));
    query.bind(1, id);
    if (!query.next())
        return std::nullopt;
    ReaderRecord reader;
    reader.id = query.text(0);
    reader.type = query.text(1);
    reader.name = query.text(2);
    reader.sex = query.text(3);
    reader.idNumber = query.text(4);
    reader.phone = query.text(5);
    reader.openedAt = query.storedDate(6);
    reader.deposit = query.real(7);
    reader.validity = query.storedDate(8);
    reader.maxBooks = readInt(query, 9);
    reader.maxDays = readInt(query, 10);
    reader.remark = query.text(11);
    reader.booksOut = readInt(query, 12);
    reader.loansTotal = readInt(query, 13);
    reader.state = query.text(14);
    reader.stateSince = query.storedDate(15);
    return reader;
}

} // namespace lms::Readers
