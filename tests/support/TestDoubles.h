#pragma once

#include "core/form/Clock.h"
#include "core/form/FormModel.h"
#include "core/form/Printout.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "reports/labels/LabelSheet.h"
#include "support/Moments.h"

#include <QDateTime>
#include <QHash>
#include <deque>
#include <functional>
#include <vector>

namespace lms::test {

// A prompter that records every box (kind, buttons, exact text) and answers questions from a
// script; a question with no scripted answer is a test failure.
class ScriptedPrompter : public Prompter {
public:
    struct Box {
        Icon icon;
        Buttons buttons;
        QString text;
    };

    bool showBox(Icon icon, Buttons buttons, const QString& text) override;
    std::optional<QString> input(const QString& caption, const QString& prompt,
                                 const QString& initial) override;
    std::optional<QString> openFile(const QString& title, const QString& filter) override;
    std::optional<QString> saveFile(const QString& title, const QString& filter,
                                    const QString& name) override;
    // Keeps the document with its table's cells read at the moment it was shown.
    void printPreview(const Printout& printout) override;
    // Keeps a copy of the sheets: their labels, layout and where each label lies.
    // Writes the PDF as the program does.
    bool labelPdf(const Labels::LabelDocument& document, const QString& path) override {
        return Labels::writePdf(document, path);
    }
    void labelPreview(const Labels::LabelDocument& document) override {
        labelPreviews_.push_back(document);
    }

    void answer(bool yes) { answers_.push_back(yes); }
    void answerInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
    void answerFile(std::optional<QString> path) { files_.push_back(std::move(path)); }
    void answerSaveFile(std::optional<QString> path) { saves_.push_back(std::move(path)); }

    // A save dialog as it was asked.
    struct SaveDialog {
        QString title;
        QString filter;
        QString name;
    };
    const std::vector<SaveDialog>& saveDialogs() const { return saveDialogs_; }

    // A document shown in the print preview, its table read out.
    struct Printed {
        Printout printout;
        QList<QStringList> rows;
    };
    const std::vector<Printed>& printed() const { return printed_; }
    const std::vector<Labels::LabelDocument>& labelPreviews() const { return labelPreviews_; }

    const std::vector<Box>& boxes() const { return boxes_; }
    // The box shown `index`-th since the last clear, the last one, its text: a box that was not
    // shown fails the test (an empty box stands in), so a regression fails one test instead of
    // ending the test program.
    const Box& box(std::size_t index) const;
    const Box& lastBox() const;
    QString lastText() const { return lastBox().text; }
    QStringList texts() const;
    // The only box shown since the last clear, or a failure.
    QString single() const;
    void clear() { boxes_.clear(); }

private:
    std::vector<Box> boxes_;
    std::deque<bool> answers_;
    std::deque<std::optional<QString>> inputs_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::optional<QString>> saves_;
    std::vector<SaveDialog> saveDialogs_;
    std::vector<Printed> printed_;
    std::vector<Labels::LabelDocument> labelPreviews_;
};

// "Now" as the test sets it.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime now = at(2026, 3, 14, 10, 30, 0)) : now_(std::move(now)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime& now) { now_ = now; }
    void advanceDays(int days) { now_ = now_.addDays(days); }

private:
    QDateTime now_;
};

// Shows screens by running their FormShow and then what the test scripted for that screen
// (typing, clicking); records the order in which screens were shown.
class ScriptedHost : public ScreenHost {
public:
    using Script = std::function<void(FormModel&)>;

    void showModal(FormModel& screen) override;
    void showModeless(FormModel& screen, bool stayOnTop) override;
    void quit() override { quitting_ = true; }
    bool quitting() const override { return quitting_; }

    // Where the program lets the windows take clicks during a screen's long work, runs
    // `whileWorking` (when set); the screen's window counts as closed once it returns false.
    bool breathe(FormModel& screen) override { return !whileWorking || whileWorking(screen); }
    std::function<bool(FormModel&)> whileWorking;

    // The next showings of the named screen run these scripts, one per showing.
    void script(const QString& screenName, Script script);
    const QStringList& shown() const { return shown_; }

private:
    QHash<QString, std::deque<Script>> scripts_;
    QStringList shown_;
    bool quitting_ = false;
};

} // namespace lms::test
