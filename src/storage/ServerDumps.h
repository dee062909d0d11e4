#pragma once

#include "storage/DumpShape.h"

#include <QString>
#include <functional>
#include <optional>

namespace lms {

// Backups of a shop whose data lies on a PostgreSQL server: files in pg_dump's custom format,
// taken and restored by the server's own tools. The program appends one line with the SHA-256
// of everything before it ("\nlms-sha256 " and 64 hex digits), so a damaged file is known
// before anything is touched; pg_restore reads such a file as any other dump.
namespace ServerDumps {

// The backup name's ending on a server, after "buckup.".
QString extension();

// Whether the file begins as pg_dump's custom format does.
bool isDump(const QString& path);

// Called once for every table whose rows the tool has written or read.
using Step = std::function<void()>;

// How many steps a backup reports: the shop's tables and the schema version's.
int backupSteps();

// Dumps the database into `target` through a side file that takes the name only when complete,
// so nothing partial stays behind; a backup of that name is replaced. Other connections keep
// working: the dump reads one consistent snapshot of what was committed when it began.
// Nothing on success, else why it failed.
std::optional<QString> write(const QString& connection, const QString& target, const Step& step);

struct Check {
    // A whole, undamaged dump holding this system's tables and rows and nothing else, of a schema
    // version this program opens.
    bool sound = false;
    int tables = 0;  // the tables whose rows it holds: the steps of its restore
    int version = 0; // its schema version
    QString failure; // why it could not be read at all (the tool is missing), else empty
    // The message naming what it holds besides the shop, else empty.
    QString refusal;
    // What this program's migrations make at its version: all a restore takes from it.
    std::optional<DumpShape> program;
};

// Reads the whole file and holds it against the shape this program's migrations make, built for
// comparison in a scratch schema of the connection's database (nothing of the shop is touched).
Check check(const QString& connection, const QString& path);

// Replaces the database's tables with the dump's in one transaction: the tables are made by the
// program's own migrations and only the dump's rows are loaded (no statement of the dump ever
// runs). The other connections wait on the tables' locks and then see the restored shop, and a
// failure changes nothing. Nothing on success, else why it failed.
std::optional<QString> restore(const QString& connection, const QString& path, const Check& check,
                               const Step& step);

// The message refusing a dump, naming what was found.
QString foreignContent(const QStringList& found);

} // namespace ServerDumps

} // namespace lms
