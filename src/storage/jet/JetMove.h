#pragma once

#include "core/Tdm_Dbase.h"
#include "storage/ShopMove.h"
#include "storage/jet/JetChild.h"

#include <QStringList>
#include <optional>

namespace lms::JetMove {

// Moving a shop from the Jet 4.0 file of the old desktop engine into this program's database:
// every row of the nine tables in the order the table keeps them, columns by name, values kept
// exactly (money bit for bit, date-times to the second, texts whole), each clerk's plain password
// stored as the program's salted hash, all in one transaction that is checked before it commits.
// Old data that breaks the program's rules is carried and named in the report; only what the new
// database cannot hold refuses the move.

using ShopMove::Failure;
using ShopMove::TableRows;

// What a move carried, left and found.
struct Report {
    QList<TableRows> tables;             // in the order of Schema::tableNames()
    std::optional<LedgerAmounts> ledger; // the ledger's sums as its listing totals them
    QStringList leftTables;              // tables the program does not know, with their rows
    QStringList leftColumns;             // "表.列" the program does not know
    QStringList findings;                // what the old data breaks, and what became of it
    int ledgerRowsUnnamed = 0; // ledger records whose reader and book the log does not name
};

// The nine tables must all be there: a file without them is no shop. Throws Failure.
void checkCatalog(const QList<Jet::TableInfo>& catalog);
// The tables found, with their rows, for the question before a move.
QString foundText(const QList<Jet::TableInfo>& catalog);

// Reads the shop from `file` (through the reading child) into `target`, which holds no table of
// a shop; built by the program's own migrations. Throws Failure, and the target then holds
// nothing of the shop.
Report carry(const QString& file, Database& target);

// The report for the shop owner: what was moved, what was left, what the old data breaks.
QString reportText(const Report& report, const QString& source, const QString& keptOriginal);

} // namespace lms::JetMove
