#include "admin/CopyFiles.h"

#include <QFile>
#include <QSaveFile>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace lms {

std::unique_ptr<QIODevice> CopyFiles::openSource(const QString& path, QString& error) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        error = file->errorString();
        return nullptr;
    }
    return file;
}

std::unique_ptr<QSaveFile> CopyFiles::createTarget(const QString& path, QString& error) {
    auto file = std::make_unique<QSaveFile>(path);
    // Never write into the target itself, whatever its folder allows.
    file->setDirectWriteFallback(false);
    if (!file->open(QIODevice::WriteOnly)) {
        error = file->errorString();
        return nullptr;
    }
    return file;
}

bool CopyFiles::commit(QSaveFile& target, QString& error) {
    if (target.commit())
        return true;
    error = target.errorString();
    return false;
}

void CopyFiles::startWriting(QSaveFile& target, qint64 offset, qint64 size) {
    if (!target.flush())
        return;
#ifdef Q_OS_LINUX
    // Only a hint: the sync before the rename is what makes the bytes durable.
    sync_file_range(target.handle(), offset, size, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(offset);
    Q_UNUSED(size);
#endif
}

} // namespace lms
