#include "readers/ReaderStore.h"

#include "reports/Receipt.h"

#include "core/Database.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "readers/ReaderDomains.h"

namespace lms::Readers {

namespace {

int readInt(const Query& query, int column) {
    return static_cast<int>(query.integer(column));
}

// A change of exactly one row, or the reader is gone.
void expectOneRow(int changed) {
    if (changed != 1)
        throw DbError(0, "the loaded reader is gone");
}

} // namespace

std::optional<ReaderRecord> loadReader(Database& db, const QString& id) {
    Query query(db,
                QStringLiteral("SELECT 读者编号, 读者类型, 读者姓名, 性别, 证件号码, 电话, "
                               "开户日期, 押金, 借阅有效期, 最多持有图书数量, 最长持有图书天数, "
                               "备注, 未还数量, 借阅总计, 当前状态, 状态设置期 "
                               "FROM 读者 WHERE 读者编号 = ?"));
    query.bind(1, id);
    if (!query.next())
        return std::nullopt;
    return ReaderRecord{.id = query.text(0),
                        .type = query.text(1),
                        .name = query.text(2),
                        .sex = query.text(3),
                        .idNumber = query.text(4),
                        .phone = query.text(5),
                        .openedAt = query.storedDate(6),
                        .deposit = query.real(7),
                        .validity = query.storedDate(8),
                        .validityStored = query.text(8),
                        .maxBooks = readInt(query, 9),
                        .maxDays = readInt(query, 10),
                        .remark = query.text(11),
                        .booksOut = readInt(query, 12),
                        .loansTotal = readInt(query, 13),
                        .state = query.text(14),
                        .stateSince = query.storedDate(15)};
}

bool addReader(Tdm_Dbase& dm, const NewReader& reader, const QString& user, const QDateTime& now) {
    const double total = reader.deposit + reader.rent + reader.openingFee;
    Database& db = dm.db();
    Transaction transaction(db);
    // The screen checked the id before; the transaction holds the write lock, so this check is
    // the one no other desk can overtake.
    if (dm.isHaveReader(reader.id))
        return false;
    Query(db, QStringLiteral("INSERT INTO 读者 (读者编号, 读者类型, 读者姓名, 性别, 证件号码, "
                             "电话, 开户日期, 押金, 借阅有效期, 最多持有图书数量, "
                             "最长持有图书天数, 备注, 未还数量, 借阅总计, 当前状态, 状态设置期) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, ?, ?)"))
        .bindAll({reader.id, reader.type, reader.name, reader.sex, reader.idNumber, reader.phone,
                  Dates::toStorage(now), reader.deposit, Dates::toStorage(reader.validity),
                  reader.maxBooks, reader.maxDays, reader.remark, states().at(NormalUse),
                  Dates::toStorage(now)})
        .exec();
    dm.appendLedger(QStringLiteral("添加读者"), user, now,
                    {.total = static_cast<float>(total),
                     .openingFee = static_cast<float>(reader.openingFee),
                     .deposit = static_cast<float>(reader.deposit),
                     .rent = static_cast<float>(reader.rent)},
                    {.readerId = reader.id, .bookId = QString()});
    dm.appendLog(QStringLiteral("添加读者"), user, now,
                 QStringLiteral("读者编号：") + reader.id + QStringLiteral("  读者姓名：") +
                     reader.name + QStringLiteral("  读者类型：") + reader.type +
                     QStringLiteral(" 押金(元)：") + reader.depositText +
                     QStringLiteral("总计(元)：") + Numbers::generalForm(total));
    transaction.commit();
    return true;
}

ReaderWrite changeReader(Tdm_Dbase& dm, const ReaderRecord& loaded, const ReaderChange& change,
                         const QString& user, const QDateTime& now) {
    QString sql = QStringLiteral("UPDATE 读者 SET 读者姓名 = ?, 读者类型 = ?, 性别 = ?, 电话 = ?, "
                                 "证件号码 = ?, 备注 = ?, 最多持有图书数量 = ?, "
                                 "最长持有图书天数 = ?, 借阅有效期 = ?");
    QVariantList values = {change.name,     change.type,     change.sex,
                           change.phone,    change.idNumber, change.remark,
                           change.maxBooks, change.maxDays,  Dates::toStorage(change.validity)};
    if (change.newState) {
        sql += QStringLiteral(", 当前状态 = ?");
        values << *change.newState;
    }
    if (change.newState || change.validityHoldsIdleDays) {
        sql += QStringLiteral(", 状态设置期 = ?");
        values << Dates::toStorage(now);
    }
    sql += QStringLiteral(" WHERE 读者编号 = ?");
    values << change.id;

    Database& db = dm.db();
    Transaction transaction(db);
    const std::optional<ReaderRecord> stored = loadReader(db, change.id);
    if (!stored)
        return ReaderWrite::Gone;
    if (!sameHandColumns(*stored, loaded) ||
        (change.newState && stored->booksOut != loaded.booksOut))
        return ReaderWrite::ChangedElsewhere;
    expectOneRow(Query(db, sql).bindAll(values).execCounted());
    dm.appendLog(QStringLiteral("更改读者信息"), user, now,
                 QStringLiteral("被更改的读者编号：") + change.id);
    transaction.commit();
    return ReaderWrite::Written;
}

ReaderDeletion deleteReader(Tdm_Dbase& dm, const ReaderRecord& loaded, const QString& user,
                            const QDateTime& now) {
    const QString& id = loaded.id;
    Database& db = dm.db();
    Transaction transaction(db);
    const std::optional<ReaderRecord> reader = loadReader(db, id);
    if (!reader)
        return {.gone = true};
    if (reader->booksOut > 0)
        return {.booksOut = reader->booksOut};
    if (reader->deposit != loaded.deposit || !sameHandColumns(*reader, loaded))
        return {.changed = true};
    const float refund = static_cast<float>(reader->deposit);
    expectOneRow(
        Query(db, QStringLiteral("DELETE FROM 读者 WHERE 读者编号 = ?")).bind(1, id).execCounted());
    dm.appendLog(QStringLiteral("删除读者"), user, now, QStringLiteral(" 被删除的读者编号：") + id);
    dm.appendLedger(QStringLiteral("删除读者退回押金"), user, now,
                    {.total = -refund, .deposit = -refund}, {.readerId = id, .bookId = QString()});
    transaction.commit();
    return {.deleted = true, .refunded = reader->deposit};
}

std::optional<qint64> pay(Tdm_Dbase& dm, const Payment& payment, const QString& user,
                          const QDateTime& now) {
    const double total = payment.rent + payment.depositChange;
    const QString& readerId = payment.loaded.id;
    Database& db = dm.db();
    Transaction transaction(db);
    const std::optional<ReaderRecord> stored = loadReader(db, readerId);
    if (!stored || !sameHandColumns(*stored, payment.loaded))
        return std::nullopt;
    // The deposit grows from what is stored, so a return's deduction meanwhile is kept.
    expectOneRow(Query(db, QStringLiteral("UPDATE 读者 SET 读者类型 = ?, 最多持有图书数量 = ?, "
                                          "最长持有图书天数 = ?, 备注 = ?, 借阅有效期 = ?, "
                                          "押金 = COALESCE(押金, 0) + ?, 状态设置期 = ? "
                                          "WHERE 读者编号 = ?"))
                     .bindAll({payment.type, payment.maxBooks, payment.maxDays, payment.remark,
                               Dates::toStorage(payment.validity), payment.depositChange,
                               Dates::toStorage(now), readerId})
                     .execCounted());
    dm.appendLog(QStringLiteral("缴费充值"), user, now,
                 QStringLiteral("读者编号：") + readerId + QStringLiteral(" 总金额：") +
                     Numbers::generalForm(total) + QStringLiteral(" 押金增减：") +
                     payment.depositChangeText);
    dm.appendLedger(QStringLiteral("缴费充值"), user, now,
                    {.total = static_cast<float>(total),
                     .deposit = static_cast<float>(payment.depositChange),
                     .rent = static_cast<float>(payment.rent)},
                    {.readerId = readerId, .bookId = QString()});
    const qint64 ledgerRow = Receipts::lastRowid(db, QStringLiteral("资金"));
    transaction.commit();
    return ledgerRow;
}

} // namespace lms::Readers
