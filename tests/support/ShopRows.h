#pragma once

#include "core/Database.h"
#include "readers/ReaderStore.h"

#include <QVariantMap>

namespace lms::test {

// Inserts one row given as column name → value, every value bound.
void insertRow(Database& db, const QString& table, const QVariantMap& row);

// One row of a shop table put straight into it, with the values the operation that writes such a
// row would store. `overrides` replaces columns by name (an invalid QVariant stores NULL); the
// key columns are the arguments.
void addBook(Database& db, const QString& bookId, const QVariantMap& overrides = {});
void addReader(Database& db, const QString& readerId, const QVariantMap& overrides = {});
void addLoan(Database& db, const QString& bookId, const QString& readerId,
             const QVariantMap& overrides = {});
void addHistory(Database& db, const QString& bookId, const QString& readerId,
                const QVariantMap& overrides = {});
void addLedger(Database& db, const QString& event, const QVariantMap& overrides = {});

// A monthly reader as 添加读者 registers one: 50 deposit, 20 rent, 5 opening fee, valid until
// 2026-05-01.
Readers::NewReader newReader(const QString& readerId);

} // namespace lms::test
