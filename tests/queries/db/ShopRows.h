#pragma once

#include "core/Database.h"
#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace lms::test {

// A shop database with a set clock and a scripted prompter, and short ways to put rows into it.
class ShopRows : public ::testing::Test {
protected:
    static inline const QDateTime kNow = at(2026, 3, 14, 10, 30);

    ShopRows() : context{*shop.dm, shop.pub, prompter, clock, host} {}

    Database& db() { return shop.dm->db(); }

    void insert(const QString& table, const QStringList& columns, const QVariantList& values) {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        Query(db(), QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))))
            .bindAll(values)
            .exec();
    }
    static QString stored(const QDateTime& moment) { return Dates::toStorage(moment); }

    void book(const QString& id, const QString& name, const QString& remark) {
        insert(QStringLiteral("图书"),
               {QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("图书类型"),
                QStringLiteral("当前状态"), QStringLiteral("借阅次数"), QStringLiteral("备注"),
                QStringLiteral("价格"), QStringLiteral("录入时间")},
               {id, name, QStringLiteral("小说"), QStringLiteral("未借出"), 2, remark,
                QStringLiteral("25.5"), stored(kNow.addDays(-30))});
    }
    void loan(const QString& book, const QString& name, const QString& reader,
              const QString& readerName, const QDateTime& lent, const QDateTime& due) {
        insert(QStringLiteral("借出图书"),
               {QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("读者编号"),
                QStringLiteral("读者姓名"), QStringLiteral("借出日期"),
                QStringLiteral("最晚归还日期")},
               {book, name, reader, readerName, stored(lent), stored(due)});
    }
    void reader(const QString& id, const QString& name, double deposit, int loans,
                const QString& remark) {
        insert(QStringLiteral("读者"),
               {QStringLiteral("读者编号"), QStringLiteral("读者姓名"), QStringLiteral("读者类型"),
                QStringLiteral("押金"), QStringLiteral("借阅总计"), QStringLiteral("未还数量"),
                QStringLiteral("借阅有效期"), QStringLiteral("当前状态"), QStringLiteral("备注"),
                QStringLiteral("性别"), QStringLiteral("证件号码")},
               {id, name, QStringLiteral("包月"), deposit, loans, 0, stored(kNow.addMonths(1)),
                QStringLiteral("正常使用"), remark, QStringLiteral("女"),
                QStringLiteral("110,101")});
    }
    void ledger(const QString& event, const QDateTime& when, double total, double deposit = 0,
                double rent = 0, double fine = 0) {
        insert(QStringLiteral("资金"),
               {QStringLiteral("事件"), QStringLiteral("操作者"), QStringLiteral("时间"),
                QStringLiteral("金额总计"), QStringLiteral("开户费"), QStringLiteral("押金"),
                QStringLiteral("租金"), QStringLiteral("逾期罚款"), QStringLiteral("破损遗失赔偿")},
               {event, QStringLiteral("admin"), stored(when), total, 0.0, deposit, rent, fine, 0.0});
    }
    void history(const QString& book, const QString& name, const QDateTime& lent,
                 const QString& remark) {
        insert(QStringLiteral("图书借阅历史记录"),
               {QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("读者编号"),
                QStringLiteral("读者姓名"), QStringLiteral("借阅日期"), QStringLiteral("归还日期"),
                QStringLiteral("备注")},
               {book, name, QStringLiteral("R1"), QStringLiteral("王五"), stored(lent),
                stored(lent.addDays(5)), remark});
    }

    // Fails every statement holding `fragment` until `clear()`, as a broken disk would.
    void failOn(const QString& fragment) {
        failing_ = fragment;
        db().setStatementHook(
            [](void* self, const QString& sql) {
                if (sql.contains(static_cast<ShopRows*>(self)->failing_))
                    throw DbError(10, "disk I/O error (injected)");
            },
            this);
    }
    void clearFailure() { db().setStatementHook(nullptr, nullptr); }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{kNow};
    ScriptedHost host;
    ScreenContext context;

private:
    QString failing_;
};

} // namespace lms::test
