#include "admin/CopyFiles.h"

#include <QFile>
#include <QSaveFile>

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

} // namespace lms
