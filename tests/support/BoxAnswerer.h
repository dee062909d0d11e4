#pragma once

// Answers the program's real message boxes as the desk does, with Enter sent to the box's
// focused button, and keeps what each box was like.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <vector>

namespace lms::test {

class BoxAnswerer {
public:
    struct Seen {
        QString text;
        QString defaultButton; // the button Enter presses
        QString answer;        // the button the key pressed
        bool active = false;   // the box had the keyboard
        bool onTop = false;    // the box was kept above other windows
        QWidget* parent = nullptr;
    };

    BoxAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answerOpenBox(); });
        timer_.start(10);
    }

    const std::vector<Seen>& seen() const { return seen_; }
    QStringList texts() const {
        QStringList texts;
        for (const Seen& box : seen_)
            texts << box.text;
        return texts;
    }
    void clear() { seen_.clear(); }

private:
    void answerOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == answering_)
            return;
        // The window system activates a new window a little later; a box never activated is
        // answered after a while all the same, and seen as not having had the keyboard.
        const bool active = QApplication::activeWindow() == box;
        if (!active && ++ticksInactive_ < kPatientTicks)
            return;
        ticksInactive_ = 0;
        answering_ = box;
        Seen seen;
        seen.text = box->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        seen.active = active;
        seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        seen.parent = box->parentWidget();
        // The key goes where the keyboard's would: to the widget with the focus.
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target && target->window() == box ? target : box, Qt::Key_Return);
        seen.answer = box->clickedButton() ? box->clickedButton()->text() : QString();
        seen_.push_back(seen);
    }

    static constexpr int kPatientTicks = 100;
    QTimer timer_;
    int ticksInactive_ = 0;
    QPointer<QMessageBox> answering_;
    std::vector<Seen> seen_;
};

} // namespace lms::test
