#pragma once

// Reaching the real windows from widget tests: a named child widget, and a modal dialog the
// program shows while the test waits inside it.

#include <QApplication>
#include <QElapsedTimer>
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

} // namespace lms::test
