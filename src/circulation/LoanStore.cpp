#include "circulation/LoanStore.h"

#include "reports/Receipt.h"

#include "books/BookDomains.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderStore.h"

namespace lms::Circulation {

std::optional<LoanRow> loanOfBook(Database& db, const QString& bookId) {
    Query query(db,
                QStringLiteral("SELECT 图书编号, 读者编号, 借出日期, 最晚归还日期, 图书名称 FROM "
                               "借出图书 WHERE 图书编号 = ? ORDER BY rowid"));
    query.bind(1, bookId);
    if (!query.next())
        return std::nullopt;
    return LoanRow{query.text(0), query.text(1), query.storedDate(2), query.storedDate(3),
                   query.text(4)};
}

QList<OpenLoan> openLoans(Database& db, const QString& readerId) {
    // A loan whose book row is gone (an old shop's file may hold one) is listed with the title
    // the loan kept, so that it can still be returned.
    Query query(db, QStringLiteral("SELECT 借出图书.图书编号, COALESCE(图书.图书名称, "
                                   "借出图书.图书名称) FROM 借出图书 LEFT JOIN 图书 ON "
                                   "借出图书.图书编号 = 图书.图书编号 WHERE 借出图书.读者编号 = ? "
                                   "ORDER BY 借出图书.rowid"));
    query.bind(1, readerId);
    QList<OpenLoan> loans;
    while (query.next())
        loans.append({query.text(0), query.text(1)});
    return loans;
}

namespace {

// The validity stored with a loan or a return: the stored one, extended for idle time as the
// stored row says now (so a renewal or a hand change at another desk since the lookup counts),
// or now for a pay-per-day reader; never earlier than the stored one. Stored moments compare as
// their text.
QString validityUpdate() {
    return QStringLiteral("借阅有效期 = CASE WHEN 借阅有效期 > ? THEN 借阅有效期 ELSE ? END");
}
QVariantList validityValues(const Readers::ReaderRecord& stored, const DeskCopy& desk,
                            const QDateTime& now) {
    const QString shown =
        Dates::toStorage(stored.validityOnScreen(desk.autoExtendValidity, now).validity);
    return {shown, shown};
}

bool stateForbids(const Readers::ReaderRecord& reader) {
    const int state = reader.stateIndex();
    return state == Readers::Suspended || state == Readers::LostStopped;
}

// Whether the lookup's acceptance of the reader still holds for a loan: the state allows it,
// the validity has not run out, and the limit was not reached unasked.
bool stillMayBorrow(const Readers::ReaderRecord& stored, const DeskCopy& desk,
                    const QDateTime& now) {
    if (stateForbids(stored))
        return false;
    const QDateTime validity = stored.validityOnScreen(desk.autoExtendValidity, now).validity;
    if (Dates::dayNumber(validity) < Dates::dayNumber(now))
        return false;
    const Readers::ReaderRecord& looked = desk.reader;
    return stored.booksOut < stored.maxBooks || looked.booksOut >= looked.maxBooks;
}

// The reader's remark when the clerk changed it: "备注 = ?, " and its value.
void remarkUpdate(const QString& remark, const QString& shown, QString& sql, QVariantList& values) {
    if (remark == shown)
        return;
    sql += QStringLiteral("备注 = ?, ");
    values << remark;
}

} // namespace

LendOutcome lend(Tdm_Dbase& dm, const Lending& lending, StoredRows* stored) {
    StoredRows rows;
    const DeskCopy& desk = lending.desk;
    const QString& readerId = desk.reader.id;
    Database& db = dm.db();
    Transaction transaction(db);
    // Only a book on the shelf is lent, so a book never has two loans.
    QString bookSql = QStringLiteral("UPDATE 图书 SET ");
    QVariantList bookValues;
    remarkUpdate(desk.bookRemark, desk.shownBookRemark, bookSql, bookValues);
    bookSql += QStringLiteral("当前状态 = ?, 状态设置期 = ?, 借阅次数 = COALESCE(借阅次数, 0) + 1 "
                              "WHERE 图书编号 = ? AND 当前状态 = ?");
    bookValues << Books::states().at(Books::Lent) << Dates::toStorage(lending.now) << lending.bookId
               << Books::states().at(Books::OnShelf);
    if (Query(db, bookSql).bindAll(bookValues).execCounted() != 1)
        return LendOutcome::BookNotOnShelf;
    // Returning early rolls the book's change back.
    const std::optional<Readers::ReaderRecord> reader = Readers::loadReader(db, readerId);
    if (!reader)
        return LendOutcome::ReaderGone;
    if (!stillMayBorrow(*reader, desk, lending.now))
        return LendOutcome::ReaderRefused;
    Query(db, QStringLiteral("INSERT INTO 借出图书 (图书编号, 图书名称, 读者编号, 读者姓名, "
                             "借出日期, 最晚归还日期) VALUES (?, ?, ?, ?, ?, ?)"))
        .bindAll({lending.bookId, lending.bookTitle, readerId, lending.readerName,
                  Dates::toStorage(lending.now),
                  Dates::toStorage(Dates::plusDays(lending.now, lending.loanDays))})
        .exec();
    rows.loanRow = Receipts::lastRowid(db, QStringLiteral("借出图书"));
    // The counters grow from what is stored, so a loan made in another window is not lost.
    QString readerSql = QStringLiteral("UPDATE 读者 SET ");
    QVariantList readerValues;
    remarkUpdate(desk.readerRemark, desk.shownReaderRemark, readerSql, readerValues);
    readerSql += validityUpdate() +
                 QStringLiteral(", 状态设置期 = ?, 未还数量 = COALESCE(未还数量, 0) + 1, "
                                "借阅总计 = COALESCE(借阅总计, 0) + 1 WHERE 读者编号 = ?");
    readerValues << validityValues(*reader, desk, lending.now) << Dates::toStorage(lending.now)
                 << readerId;
    if (Query(db, readerSql).bindAll(readerValues).execCounted() != 1)
        throw DbError(0, "the reader of the loan is gone");
    dm.appendLog(QStringLiteral("读者借书"), lending.user, lending.now,
                 QStringLiteral("读者编号：") + readerId + QStringLiteral(" 图书编号：") +
                     lending.bookId);
    rows.logRow = Receipts::lastRowid(db, QStringLiteral("日志"));
    transaction.commit();
    if (stored)
        *stored = rows;
    return LendOutcome::Lent;
}

ReturnOutcome giveBack(Tdm_Dbase& dm, const Returning& r, StoredRows* stored) {
    StoredRows rows;
    const DeskCopy& desk = r.desk;
    const QString& readerId = desk.reader.id;
    Database& db = dm.db();
    Transaction transaction(db);
    const std::optional<Readers::ReaderRecord> reader = Readers::loadReader(db, readerId);
    if (reader && stateForbids(*reader))
        return ReturnOutcome::ReaderRefused;
    const int loansEnded =
        Query(db, QStringLiteral("DELETE FROM 借出图书 WHERE 图书编号 = ? AND 读者编号 = ?"))
            .bindAll({r.bookId, readerId})
            .execCounted();
    if (loansEnded == 0)
        return ReturnOutcome::NoSuchLoan;
    if (!reader)
        throw DbError(0, "the reader of the loan is gone");
    QString bookSql = QStringLiteral("UPDATE 图书 SET ");
    QVariantList bookValues;
    remarkUpdate(desk.bookRemark, desk.shownBookRemark, bookSql, bookValues);
    bookSql += QStringLiteral("当前状态 = ?, 状态设置期 = ? WHERE 图书编号 = ?");
    bookValues << Books::states().at(r.damagedOrLost ? Books::DamagedOrLost : Books::OnShelf)
               << Dates::toStorage(r.now) << r.bookId;
    if (Query(db, bookSql).bindAll(bookValues).execCounted() > 1)
        throw DbError(0, "the returned book is there twice");
    const QString totalText = Numbers::twoDecimalForm(r.amounts.total);
    // The count follows the loan rows that ended, so it always equals the rows left; the
    // deposit falls from what is stored.
    QString readerSql = QStringLiteral("UPDATE 读者 SET ");
    QVariantList readerValues;
    remarkUpdate(desk.readerRemark, desk.shownReaderRemark, readerSql, readerValues);
    readerSql +=
        validityUpdate() + QStringLiteral(", 状态设置期 = ?, 未还数量 = COALESCE(未还数量, 0) - ?, "
                                          "押金 = COALESCE(押金, 0) - ? WHERE 读者编号 = ?");
    readerValues << validityValues(*reader, desk, r.now) << Dates::toStorage(r.now) << loansEnded
                 << (r.fromDeposit ? r.amounts.total : 0.0) << readerId;
    if (Query(db, readerSql).bindAll(readerValues).execCounted() != 1)
        throw DbError(0, "the reader of the loan is gone");
    Query(db,
          QStringLiteral("INSERT INTO 图书借阅历史记录 (图书编号, 图书名称, 读者编号, 读者姓名, "
                         "借阅日期, 归还日期, 备注) VALUES (?, ?, ?, ?, ?, ?, ?)"))
        .bindAll({r.bookId, r.bookTitle, readerId, r.readerName, Dates::toStorage(r.lentAt),
                  Dates::toStorage(r.now),
                  r.damagedOrLost ? QVariant(QStringLiteral("破损或遗失")) : QVariant()})
        .exec();
    rows.historyRow = Receipts::lastRowid(db, QStringLiteral("图书借阅历史记录"));
    QString explanation =
        QStringLiteral("读者编号：") + readerId + QStringLiteral(" 图书编号：") + r.bookId;
    if (r.damagedOrLost)
        explanation += QStringLiteral(" 图书已破损或遗失,");
    explanation += QStringLiteral(" 缴纳费用总计：") + totalText + QStringLiteral("元,");
    if (r.fromDeposit)
        explanation += QStringLiteral(" 已从押金中扣除。");
    dm.appendLog(QStringLiteral("读者归书"), r.user, r.now, explanation);
    const auto total = static_cast<float>(r.amounts.total);
    // Charges taken from the deposit are no cash: the deposit falls by the total instead.
    dm.appendLedger(QStringLiteral("读者还书"), r.user, r.now,
                    {.total = r.fromDeposit ? 0.0f : total,
                     .deposit = r.fromDeposit ? -total : 0.0f,
                     .rent = static_cast<float>(r.amounts.rent),
                     .fine = static_cast<float>(r.amounts.fine),
                     .compensation = static_cast<float>(r.amounts.compensation)},
                    {.readerId = readerId, .bookId = r.bookId});
    rows.ledgerRow = Receipts::lastRowid(db, QStringLiteral("资金"));
    transaction.commit();
    if (stored)
        *stored = rows;
    return ReturnOutcome::Returned;
}

} // namespace lms::Circulation
