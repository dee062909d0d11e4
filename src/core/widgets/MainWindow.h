#pragma once

#include <QObject>
#include <memory>

class QMainWindow;
class QTimer;

namespace lms {

class Tfrm_Main;
class Binder;

// The main window's widgets: the window of its Designer layout (menu bar and tool bar) bound to
// the main-window model, with the stretched background picture, the status-bar panels and the
// one-second clock added.
class MainWindow : public QObject {
    Q_OBJECT
public:
    explicit MainWindow(Tfrm_Main& model);
    ~MainWindow() override;

    QMainWindow& window() const { return *window_; }
    const Binder& binder() const { return *binder_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Tfrm_Main& model_;
    std::unique_ptr<QMainWindow> window_;
    Binder* binder_ = nullptr;
    QTimer* clock_ = nullptr;
};

} // namespace lms
