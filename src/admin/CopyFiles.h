#pragma once

#include <QByteArrayView>
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

    // Starts the disk writing the `size` bytes the target was just given at `offset` without
    // waiting for it: the disk works while the copy goes on, and the sync before the rename has
    // little left to do.
    static void startWriting(QSaveFile& target, qint64 offset, qint64 size);
};

// What a copy checks in the source's bytes as they pass, so the source is read only once.
class CopyCheck {
public:
    virtual ~CopyCheck() = default;

    // Whether the source's next bytes, in order, are sound; false ends the copy.
    virtual bool accept(QByteArrayView bytes) = 0;
    // Whether the whole source came and was sound (once every byte given is checked).
    virtual bool complete() = 0;
};

} // namespace lms
