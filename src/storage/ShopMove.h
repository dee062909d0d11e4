#pragma once

#include "core/Database.h"
#include "core/Tdm_Dbase.h"

#include <QList>
#include <QString>
#include <optional>
#include <stdexcept>

namespace lms::ShopMove {

// Moving a whole shop between the encrypted file and a server database: every table copied row
// for row in the order of its rowids, keeping them, in one transaction on the target, then
// checked against the source (rows per table, the ledger's sums) before it is committed.

// A table and the rows it holds.
struct TableRows {
    QString table;
    qint64 rows = 0;
};

// What a move copied.
struct Moved {
    QList<TableRows> tables;             // in the order of Schema::tableNames()
    std::optional<LedgerAmounts> ledger; // the ledger's sums as its listing totals them
    int ledgerRowsUnnamed = 0;           // of an older source: ledger records the log does not name
};

// Why a move was refused or undone, in words for the shop owner; the target is as it was.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Copies the shop of "dbase.zqd" in `folder` into `server`, an empty database on a server.
// The file is only read. Throws Failure.
Moved toServer(const QString& folder, Database& server);

// Copies the shop on `server` into a new "dbase.zqd" in `folder`, which must not hold one; the
// file takes that name only when complete and checked. The server is only read. Throws Failure.
Moved toFile(Database& server, const QString& folder);

// The engine-neutral core of both: `source` holds a shop of this program, `target` no table of
// one. Throws Failure; the target then holds nothing of the shop.
Moved copyShop(Database& source, Database& target);

// Throws Failure when `target` already holds a table of a shop or a schema version.
void checkTargetIsEmpty(Database& target);

// What the moves between the program's stores share.
// A table or column name of the program's own between double quotes (never typed text).
QString quoted(const QString& name);
// The table's columns in their order, without the server's order column.
QStringList columnsOf(Database& db, const QString& table);
qint64 countRows(Database& db, const QString& table);
// Whether two ledger sums are the very same (both none counts as the same).
bool sameAmounts(const std::optional<LedgerAmounts>& a, const std::optional<LedgerAmounts>& b);
// The ledger's sums in words for the shop owner ("没有记录" for none).
QString amountsText(const std::optional<LedgerAmounts>& sums);
// Removes a database file built beside the live one, with the files its engine keeps beside it.
void removeSideFile(const QString& path);

// What was moved, line by line, for the shop owner.
QString describe(const Moved& moved);

} // namespace lms::ShopMove
