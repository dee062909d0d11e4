#pragma once

#include "core/RegionalFormats.h"
#include "core/ScreenContext.h"

#include "storage/jet/JetFormat.h"

#include <QDateTime>

namespace lms {

class Tfrm_bfffDate;

// The main window's backup and restore commands: the database file copied to a dated backup
// beside it, or replaced by a chosen backup, while the progress window shows the copy. Where the
// data lies on a server, the server's own tools dump it to a dated file beside the program and
// restore a chosen dump in one transaction.
class DataBackup {
public:
    DataBackup(ScreenContext& context, Tfrm_bfffDate& progress,
               RegionalFormats formats = RegionalFormats());

    // "yyyy/mm/dd hh-mm-ss" with the regional date separator, then "buckup.zqd"; a separator
    // that a file name cannot hold is written as "-".
    static QString backupFileName(const QDateTime& moment, const QString& dateSeparator);
    // The same moment and separator, then "buckup.pgdump": a backup of a server's database.
    static QString serverBackupFileName(const QDateTime& moment, const QString& dateSeparator);

    void BFDataMenuClick();
    void FFDataMenuClick();

private:
    bool onServer() const;
    void backUpServer(const QString& target);
    // Replaces the live database with the chosen file; the live file is untouched on failure.
    void restoreFrom(const QString& chosen);
    // Moves the chosen Jet 4.0 backup into a file of this program, then restores that.
    void restoreFromJet(const QString& chosen, const JetFormat::Probe& probe);
    // Replaces the server's tables with the chosen dump's; on failure they stay as they were.
    void restoreServerFrom(const QString& chosen);
    // Ends a refused or failed operation: the window closes, the message shows.
    void abandonWith(const QString& message);
    void reconnect();

    ScreenContext& ctx_;
    Tfrm_bfffDate& progress_;
    RegionalFormats formats_;
};

} // namespace lms
