#pragma once

// What the reader screen tests share: a new shop database with the default settings, a
// scripted prompter, a set clock, readers put straight into the table, and a database that
// fails on a chosen statement.

#include "readers/db/DbTestHelpers.h"

#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "core/unit/QtPrinters.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QVariantMap>
#include <gtest/gtest.h>

namespace lms::test {

class ReaderScreenTest : public ::testing::Test {
protected:
    ReaderScreenTest() : ctx{*shop.dm, shop.pub, prompter, clock, host} {
        const QString appPath = shop.pub.AppPath;
        shop.pub = PubData::defaultSettings();
        shop.pub.AppPath = appPath;
        shop.pub.CurrentUser = QStringLiteral("clerk");
    }

    // A reader row as registration writes it; `overrides` replaces columns by name.
    void addReader(const QString& id, const QVariantMap& overrides = {}) {
        QVariantMap row = {
            {QStringLiteral("读者类型"), QStringLiteral("包月")},
            {QStringLiteral("读者姓名"), QStringLiteral("Wang")},
            {QStringLiteral("性别"), QStringLiteral("男")},
            {QStringLiteral("证件号码"), QStringLiteral("110101")},
            {QStringLiteral("电话"), QStringLiteral("5550100")},
            {QStringLiteral("开户日期"), Dates::toStorage(at(2026, 1, 5, 9, 0))},
            {QStringLiteral("押金"), 100.0},
            {QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 4, 5, 9, 0))},
            {QStringLiteral("最多持有图书数量"), 5},
            {QStringLiteral("最长持有图书天数"), 30},
            {QStringLiteral("备注"), QString()},
            {QStringLiteral("未还数量"), 0},
            {QStringLiteral("借阅总计"), 0},
            {QStringLiteral("当前状态"), QStringLiteral("正常使用")},
            {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 1, 5, 9, 0))},
        };
        for (auto it = overrides.begin(); it != overrides.end(); ++it)
            row[it.key()] = it.value();
        row[QStringLiteral("读者编号")] = id;
        insertRow(shop.dm->db(), QStringLiteral("读者"), row);
    }

    // One column of a reader's row (invalid when there is no such reader).
    QVariant readerColumn(const QString& id, const QString& column) {
        return shop.dm->db().scalar(
            QStringLiteral("SELECT \"%1\" FROM 读者 WHERE 读者编号 = ?").arg(column), {id});
    }
    QDateTime readerDate(const QString& id, const QString& column) {
        return Dates::fromStorage(readerColumn(id, column).toString());
    }

    // Every column of 资金 / 日志, row by row, as text.
    QList<QVariantList> rows(const QString& table) {
        QList<QVariantList> all;
        Query query(shop.dm->db(),
                    QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
        while (query.next()) {
            QVariantList row;
            for (int c = 0; c < query.columnCount(); ++c)
                row << query.value(c);
            all << row;
        }
        return all;
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{at(2026, 3, 14, 10, 30)};
    ScriptedHost host;
    ScreenContext ctx;
};

} // namespace lms::test
