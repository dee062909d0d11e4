#pragma once

#include "core/Database.h"

#include <QList>
#include <QStringList>
#include <QVariantMap>

namespace lms::test {

// Every row of a table in the order it was written, each as column name → value.
QList<QVariantMap> tableRows(Database& db, const QString& table);

// The row written last, as column name → value; empty when the table is.
QVariantMap lastRow(Database& db, const QString& table);

// Each row's values of the given columns joined by '|', oldest first: short to compare whole.
QStringList joinedRows(Database& db, const QString& table, const QStringList& columns);

} // namespace lms::test
