#include "imports/ReaderRows.h"

#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/NumberForms.h"
#include "imports/CellValues.h"
#include "readers/Amounts.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderEntry.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderMessages.h"
#include "readers/ReaderTerms.h"

#include <climits>

namespace lms::Imports {

namespace {

// The columns in the order of `columns()`; the stored values follow the same order.
enum Column {
    Id,
    Name,
    Type,
    Validity,
    Deposit,
    State,
    StateSince,
    BooksOut,
    LoansTotal,
    Sex,
    IdNumber,
    Remark,
    Phone,
    OpenedAt,
    MaxBooks,
    MaxDays,
};

// As "读者查询统计" shows them, then the table's columns it does not show.
const std::vector<ColumnNames> kNames = {
    {"读者编号", "读者编号"},
    {"读者姓名", "读者姓名"},
    {"读者类型", "读者类型"},
    {"租借有效期", "借阅有效期"},
    {"缴纳押金", "押金"},
    {"当前状态", "当前状态"},
    {"状态设置期", "状态设置期"},
    {"未还图书", "未还数量"},
    {"借阅总计", "借阅总计"},
    {"性别", "性别"},
    {"证件号码", "证件号码"},
    {"备注", "备注"},
    {"电话", "电话"},
    {"开户日期", "开户日期"},
    {"最多持有图书数量", "最多持有图书数量"},
    {"最长持有图书天数", "最长持有图书天数"},
};

QString name(Column column) {
    return QString::fromUtf8(kNames[column].listed);
}

} // namespace

const std::vector<ImportColumn>& ReaderRows::columns() const {
    static const std::vector<ImportColumn> list = [] {
        std::vector<ImportColumn> all = importColumns(kNames);
        all[Phone].aliases << QStringLiteral("联系电话");
        for (Column number : {Deposit, BooksOut, LoansTotal, MaxBooks, MaxDays})
            all[number].kind = Csv::CellKind::Number;
        return all;
    }();
    return list;
}

const QStringList& ReaderRows::storedColumns() const {
    static const QStringList list = Imports::storedColumns(kNames);
    return list;
}

void ReaderRows::prepare(Database&, const PubData& pub, const QDateTime& now) {
    pub_ = pub;
    now_ = now;
}

RowVerdict ReaderRows::check(const RowCells& row) const {
    const QString id = row.trimmed(Id);
    if (const auto problem = Readers::checkEntry(id, pub_.ReaderIdMaxLen, row[Name]))
        return RowVerdict::refused(problem->message);
    for (Column oneLine : {Id, Name, IdNumber, Phone})
        if (const QString reason = notOneLine(name(oneLine), oneLine == Id ? id : row[oneLine]);
            !reason.isEmpty())
            return RowVerdict::refused(reason);
    // Registration's fields take no more than these; a file's longer value is refused, not cut.
    const QString remark = Gbk::joinLines(row[Remark]);
    for (const QString& reason : {tooLong(name(Name), row[Name], Readers::kNameBytes),
                                  tooLong(name(IdNumber), row[IdNumber], Readers::kIdNumberBytes),
                                  tooLong(name(Phone), row[Phone], Readers::kPhoneBytes),
                                  tooLong(name(Remark), remark, Readers::kRemarkBytes)})
        if (!reason.isEmpty())
            return RowVerdict::refused(reason);
    const Choice type =
        readChoice(row, Type, name(Type), Readers::types(), Readers::types().at(Readers::Monthly));
    const Choice sex = readChoice(row, Sex, name(Sex), Readers::sexes(), Readers::sexes().at(0));
    const Choice state = readChoice(row, State, name(State), Readers::states(),
                                    Readers::states().at(Readers::NormalUse));
    for (const QString& reason : {type.reason, sex.reason, state.reason})
        if (!reason.isEmpty())
            return RowVerdict::refused(reason);

    // The balance the reader has; none written means none.
    const QString depositText = row.trimmed(Deposit);
    const std::optional<double> deposit =
        depositText.isEmpty() ? std::optional<double>(0.0) : Readers::parseAmount(depositText);
    if (!deposit)
        return RowVerdict::refused(aboutColumn(name(Deposit), Readers::invalidAmountMessage()));

    const Readers::TypeTerms terms =
        Readers::termsOf(static_cast<int>(Readers::types().indexOf(type.value)), pub_);
    const DateCell validity =
        readDate(row, Validity, name(Validity), Readers::periodEnd(terms, now_));
    const DateCell stateSince = readDate(row, StateSince, name(StateSince), now_);
    const DateCell openedAt = readDate(row, OpenedAt, name(OpenedAt), now_);
    const CountCell booksOut = readCount(row, BooksOut, name(BooksOut), 0, INT_MAX, 0);
    const CountCell loansTotal = readCount(row, LoansTotal, name(LoansTotal), 0, INT_MAX, 0);
    const CountCell maxBooks =
        readCount(row, MaxBooks, name(MaxBooks), INT_MIN, INT_MAX, terms.maxBooks);
    const CountCell maxDays = readCount(row, MaxDays, name(MaxDays), -Dates::kLongestDaySpan,
                                        Dates::kLongestDaySpan, terms.maxDays);
    for (const QString& reason :
         {validity.reason, stateSince.reason, openedAt.reason, booksOut.reason, loansTotal.reason,
          maxBooks.reason, maxDays.reason})
        if (!reason.isEmpty())
            return RowVerdict::refused(reason);
    if (booksOut.value > 0)
        return RowVerdict::refused(
            QStringLiteral("未还图书：读者还有%1本书未还，借出记录不随文件而来，"
                           "请在图书归还后导入，或改为0")
                .arg(booksOut.value));

    return {{},
            {id, row[Name], type.value, Dates::toStorage(validity.value), *deposit, state.value,
             Dates::toStorage(stateSince.value), 0, loansTotal.value, sex.value, row[IdNumber],
             remark, row[Phone], Dates::toStorage(openedAt.value), maxBooks.value, maxDays.value}};
}

QString ReaderRows::existsReason(const QString& id) const {
    return Readers::alreadyExistsMessage(id);
}

QString ReaderRows::logDetails(const std::vector<QVariantList>& values) const {
    double deposits = 0;
    for (const QVariantList& row : values)
        if (!row.isEmpty())
            deposits += row[Deposit].toDouble();
    return QStringLiteral("押金合计(元)：") + Numbers::generalForm(deposits);
}

} // namespace lms::Imports
