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
    bool message(Icon icon, Buttons buttons, const QString& text) override;
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

    const QString& lastText() const { return lastText_; }
    // True once per reported "连接数据库出错!".
    bool takeDatabaseError();

private:
    QString lastText_;
    bool databaseError_ = false;
};

// A clock the clerk moves forward itself, so every operation has a moment of its own.
class SteppingClock : public Clock {
public:
    QDateTime now() const override { return now_; }
    void set(const QDateTime& now) { now_ = now; }
    void advanceSeconds(qint64 seconds) { now_ = now_.addSecs(seconds); }

private:
    QDateTime now_;
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
