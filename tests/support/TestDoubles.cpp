#include "support/TestDoubles.h"

#include <gtest/gtest.h>

namespace lms::test {

namespace {

// Takes the next scripted answer. The value is moved out before the pop, so the optimiser sees no
// copy of a possibly empty optional (GCC 12 reports one as maybe-uninitialized).
std::optional<QString> takeFront(std::deque<std::optional<QString>>& queue) {
    const bool given = queue.front().has_value();
    QString value = given ? std::move(*queue.front()) : QString();
    queue.pop_front();
    if (!given)
        return std::nullopt;
    return value;
}

} // namespace

bool ScriptedPrompter::showBox(Icon icon, Buttons buttons, const QString& text) {
    boxes_.push_back({icon, buttons, text});
    if (buttons == Buttons::Ok)
        return true;
    if (answers_.empty()) {
        ADD_FAILURE() << "unanswered question: " << text.toStdString();
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

std::optional<QString> ScriptedPrompter::input(const QString& caption, const QString& prompt,
                                               const QString&) {
    if (inputs_.empty()) {
        ADD_FAILURE() << "unanswered input box: " << caption.toStdString() << " "
                      << prompt.toStdString();
        return std::nullopt;
    }
    return takeFront(inputs_);
}

std::optional<QString> ScriptedPrompter::openFile(const QString& title, const QString&) {
    if (files_.empty()) {
        ADD_FAILURE() << "unanswered file dialog: " << title.toStdString();
        return std::nullopt;
    }
    return takeFront(files_);
}

std::optional<QString> ScriptedPrompter::saveFile(const QString& title, const QString& filter,
                                                  const QString& name) {
    saveDialogs_.push_back({title, filter, name});
    if (saves_.empty()) {
        ADD_FAILURE() << "unanswered save dialog: " << title.toStdString();
        return std::nullopt;
    }
    return takeFront(saves_);
}

void ScriptedPrompter::printPreview(const Printout& printout) {
    Printed shown{printout, {}};
    for (int row = 0; row < printout.rowCount; ++row) {
        QStringList cells;
        for (int column = 0; column < printout.columns.size(); ++column)
            cells << printout.cell(row, column);
        shown.rows << cells;
    }
    shown.printout.cell = nullptr;
    printed_.push_back(std::move(shown));
}

const ScriptedPrompter::Box& ScriptedPrompter::box(std::size_t index) const {
    static const Box none{Icon::Information, Buttons::Ok, QString()};
    if (index < boxes_.size())
        return boxes_[index];
    ADD_FAILURE() << "box " << index
                  << " was not shown; shown: " << texts().join(QStringLiteral(" | ")).toStdString();
    return none;
}

const ScriptedPrompter::Box& ScriptedPrompter::lastBox() const {
    return box(boxes_.empty() ? 0 : boxes_.size() - 1);
}

QStringList ScriptedPrompter::texts() const {
    QStringList all;
    for (const Box& box : boxes_)
        all << box.text;
    return all;
}

QString ScriptedPrompter::single() const {
    EXPECT_EQ(boxes_.size(), 1u) << texts().join(QStringLiteral(" | ")).toStdString();
    return boxes_.empty() ? QString() : boxes_.back().text;
}

void ScriptedHost::showModal(FormModel& screen) {
    shown_ << screen.objectName();
    screen.FormShow();
    auto& queue = scripts_[screen.objectName()];
    if (queue.empty())
        return;
    Script next = std::move(queue.front());
    queue.pop_front();
    next(screen);
}

void ScriptedHost::showModeless(FormModel& screen, bool) {
    showModal(screen);
}

void ScriptedHost::script(const QString& screenName, Script script) {
    scripts_[screenName].push_back(std::move(script));
}

} // namespace lms::test
