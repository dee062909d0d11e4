#pragma once

#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"

#include <QDateTime>
#include <QString>

namespace lms::crash {

// Answers every question with Yes and remembers the last box and whether a database failure
// was reported since it was last asked.
class YesPrompter : public Prompter {
public:
    bool showBox(Icon icon, Buttons buttons, const QString& text) override;
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> openFile(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void printPreview(const Printout&) override {}
    void labelPreview(const Labels::LabelDocument&) override {}
    bool labelPdf(const Labels::LabelDocument&, const QString&) override { return false; }

    const QString& lastText() const { return lastText_; }
    // True once per reported "连接数据库出错!".
    bool takeDatabaseError();

private:
    QString lastText_;
    bool databaseError_ = false;
};

// A clock the clerk moves forward itself, so every operation has a moment of its own. Every
// moment it gives carries the same millisecond, the desk's own, so desks working side by side
// never give two operations the same moment.
class SteppingClock : public Clock {
public:
    QDateTime now() const override { return now_; }
    void set(const QDateTime& now) { now_ = now.addMSecs(millisecond_ - now.time().msec()); }
    void advanceSeconds(qint64 seconds) { now_ = now_.addSecs(seconds); }
    void setMillisecond(int millisecond) {
        millisecond_ = millisecond;
        set(now_);
    }

private:
    QDateTime now_;
    int millisecond_ = 0;
};

// Shows nothing: a screen opened by another stays a model.
class QuietHost : public ScreenHost {
public:
    void showModal(FormModel&) override {}
    void showModeless(FormModel&, bool) override {}
    void quit() override {}
    bool quitting() const override { return false; }
};

} // namespace lms::crash
