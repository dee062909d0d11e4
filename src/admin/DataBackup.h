#pragma once

#include "core/RegionalFormats.h"
#include "core/ScreenContext.h"

#include <QDateTime>

namespace lms {

class Tfrm_bfffDate;

// The main window's backup and restore commands: the database file copied to a dated backup
// beside it, or replaced by a chosen backup, while the progress window shows the copy.
class DataBackup {
public:
    DataBackup(ScreenContext& context, Tfrm_bfffDate& progress,
               RegionalFormats formats = RegionalFormats());

    // "yyyy/mm/dd hh-mm-ss" with the regional date separator, then "buckup.zqd"; a separator
    // that a file name cannot hold is written as "-".
    static QString backupFileName(const QDateTime& moment, const QString& dateSeparator);

    void BFDataMenuClick();
    void FFDataMenuClick();

    // Where the data lies on a server, both commands say this and do nothing: the server's own
    // tools copy a database that other desks keep writing.
    static QString onServerMessage();

private:
    // Replaces the live database with the chosen file; the live file is untouched on failure.
    void restoreFrom(const QString& chosen);
    void reconnect();

    ScreenContext& ctx_;
    Tfrm_bfffDate& progress_;
    RegionalFormats formats_;
};

} // namespace lms
