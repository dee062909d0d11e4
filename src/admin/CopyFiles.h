#pragma once

#include <QString>
#include <memory>

class QIODevice;
class QSaveFile;

namespace lms {

// The files a backup or restore reads and writes. The target is written beside its final name
// and takes that name in one rename only when complete, so a failed copy leaves no partial file
// and never a half-written database. Tests put a failing layer in its place.
class CopyFiles {
public:
    virtual ~CopyFiles() = default;

    // Opens the source for reading; nothing (and the reason) when it cannot be opened.
    virtual std::unique_ptr<QIODevice> openSource(const QString& path, QString& error);
    // Starts a target that replaces `path` when committed.
    virtual std::unique_ptr<QSaveFile> createTarget(const QString& path, QString& error);
    // Gives the complete target its name; false (and the reason) when that fails.
    virtual bool commit(QSaveFile& target, QString& error);
};

} // namespace lms
