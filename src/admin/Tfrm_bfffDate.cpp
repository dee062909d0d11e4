#include "admin/Tfrm_bfffDate.h"

#include <QSaveFile>
#include <algorithm>
#include <limits>

namespace lms {

namespace {

constexpr qint64 kIntMax = std::numeric_limits<int>::max();

} // namespace

Tfrm_bfffDate::Tfrm_bfffDate(QObject* parent)
    : FormModel(QStringLiteral("frm_bfffDate"), QString(), parent) {
    timer1_.setInterval(kTimerMs);
    timer2_.setInterval(kMessageMs);
    timer2_.setSingleShot(true);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { Timer2Timer(); });
    addOperation(QStringLiteral("Timer1Timer"), [this] { Timer1Timer(); });
    addOperation(QStringLiteral("Timer2Timer"), [this] { Timer2Timer(); });
}

void Tfrm_bfffDate::start(int mode, const QString& message) {
    // A pause still running from the last operation must not close this one.
    timer2_.stop();
    done_ = false;
    timer1_.start();
    Label1.setValue(message);
    mode_ = mode;
}

std::optional<QString> Tfrm_bfffDate::CopyWithProgress(const QString& source,
                                                       const QString& target) {
    return CopyWithProgress(source, target, nullptr, nullptr).failure;
}

Tfrm_bfffDate::CheckedCopy Tfrm_bfffDate::CopyWithProgress(const QString& source,
                                                           const QString& target, CopyCheck* check,
                                                           const BeforeRename& beforeRename) {
    const auto failed = [](const QString& reason) { return CheckedCopy{.failure = reason}; };
    const CheckedCopy refused{.refused = true, .failure = std::nullopt};
    done_ = false;
    ProgressBar1.setValue(0);
    QString error;
    const std::unique_ptr<QIODevice> in = files_->openSource(source, error);
    if (!in)
        return failed(error);
    const std::unique_ptr<QSaveFile> out = files_->createTarget(target, error);
    if (!out)
        return failed(error);
    const qint64 size = in->size();
    // The bar counts bytes; a file beyond its range counts in larger units.
    const qint64 unit = size > kIntMax ? size / kIntMax + 1 : 1;
    ProgressBar1.setRange(0, static_cast<int>(size / unit));
    // The bytes move in blocks of whole 65-byte steps and the bar is set once per block: setting
    // it after every step costs far more than the copy (millions of steps for a large file).
    QByteArray block(kBlockBytes, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 read = in->read(block.data(), kBlockBytes);
        if (read < 0)
            return failed(in->errorString());
        if (read == 0)
            break;
        if (check && !check->accept(QByteArrayView(block.constData(), read)))
            return refused;
        if (out->write(block.constData(), read) != read)
            return failed(out->errorString());
        CopyFiles::startWriting(*out, copied, read);
        copied += read;
        ProgressBar1.setValue(static_cast<int>(copied / unit));
    }
    if (copied != size)
        return failed(QStringLiteral("文件在复制时改变了大小"));
    if (check && !check->complete())
        return refused;
    if (beforeRename) {
        if (std::optional<QString> reason = beforeRename())
            return failed(*reason);
    }
    if (!files_->commit(*out, error))
        return failed(error);
    done_ = true;
    return {};
}

void Tfrm_bfffDate::beginSteps(int steps) {
    done_ = false;
    ProgressBar1.setRange(0, std::max(steps, 1));
    ProgressBar1.setValue(0);
}

void Tfrm_bfffDate::advanceStep() {
    // The last step is the tool's own end.
    if (position() + 1 < maximum())
        ProgressBar1.setValue(position() + 1);
}

void Tfrm_bfffDate::finishSteps() {
    ProgressBar1.setValue(maximum());
    done_ = true;
}

void Tfrm_bfffDate::Timer1Timer() {
    if (!done_ || position() != maximum())
        return;
    timer1_.stop();
    Label1.setValue(mode_ == BackupMode ? QStringLiteral("数据备份成功！！")
                                        : QStringLiteral("数据恢复成功！！"));
    timer2_.start();
}

void Tfrm_bfffDate::Timer2Timer() {
    timer2_.stop();
    done_ = false;
    ProgressBar1.setValue(0);
    close();
}

void Tfrm_bfffDate::abandon() {
    timer1_.stop();
    timer2_.stop();
    done_ = false;
    ProgressBar1.setValue(0);
    close();
}

} // namespace lms
