#include "storage/jet/JetArrival.h"

#include "core/Tdm_Dbase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace lms::JetArrival {

namespace {

StepHook stepHook = nullptr;

void step(const char* name) {
    if (stepHook)
        stepHook(name);
}

// Writes what the file system holds of `path` (a file or a folder) to the disk.
bool sync(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool sameBytes(const QString& a, const QString& b) {
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) ||
        first.size() != second.size())
        return false;
    constexpr qint64 kBlock = 1 << 20;
    while (!first.atEnd()) {
        if (first.read(kBlock) != second.read(kBlock))
            return false;
    }
    return true;
}

// Keeps the original under the kept name (or, where another file already has it, the first
// free numbered one), copied whole and synced before anything else happens.
QString keepOriginal(const QString& folder, const QString& original) {
    const QDir dir(folder);
    const QFileInfo kept(keptName());
    for (int n = 1;; ++n) {
        const QString name =
            n == 1
                ? kept.fileName()
                : QStringLiteral("%1-%2.%3").arg(kept.completeBaseName()).arg(n).arg(kept.suffix());
        const QString path = dir.filePath(name);
        if (QFileInfo::exists(path)) {
            if (sameBytes(path, original))
                return path;
            continue;
        }
        const QString part = path + QStringLiteral(".part");
        QFile::remove(part);
        if (!QFile::copy(original, part) || !sync(part)) {
            QFile::remove(part);
            throw JetMove::Failure(
                QStringLiteral("不能在文件夹“%1”中保存原文件的副本，没有移动。请检查磁盘空间和"
                               "写入权限。")
                    .arg(QDir::toNativeSeparators(dir.absolutePath())));
        }
        step("kept-copy-written");
        // Never over a file that appeared meanwhile.
        if (::link(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0) {
            QFile::remove(part);
            continue;
        }
        QFile::remove(part);
        sync(dir.absolutePath());
        return path;
    }
}

QString saveReport(const QString& folder, const QString& text) {
    const QString path = QDir(folder).filePath(reportName());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(text.toUtf8());
    return file.commit() ? path : QString();
}

} // namespace

QString keptName() {
    return QStringLiteral("dbase-jet4-原文件.zqd");
}

QString reportName() {
    return QStringLiteral("dbase-jet4-移入报告.txt");
}

void setStepHook(StepHook hook) {
    stepHook = hook;
}

namespace {

// Builds the new file at `side` from the Jet file and syncs it.
JetMove::Report buildBeside(const QString& jetFile, const QString& side) {
    ShopMove::removeSideFile(side);
    try {
        JetMove::Report report;
        {
            Database target;
            target.open(side, Tdm_Dbase::kPassword, Database::OpenMode::CreateIfMissing);
            step("side-file-opened");
            report = JetMove::carry(jetFile, target);
            step("side-file-committed");
        }
        if (!sync(side))
            throw JetMove::Failure(QStringLiteral("新的数据库文件不能写入磁盘，没有移动。"));
        step("side-file-synced");
        return report;
    } catch (const DbError& error) {
        ShopMove::removeSideFile(side);
        throw JetMove::Failure(QStringLiteral("数据库出错：") +
                               QString::fromStdString(error.what()).trimmed());
    } catch (...) {
        ShopMove::removeSideFile(side);
        throw;
    }
}

} // namespace

JetMove::Report moveToNewFile(const QString& jetFile, const QString& path) {
    const QString side = path + QStringLiteral(".jet-moving");
    JetMove::Report report = buildBeside(jetFile, side);
    // Never over a file that appeared meanwhile.
    const bool named =
        ::link(QFile::encodeName(side).constData(), QFile::encodeName(path).constData()) == 0;
    ShopMove::removeSideFile(side);
    if (!named)
        throw JetMove::Failure(QStringLiteral("不能把新文件命名为 %1，没有移动。")
                                   .arg(QDir::toNativeSeparators(path)));
    sync(QFileInfo(path).absolutePath());
    return report;
}

Moved moveInPlace(const QString& folder) {
    const QDir dir(folder);
    const QString live = dir.filePath(Tdm_Dbase::kFileName);
    Moved moved;
    moved.keptPath = keepOriginal(folder, live);
    step("original-kept");
    // Read from the kept copy: the file that stays is the one that was moved.
    const QString side = live + QStringLiteral(".jet-moving");
    moved.report = buildBeside(moved.keptPath, side);
    // One rename replaces the Jet file by the new one: the folder holds one or the other.
    if (std::rename(QFile::encodeName(side).constData(), QFile::encodeName(live).constData()) !=
        0) {
        ShopMove::removeSideFile(side);
        throw JetMove::Failure(QStringLiteral("新的数据库文件不能命名为 %1，没有移动。")
                                   .arg(QDir::toNativeSeparators(live)));
    }
    step("renamed");
    sync(dir.absolutePath());
    moved.text = JetMove::reportText(moved.report, QDir::toNativeSeparators(live),
                                     QDir::toNativeSeparators(moved.keptPath));
    moved.reportPath = saveReport(folder, moved.text);
    step("report-saved");
    return moved;
}

} // namespace lms::JetArrival
