#include "support/ShopRows.h"

#include "core/DateRules.h"
#include "support/Moments.h"

#include <QStringList>

namespace lms::test {

namespace {

QString stored(const QDateTime& moment) {
    return Dates::toStorage(moment);
}

// The defaults, then the overrides, then the key columns, which no override replaces.
void insertWith(Database& db, const QString& table, QVariantMap row, const QVariantMap& overrides,
                const QVariantMap& keys) {
    row.insert(overrides);
    row.insert(keys);
    insertRow(db, table, row);
}

} // namespace

void insertRow(Database& db, const QString& table, const QVariantMap& row) {
    QStringList columns;
    QStringList marks;
    QVariantList values;
    for (auto it = row.begin(); it != row.end(); ++it) {
        columns << it.key();
        marks << QStringLiteral("?");
        values << it.value();
    }
    Query(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))))
        .bindAll(values)
        .exec();
}

void addBook(Database& db, const QString& bookId, const QVariantMap& overrides) {
    insertWith(db, QStringLiteral("图书"),
               {{QStringLiteral("图书类型"), QStringLiteral("小说")},
                {QStringLiteral("图书名称"), QStringLiteral("三国演义")},
                {QStringLiteral("作者"), QStringLiteral("罗贯中")},
                {QStringLiteral("附件"), QString()},
                {QStringLiteral("价格"), QStringLiteral("25.5")},
                {QStringLiteral("备注"), QString()},
                {QStringLiteral("当前状态"), QStringLiteral("未借出")},
                {QStringLiteral("状态设置期"), stored(at(2026, 2, 1, 10, 0))},
                {QStringLiteral("录入时间"), stored(at(2026, 1, 2, 11, 0))},
                {QStringLiteral("借阅次数"), 0}},
               overrides, {{QStringLiteral("图书编号"), bookId}});
}

void addReader(Database& db, const QString& readerId, const QVariantMap& overrides) {
    insertWith(db, QStringLiteral("读者"),
               {{QStringLiteral("读者类型"), QStringLiteral("包月")},
                {QStringLiteral("读者姓名"), QStringLiteral("Wang")},
                {QStringLiteral("性别"), QStringLiteral("男")},
                {QStringLiteral("证件号码"), QStringLiteral("110101")},
                {QStringLiteral("电话"), QStringLiteral("5550100")},
                {QStringLiteral("开户日期"), stored(at(2026, 1, 5, 9, 0))},
                {QStringLiteral("押金"), 100.0},
                {QStringLiteral("借阅有效期"), stored(at(2026, 4, 5, 9, 0))},
                {QStringLiteral("最多持有图书数量"), 5},
                {QStringLiteral("最长持有图书天数"), 30},
                {QStringLiteral("备注"), QString()},
                {QStringLiteral("未还数量"), 0},
                {QStringLiteral("借阅总计"), 0},
                {QStringLiteral("当前状态"), QStringLiteral("正常使用")},
                {QStringLiteral("状态设置期"), stored(at(2026, 1, 5, 9, 0))}},
               overrides, {{QStringLiteral("读者编号"), readerId}});
}

void addLoan(Database& db, const QString& bookId, const QString& readerId,
             const QVariantMap& overrides) {
    insertWith(db, QStringLiteral("借出图书"),
               {{QStringLiteral("图书名称"), QStringLiteral("三国演义")},
                {QStringLiteral("读者姓名"), QStringLiteral("Wang")},
                {QStringLiteral("借出日期"), stored(at(2026, 2, 1, 10, 0))},
                {QStringLiteral("最晚归还日期"), stored(at(2026, 3, 3, 10, 0))}},
               overrides,
               {{QStringLiteral("图书编号"), bookId}, {QStringLiteral("读者编号"), readerId}});
}

void addHistory(Database& db, const QString& bookId, const QString& readerId,
                const QVariantMap& overrides) {
    insertWith(db, QStringLiteral("图书借阅历史记录"),
               {{QStringLiteral("图书名称"), QStringLiteral("三国演义")},
                {QStringLiteral("读者姓名"), QStringLiteral("Wang")},
                {QStringLiteral("借阅日期"), stored(at(2026, 2, 1, 10, 0))},
                {QStringLiteral("归还日期"), stored(at(2026, 3, 3, 10, 0))},
                {QStringLiteral("备注"), QString()}},
               overrides,
               {{QStringLiteral("图书编号"), bookId}, {QStringLiteral("读者编号"), readerId}});
}

void addLedger(Database& db, const QString& event, const QVariantMap& overrides) {
    insertWith(db, QStringLiteral("资金"),
               {{QStringLiteral("操作者"), QStringLiteral("admin")},
                {QStringLiteral("时间"), stored(at(2026, 3, 14, 10, 30))},
                {QStringLiteral("金额总计"), 0.0},
                {QStringLiteral("开户费"), 0.0},
                {QStringLiteral("押金"), 0.0},
                {QStringLiteral("租金"), 0.0},
                {QStringLiteral("逾期罚款"), 0.0},
                {QStringLiteral("破损遗失赔偿"), 0.0}},
               overrides, {{QStringLiteral("事件"), event}});
}

Readers::NewReader newReader(const QString& readerId) {
    return {.id = readerId,
            .type = QStringLiteral("包月"),
            .name = QStringLiteral("李四"),
            .sex = QStringLiteral("女"),
            .idNumber = QString(),
            .phone = QString(),
            .validity = at(2026, 5, 1),
            .maxBooks = 3,
            .maxDays = 30,
            .remark = QString(),
            .deposit = 50,
            .rent = 20,
            .openingFee = 5,
            .depositText = QStringLiteral("50")};
}

} // namespace lms::test
