#pragma once

#include "admin/CopyFiles.h"

#include <QFile>
#include <QSaveFile>

namespace lms::test {

// A target on a disk that fills up after `limit` bytes.
class FullDiskFile : public QSaveFile {
public:
    FullDiskFile(const QString& name, qint64 limit) : QSaveFile(name), limit_(limit) {}

protected:
    qint64 writeData(const char* data, qint64 len) override {
        if (written_ + len > limit_) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        written_ += len;
        return QSaveFile::writeData(data, len);
    }

private:
    qint64 limit_;
    qint64 written_ = 0;
};

// A source whose disk fails to read after `limit` bytes.
class BadSectorFile : public QFile {
public:
    BadSectorFile(const QString& name, qint64 limit) : QFile(name), limit_(limit) {}

protected:
    qint64 readData(char* data, qint64 maxlen) override {
        if (pos() + maxlen > limit_) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        return QFile::readData(data, maxlen);
    }

private:
    qint64 limit_;
};

// The file layer of a machine whose disk fails in one of three ways, half way through a copy or
// at the final rename.
class FailingFiles : public CopyFiles {
public:
    enum class Fault { FullDisk, BadSector, Rename };
    FailingFiles(Fault fault, qint64 limit) : fault_(fault), limit_(limit) {}

    std::unique_ptr<QIODevice> openSource(const QString& path, QString& error) override {
        if (fault_ != Fault::BadSector)
            return CopyFiles::openSource(path, error);
        // Unbuffered, so the failure comes when the copy reaches the limit.
        auto file = std::make_unique<BadSectorFile>(path, limit_);
        if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            error = file->errorString();
            return nullptr;
        }
        return file;
    }
    std::unique_ptr<QSaveFile> createTarget(const QString& path, QString& error) override {
        if (fault_ != Fault::FullDisk)
            return CopyFiles::createTarget(path, error);
        auto file = std::make_unique<FullDiskFile>(path, limit_);
        file->setDirectWriteFallback(false);
        if (!file->open(QIODevice::WriteOnly)) {
            error = file->errorString();
            return nullptr;
        }
        return file;
    }
    bool commit(QSaveFile& target, QString& error) override {
        if (fault_ != Fault::Rename)
            return CopyFiles::commit(target, error);
        error = QStringLiteral("Permission denied");
        return false;
    }

private:
    Fault fault_;
    qint64 limit_;
};

} // namespace lms::test
