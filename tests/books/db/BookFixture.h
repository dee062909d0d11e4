#pragma once

// What the book screen tests share: a new shop database with the default settings (and its
// book types), a scripted prompter, a set clock, and books put straight into the table.

#include "readers/db/DbTestHelpers.h"

#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "core/unit/QtPrinters.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QVariantMap>
#include <gtest/gtest.h>

namespace lms::test {

class BookScreenTest : public ::testing::Test {
protected:
    BookScreenTest() : ctx{*shop.dm, shop.pub, prompter, clock, host} {
        const QString appPath = shop.pub.AppPath;
        shop.pub = PubData::defaultSettings();
        shop.pub.AppPath = appPath;
        shop.pub.CurrentUser = QStringLiteral("clerk");
        shop.pub.BookIdMaxLen = 4;
    }

    // A book row as registration writes it; `overrides` replaces columns by name.
    void addBook(const QString& id, const QVariantMap& overrides = {}) {
        QVariantMap row = {
            {QStringLiteral("图书类型"), QStringLiteral("小说")},
            {QStringLiteral("图书名称"), QStringLiteral("三国演义")},
            {QStringLiteral("作者"), QStringLiteral("罗贯中")},
            {QStringLiteral("附件"), QStringLiteral("光盘")},
            {QStringLiteral("价格"), QStringLiteral("25.5")},
            {QStringLiteral("备注"), QString()},
            {QStringLiteral("当前状态"), QStringLiteral("未借出")},
            {QStringLiteral("状态设置期"), Dates::toStorage(at(2026, 2, 1, 10, 0))},
            {QStringLiteral("录入时间"), Dates::toStorage(at(2026, 1, 2, 11, 0))},
            {QStringLiteral("借阅次数"), 3},
        };
        for (auto it = overrides.begin(); it != overrides.end(); ++it)
            row[it.key()] = it.value();
        row[QStringLiteral("图书编号")] = id;
        insertRow(shop.dm->db(), QStringLiteral("图书"), row);
    }

    QVariant bookColumn(const QString& id, const QString& column) {
        return shop.dm->db().scalar(
            QStringLiteral("SELECT \"%1\" FROM 图书 WHERE 图书编号 = ?").arg(column), {id});
    }
    QDateTime bookDate(const QString& id, const QString& column) {
        return Dates::fromStorage(bookColumn(id, column).toString());
    }
    QStringList logExplanations() {
        QStringList all;
        Query query(shop.dm->db(), QStringLiteral("SELECT 事件, 操作者, 时间, 说明 FROM 日志"));
        while (query.next())
            all << query.text(0) + QLatin1Char('|') + query.text(1) + QLatin1Char('|') +
                       query.text(2) + QLatin1Char('|') + query.text(3);
        return all;
    }
    QString logLine(const QString& event, const QString& explanation) {
        return event + QStringLiteral("|clerk|") + Dates::toStorage(clock.now()) +
               QLatin1Char('|') + explanation;
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{at(2026, 3, 14, 10, 30)};
    ScriptedHost host;
    ScreenContext ctx;
};

} // namespace lms::test
