// Receipts read back from the rows their operations stored.
#include "reports/Receipt.h"

#include "core/Database.h"
#include "core/DateRules.h"

namespace lms::Receipts {

namespace {

const QStringList kLedgerParts = {QStringLiteral("开户费"), QStringLiteral("押金"),
                                  QStringLiteral("租金"), QStringLiteral("逾期罚款"),
                                  QStringLiteral("破损遗失赔偿")};

// The ledger record of `event` at `row`: operator, time and the amounts.
void readLedger(Database& db, qint64 row, const QString& event, Receipt& receipt) {
    Query query(db, QStringLiteral("SELECT 事件, 操作者, 时间, 金额总计, 开户费, 押金, 租金, "
                                   "逾期罚款, 破损遗失赔偿 FROM 资金 WHERE rowid = ?"));
    query.bind(1, row);
    if (!query.next() || query.text(0) != event)
        throw Missing("no ledger record of this operation");
    receipt.operation = query.text(0);
    receipt.operatorName = query.text(1);
    receipt.time = Dates::fromStorage(query.text(2));
    receipt.amounts.push_back({QStringLiteral("金额总计"), query.real(3)});
    for (int part = 0; part < kLedgerParts.size(); ++part) {
        const double value = query.real(4 + part);
        if (value != 0)
            receipt.amounts.push_back({kLedgerParts[part], value});
    }
}

// The reader's row as it stands after the operation; false when the reader is gone.
bool readReader(Database& db, const QString& readerId, Receipt& receipt, bool validity) {
    Query query(
        db,
        QStringLiteral("SELECT 读者姓名, 押金, 借阅有效期, 读者类型 FROM 读者 WHERE 读者编号 = ?"));
    query.bind(1, readerId);
    if (!query.next())
        return false;
    if (receipt.readerName.isEmpty())
        receipt.readerName = query.text(0);
    receipt.hasDepositLeft = !query.isNull(1);
    receipt.depositLeft = query.real(1);
    // A reader who pays per day has no validity to show.
    if (validity && query.text(3) != QStringLiteral("按日租借"))
        receipt.validUntil = Dates::fromStorage(query.text(2));
    return true;
}

} // namespace

qint64 lastRowid(Database& db, const QString& table) {
    return db.lastInsertedRow(table);
}

Receipt loan(Database& db, const QList<qint64>& loanRows, qint64 logRow) {
    Receipt receipt;
    receipt.title = QStringLiteral("借书凭条");
    if (loanRows.isEmpty())
        throw Missing("no loan");
    {
        Query log(db, QStringLiteral("SELECT 事件, 操作者, 时间 FROM 日志 WHERE rowid = ?"));
        log.bind(1, logRow);
        if (!log.next() || log.text(0) != QStringLiteral("读者借书"))
            throw Missing("no log record of the loan");
        receipt.operation = log.text(0);
        receipt.operatorName = log.text(1);
        receipt.time = Dates::fromStorage(log.text(2));
    }
    for (const qint64 row : loanRows) {
        Query query(db, QStringLiteral("SELECT 图书编号, 图书名称, 读者编号, 读者姓名, 借出日期, "
                                       "最晚归还日期 FROM 借出图书 WHERE rowid = ?"));
        query.bind(1, row);
        if (!query.next())
            throw Missing("the loan is no longer recorded");
        if (receipt.books.empty()) {
            receipt.readerId = query.text(2);
            receipt.readerName = query.text(3);
        } else if (query.text(2) != receipt.readerId) {
            throw Missing("the loans are not one reader's");
        }
        receipt.books.push_back({query.text(0), query.text(1), Dates::fromStorage(query.text(4)),
                                 Dates::fromStorage(query.text(5)), QDateTime(), QString()});
    }
    return receipt;
}

Receipt giveBack(Database& db, qint64 ledgerRow, qint64 historyRow) {
    Receipt receipt;
    receipt.title = QStringLiteral("还书凭条");
    readLedger(db, ledgerRow, QStringLiteral("读者还书"), receipt);
    Query query(db, QStringLiteral("SELECT 图书编号, 图书名称, 读者编号, 读者姓名, 借阅日期, "
                                   "归还日期, 备注 FROM 图书借阅历史记录 WHERE rowid = ?"));
    query.bind(1, historyRow);
    if (!query.next())
        throw Missing("no history row of the return");
    receipt.readerId = query.text(2);
    receipt.readerName = query.text(3);
    receipt.books.push_back({query.text(0), query.text(1), Dates::fromStorage(query.text(4)),
                             QDateTime(), Dates::fromStorage(query.text(5)), query.text(6)});
    readReader(db, receipt.readerId, receipt, false);
    return receipt;
}

Receipt payment(Database& db, qint64 ledgerRow, const QString& readerId) {
    Receipt receipt;
    receipt.title = QStringLiteral("缴费凭条");
    readLedger(db, ledgerRow, QStringLiteral("缴费充值"), receipt);
    receipt.readerId = readerId;
    if (!readReader(db, readerId, receipt, true))
        throw Missing("the reader is no longer registered");
    return receipt;
}

} // namespace lms::Receipts
