#pragma once

#include "core/Database.h"
#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "support/FailingStatements.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace lms::test {

// What the query screen tests share: a shop database with a set clock and a scripted prompter,
// rows put straight into its tables, and a database that fails on a chosen statement.
class QueryTest : public ::testing::Test {
protected:
    static inline const QDateTime kNow = at(2026, 3, 14, 10, 30);

    QueryTest() : context{*shop.dm, shop.pub, prompter, clock, host} {}

    Database& db() { return shop.dm->db(); }

    static QString stored(const QDateTime& moment) { return Dates::toStorage(moment); }

    // Rows as the query tests list them: only the columns they show are filled in.
    void book(const QString& id, const QString& name, const QString& remark) {
        addBook(db(), id,
                {{QStringLiteral("图书名称"), name},
                 {QStringLiteral("备注"), remark},
                 {QStringLiteral("借阅次数"), 2},
                 {QStringLiteral("录入时间"), stored(kNow.addDays(-30))},
                 {QStringLiteral("作者"), QVariant()},
                 {QStringLiteral("附件"), QVariant()},
                 {QStringLiteral("状态设置期"), QVariant()}});
    }
    void loan(const QString& book, const QString& name, const QString& reader,
              const QString& readerName, const QDateTime& lent, const QDateTime& due) {
        addLoan(db(), book, reader,
                {{QStringLiteral("图书名称"), name},
                 {QStringLiteral("读者姓名"), readerName},
                 {QStringLiteral("借出日期"), stored(lent)},
                 {QStringLiteral("最晚归还日期"), stored(due)}});
    }
    void reader(const QString& id, const QString& name, double deposit, int loans,
                const QString& remark) {
        addReader(db(), id,
                  {{QStringLiteral("读者姓名"), name},
                   {QStringLiteral("押金"), deposit},
                   {QStringLiteral("借阅总计"), loans},
                   {QStringLiteral("借阅有效期"), stored(kNow.addMonths(1))},
                   {QStringLiteral("备注"), remark},
                   {QStringLiteral("性别"), QStringLiteral("女")},
                   {QStringLiteral("证件号码"), QStringLiteral("110,101")},
                   {QStringLiteral("电话"), QVariant()},
                   {QStringLiteral("开户日期"), QVariant()},
                   {QStringLiteral("最多持有图书数量"), QVariant()},
                   {QStringLiteral("最长持有图书天数"), QVariant()},
                   {QStringLiteral("状态设置期"), QVariant()}});
    }
    void ledger(const QString& event, const QDateTime& when, double total, double deposit = 0,
                double rent = 0, double fine = 0) {
        addLedger(db(), event,
                  {{QStringLiteral("时间"), stored(when)},
                   {QStringLiteral("金额总计"), total},
                   {QStringLiteral("押金"), deposit},
                   {QStringLiteral("租金"), rent},
                   {QStringLiteral("逾期罚款"), fine}});
    }
    void history(const QString& book, const QString& name, const QDateTime& lent,
                 const QString& remark) {
        addHistory(db(), book, QStringLiteral("R1"),
                   {{QStringLiteral("图书名称"), name},
                    {QStringLiteral("读者姓名"), QStringLiteral("王五")},
                    {QStringLiteral("借阅日期"), stored(lent)},
                    {QStringLiteral("归还日期"), stored(lent.addDays(5))},
                    {QStringLiteral("备注"), remark}});
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{kNow};
    ScriptedHost host;
    ScreenContext context;
    FailingStatements failing{shop.dm->db()};
};

} // namespace lms::test
