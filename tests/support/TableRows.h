#pragma once

#include "core/Database.h"

#include <QList>
#include <QVariantMap>

namespace lms::test {

// Every row of a table in the order it was written, each as column name → value.
QList<QVariantMap> tableRows(Database& db, const QString& table);

// The row written last, as column name → value; empty when the table is.
QVariantMap lastRow(Database& db, const QString& table);

} // namespace lms::test
