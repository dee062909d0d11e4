#pragma once

// What the reader screen tests share: a new shop database with the default settings, a
// scripted prompter, a set clock, readers put straight into the table, and a database that
// fails on a chosen statement.

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

class ReaderScreenTest : public ShopScreenTest {
protected:
    // A reader row as registration writes it; `overrides` replaces columns by name.
    void addReader(const QString& id, const QVariantMap& overrides = {}) {
        test::addReader(shop.dm->db(), id, overrides);
    }

    // One column of a reader's row (invalid when there is no such reader).
    QVariant readerColumn(const QString& id, const QString& column) {
        return shop.dm->db().scalar(
            QStringLiteral("SELECT \"%1\" FROM 读者 WHERE 读者编号 = ?").arg(column), {id});
    }
    QDateTime readerDate(const QString& id, const QString& column) {
        return Dates::fromStorage(readerColumn(id, column).toString());
    }

    // Every row of 资金 / 日志, oldest first, as column name → value.
    QList<QVariantMap> rows(const QString& table) { return tableRows(shop.dm->db(), table); }
};

} // namespace lms::test
