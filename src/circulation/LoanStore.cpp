#include "circulation/LoanStore.h"

#include "reports/Receipt.h"

#include "books/BookDomains.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"

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

// The validity a desk shows (the stored one, extended for idle time) or the stored one when that
// is later: a renewal paid at another desk since the reader was looked up is never taken back.
// Stored moments compare as their text. Takes the shown validity twice.
namespace {
QString laterValidity() {
    return QStringLiteral("CASE WHEN 借阅有效期 > ? THEN 借阅有效期 ELSE ? END");
}
} // namespace

LendOutcome lend(Tdm_Dbase& dm, const Lending& lending, StoredRows* stored) {
    StoredRows rows;
    Database& db = dm.db();
    Transaction transaction(db);
    // Only a book on the shelf is lent, so a book never has two loans.
    if (Query(db, QStringLiteral("UPDATE 图书 SET 备注 = ?, 当前状态 = ?, 状态设置期 = ?, "
                                 "借阅次数 = COALESCE(借阅次数, 0) + 1 "
                                 "WHERE 图书编号 = ? AND 当前状态 = ?"))
            .bindAll({lending.bookRemark, Books::states().at(Books::Lent),
                      Dates::toStorage(lending.now), lending.bookId,
                      Books::states().at(Books::OnShelf)})
            .execCounted() != 1)
        return LendOutcome::BookNotOnShelf;
    Query(db, QStringLiteral("INSERT INTO 借出图书 (图书编号, 图书名称, 读者编号, 读者姓名, "
                             "借出日期, 最晚归还日期) VALUES (?, ?, ?, ?, ?, ?)"))
        .bindAll({lending.bookId, lending.bookTitle, lending.readerId, lending.readerName,
                  Dates::toStorage(lending.now),
                  Dates::toStorage(Dates::plusDays(lending.now, lending.loanDays))})
        .exec();
    rows.loanRow = Receipts::lastRowid(db, QStringLiteral("借出图书"));
    // The counters grow from what is stored, so a loan made in another window is not lost.
    if (Query(db, QStringLiteral("UPDATE 读者 SET 备注 = ?, 借阅有效期 = ") + laterValidity() +
                      QStringLiteral(", 状态设置期 = ?, 未还数量 = COALESCE(未还数量, 0) + 1, "
                                     "借阅总计 = COALESCE(借阅总计, 0) + 1 WHERE 读者编号 = ?"))
            .bindAll({lending.readerRemark, Dates::toStorage(lending.validity),
                      Dates::toStorage(lending.validity), Dates::toStorage(lending.now),
                      lending.readerId})
            .execCounted() != 1)
        return LendOutcome::ReaderGone;
    dm.appendLog(QStringLiteral("读者借书"), lending.user, lending.now,
                 QStringLiteral("读者编号：") + lending.readerId + QStringLiteral(" 图书编号：") +
                     lending.bookId);
    rows.logRow = Receipts::lastRowid(db, QStringLiteral("日志"));
    transaction.commit();
    if (stored)
        *stored = rows;
    return LendOutcome::Lent;
}

ReturnOutcome giveBack(Tdm_Dbase& dm, const Returning& r, StoredRows* stored) {
    StoredRows rows;
    Database& db = dm.db();
    Transaction transaction(db);
    const int loansEnded =
        Query(db, QStringLiteral("DELETE FROM 借出图书 WHERE 图书编号 = ? AND 读者编号 = ?"))
            .bindAll({r.bookId, r.readerId})
            .execCounted();
    if (loansEnded == 0)
        return ReturnOutcome::NoSuchLoan;
    if (Query(db, QStringLiteral("UPDATE 图书 SET 备注 = ?, 当前状态 = ?, 状态设置期 = ? "
                                 "WHERE 图书编号 = ?"))
            .bindAll({r.bookRemark,
                      Books::states().at(r.damagedOrLost ? Books::DamagedOrLost : Books::OnShelf),
                      Dates::toStorage(r.now), r.bookId})
            .execCounted() > 1)
        throw DbError(0, "the returned book is there twice");
    const QString totalText = Numbers::twoDecimalForm(r.amounts.total);
    // The count follows the loan rows that ended, so it always equals the rows left.
    if (Query(db, QStringLiteral("UPDATE 读者 SET 备注 = ?, 借阅有效期 = ") + laterValidity() +
                      QStringLiteral(", 状态设置期 = ?, 未还数量 = COALESCE(未还数量, 0) - ?, "
                                     "押金 = COALESCE(押金, 0) - ? WHERE 读者编号 = ?"))
            .bindAll({r.readerRemark, Dates::toStorage(r.validity), Dates::toStorage(r.validity),
                      Dates::toStorage(r.now), loansEnded, r.fromDeposit ? r.amounts.total : 0.0,
                      r.readerId})
            .execCounted() != 1)
        throw DbError(0, "the reader of the loan is gone");
    Query(db,
          QStringLiteral("INSERT INTO 图书借阅历史记录 (图书编号, 图书名称, 读者编号, 读者姓名, "
                         "借阅日期, 归还日期, 备注) VALUES (?, ?, ?, ?, ?, ?, ?)"))
        .bindAll({r.bookId, r.bookTitle, r.readerId, r.readerName, Dates::toStorage(r.lentAt),
                  Dates::toStorage(r.now),
                  r.damagedOrLost ? QVariant(QStringLiteral("破损或遗失")) : QVariant()})
        .exec();
    rows.historyRow = Receipts::lastRowid(db, QStringLiteral("图书借阅历史记录"));
    QString explanation =
        QStringLiteral("读者编号：") + r.readerId + QStringLiteral(" 图书编号：") + r.bookId;
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
                     .compensation = static_cast<float>(r.amounts.compensation)});
    rows.ledgerRow = Receipts::lastRowid(db, QStringLiteral("资金"));
    transaction.commit();
    if (stored)
        *stored = rows;
    return ReturnOutcome::Returned;
}

} // namespace lms::Circulation
