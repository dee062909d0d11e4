#pragma once

// What the book screen tests share: a new shop database with the default settings (and its
// book types), a scripted prompter, a set clock, and books put straight into the table.

#include "core/DateRules.h"
#include "core/unit/QtPrinters.h"
#include "support/FailingStatements.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/ShopScreenTest.h"
#include "support/TableRows.h"

#include <QVariantMap>
#include <gtest/gtest.h>

namespace lms::test {

class BookScreenTest : public ShopScreenTest {
protected:
    BookScreenTest() { shop.pub.BookIdMaxLen = 4; }

    // A book row as registration writes it, with a disc attached and lent three times;
    // `overrides` replaces columns by name.
    void addBook(const QString& id, const QVariantMap& overrides = {}) {
        QVariantMap row = {{QStringLiteral("附件"), QStringLiteral("光盘")},
                           {QStringLiteral("借阅次数"), 3}};
        row.insert(overrides);
        test::addBook(shop.dm->db(), id, row);
    }

    QVariant bookColumn(const QString& id, const QString& column) {
        return shop.dm->db().scalar(
            QStringLiteral("SELECT \"%1\" FROM 图书 WHERE 图书编号 = ?").arg(column), {id});
    }
    QDateTime bookDate(const QString& id, const QString& column) {
        return Dates::fromStorage(bookColumn(id, column).toString());
    }
    // The log records as "event|operator|time|explanation", oldest first.
    QStringList logExplanations() {
        return joinedRows(shop.dm->db(), QStringLiteral("日志"),
                          {QStringLiteral("事件"), QStringLiteral("操作者"), QStringLiteral("时间"),
                           QStringLiteral("说明")});
    }
    QString logLine(const QString& event, const QString& explanation) {
        return event + QStringLiteral("|clerk|") + Dates::toStorage(clock.now()) +
               QLatin1Char('|') + explanation;
    }
};

} // namespace lms::test
