#pragma once

// Reaching the real windows from widget tests: a named child widget, a modal dialog the
// program shows while the test waits inside it, and the login typed into its window.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace lms::test {

// The named widget under `root`; a missing one ends the test with its name.
template <typename T> T& child(QWidget& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromUtf8(name));
    if (!found)
        throw std::runtime_error(std::string("no widget ") + name);
    return *found;
}

// Runs `act` on the named modal dialog as soon as it is up; fails the test if it never shows.
inline void whenModal(const QString& name, std::function<void(QWidget&)> act) {
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(*modal);
        } else if (started->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "dialog " << name.toStdString() << " did not show";
            if (modal)
                modal->close();
        }
    });
    timer->start(20);
}

// Types the name and password into the login window and presses Enter, as a clerk does.
inline void logInThrough(QWidget& dialog, const QString& user, const QString& password) {
    child<QComboBox>(dialog, "userlist").setEditText(user);
    auto& pwd = child<QLineEdit>(dialog, "PWDEdit");
    pwd.setFocus();
    QTest::keyClicks(&pwd, password);
    QTest::keyClick(&pwd, Qt::Key_Return);
}

} // namespace lms::test
