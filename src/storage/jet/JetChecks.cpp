#include "storage/jet/JetChecks.h"

#include "admin/DataClearing.h"
#include "core/CentSum.h"
#include "core/NumberForms.h"
#include "storage/jet/JetColumns.h"

namespace lms::JetMove {

void addToSums(LedgerAmounts& sums, const QList<double>& amounts) {
    double* parts[] = {&sums.total, &sums.openingFee, &sums.deposit,
                       &sums.rent,  &sums.fine,       &sums.compensation};
    // In whole cents, as the ledger's listing totals them.
    for (int i = 0; i < 6; ++i) {
        CentSum sum;
        sum.add(*parts[i]);
        sum.add(DataClearing::asShown(amounts[i]));
        *parts[i] = sum.value();
    }
}

void findBreaks(const Seen& seen, Report& report) {
    QHash<QString, qint64> loansOf;
    QHash<QString, qint64> loansOfBook;
    for (const Seen::Loan& loan : seen.loans) {
        ++loansOf[loan.reader];
        if (++loansOfBook[loan.book] == 2)
            report.findings << QStringLiteral("图书“%1”有不止一条借出记录。").arg(loan.book);
        if (!seen.bookStates.contains(loan.book))
            report.findings << QStringLiteral("借出图书第%1行的图书“%2”在图书表中没有；这条借出"
                                              "仍可在还书时归还并收费。")
                                   .arg(loan.row)
                                   .arg(loan.book);
        else if (seen.bookStates.value(loan.book) != QStringLiteral("已借出"))
            report.findings << QStringLiteral("图书“%1”有借出记录，当前状态却是“%2”。")
                                   .arg(loan.book, seen.bookStates.value(loan.book));
        if (!seen.outstanding.contains(loan.reader))
            report.findings << QStringLiteral("借出图书第%1行的读者“%2”在读者表中没有。")
                                   .arg(loan.row)
                                   .arg(loan.reader);
    }
    for (auto it = seen.bookStates.begin(); it != seen.bookStates.end(); ++it)
        if (it.value() == QStringLiteral("已借出") && !loansOfBook.contains(it.key()))
            report.findings
                << QStringLiteral("图书“%1”的状态是“已借出”，却没有借出记录。").arg(it.key());
    for (auto it = seen.outstanding.begin(); it != seen.outstanding.end(); ++it) {
        const qint64 loans = loansOf.value(it.key());
        const bool empty = it.value() == kNoCount;
        if ((empty ? 0 : it.value()) != loans)
            report.findings << QStringLiteral("读者“%1”的未还数量是%2，借出记录有%3条。")
                                   .arg(it.key(),
                                        empty ? QStringLiteral("空") : QString::number(it.value()))
                                   .arg(loans);
    }
}

void checkCarried(Database& target, const Seen& seen, Report& report) {
    for (const TableRows& table : report.tables) {
        const qint64 stored = ShopMove::countRows(target, table.table);
        if (stored != table.rows)
            throw Failure(QStringLiteral("核对不符：表“%1”应移入%2行，新的数据库中有%3行。")
                              .arg(table.table)
                              .arg(table.rows)
                              .arg(stored));
    }
    report.ledger = seen.ledger;
    const std::optional<LedgerAmounts> stored = DataClearing::sumLedger(target);
    if (!ShopMove::sameAmounts(seen.ledger, stored))
        throw Failure(QStringLiteral("核对不符：资金的合计原为%1，移入后为%2。")
                          .arg(ShopMove::amountsText(seen.ledger), ShopMove::amountsText(stored)));
    Query readers(target, QStringLiteral("SELECT 读者编号, 未还数量 FROM 读者"));
    qint64 count = 0;
    while (readers.next()) {
        ++count;
        const QString id = readers.text(0);
        const qint64 kept = readers.isNull(1) ? kNoCount : readers.integer(1);
        if (!seen.outstanding.contains(id) || seen.outstanding.value(id) != kept)
            throw Failure(QStringLiteral("核对不符：读者“%1”的未还数量与原文件不同。").arg(id));
    }
    if (count != seen.outstanding.size())
        throw Failure(QStringLiteral("核对不符：读者的行数与原文件不同。"));
    QHash<QString, qint64> loansBefore;
    for (const Seen::Loan& loan : seen.loans)
        ++loansBefore[loan.reader];
    Query loans(target,
                QStringLiteral("SELECT 读者编号, count(*) FROM 借出图书 GROUP BY 读者编号"));
    qint64 readersWithLoans = 0;
    while (loans.next()) {
        ++readersWithLoans;
        if (loansBefore.value(loans.text(0)) != loans.integer(1))
            throw Failure(
                QStringLiteral("核对不符：读者“%1”的借出记录与原文件不同。").arg(loans.text(0)));
    }
    if (readersWithLoans != loansBefore.size())
        throw Failure(QStringLiteral("核对不符：借出记录与原文件不同。"));
}

} // namespace lms::JetMove
