#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace lms::ShopMoveCommand {

// The shop owner's command that moves the shop between the file beside the program and a
// server database:
//   lms_move to-server [--folder DIR] [CONNECTION]
//   lms_move to-file [--folder DIR] [CONNECTION]
// DIR holds "dbase.zqd" (the program's folder when not given); CONNECTION is in libpq's own
// terms, without a password (libpq's password file keeps it), and defaults to the folder's
// server settings. Tells `out` what was moved and `err` what went wrong; returns the exit code:
// 0 moved, 1 refused or failed with nothing changed, 2 not understood.
int run(const QStringList& arguments, const QString& programFolder, QTextStream& out,
        QTextStream& err);

// How the command is used, for the shop owner.
QString usage();

} // namespace lms::ShopMoveCommand
