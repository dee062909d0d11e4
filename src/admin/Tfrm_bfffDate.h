#pragma once

#include "admin/CopyFiles.h"
#include "core/form/FormModel.h"

#include <QTimer>
#include <functional>
#include <optional>

namespace lms {

// The small progress window of a backup or restore: copies the file (or follows the server's
// tools) while the bar fills, and closes itself with a success message once the work is done.
class Tfrm_bfffDate : public FormModel {
    Q_OBJECT
public:
    static constexpr int kStepBytes = 65;
    // The bar advances by whole blocks of steps (about 1 MB).
    static constexpr int kBlockBytes = kStepBytes * 16384;
    static constexpr int kTimerMs = 3000;
    static constexpr int kMessageMs = 1000;
    enum { BackupMode = 1, RestoreMode = 2 };

    explicit Tfrm_bfffDate(QObject* parent = nullptr);

    // Where the copy reads and writes (the real files unless a test puts others in).
    void setFiles(CopyFiles& files) { files_ = &files; }

    // Turns the timer on and shows what is being done: backup (1) or restore (2).
    void start(int mode, const QString& message);
    int Mode() const { return mode_; }

    // Copies source to target byte for byte, filling the bar; the target takes its name only
    // when complete. The reason when it failed, nothing when it succeeded.
    std::optional<QString> CopyWithProgress(const QString& source, const QString& target);

    // How a checked copy ended: done, the source refused by the check, or failed for a reason.
    struct CheckedCopy {
        bool refused = false;
        std::optional<QString> failure;
    };
    // Runs before the complete and sound target takes its name; a reason keeps it from that.
    using BeforeRename = std::function<std::optional<QString>()>;
    // The same copy, with every block the source gives shown to `check` (if any) before it is
    // written; the target takes its name only once the check found the whole source sound and
    // `beforeRename` let it.
    CheckedCopy CopyWithProgress(const QString& source, const QString& target, CopyCheck* check,
                                 const BeforeRename& beforeRename);

    // Work another program does (the database server's dump and restore tools), counted in
    // steps: the bar fills a step at a time and is full only once finishSteps() says the work
    // is done.
    void beginSteps(int steps);
    void advanceStep();
    void finishSteps();

    // The 3-second tick: once the copy is done, shows the success message and starts the
    // one-second pause after which the window closes.
    void Timer1Timer();
    // The end of that pause: empties the bar and closes the window.
    void Timer2Timer();
    // Ends an operation that failed or was refused: timer off, bar empty, window closed.
    void abandon();

    const QTimer& Timer1() const { return timer1_; }
    const QTimer& Timer2() const { return timer2_; }
    int position() const { return ProgressBar1.number(); }
    int maximum() const { return ProgressBar1.maximum(); }

    // The window's fields, named as its widgets.
    Field& Label1 = // what is being done, then its success
        addField(QStringLiteral("Label1"), FieldKind::Label);
    Field& ProgressBar1 = // bytes copied so far, of the source's size
        addField(QStringLiteral("ProgressBar1"), FieldKind::Progress);

private:
    CopyFiles defaultFiles_;
    CopyFiles* files_ = &defaultFiles_;
    QTimer timer1_;
    QTimer timer2_;
    int mode_ = 0;
    bool done_ = false;
};

} // namespace lms
