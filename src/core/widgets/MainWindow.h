#pragma once

#include <QMainWindow>

class QLabel;
class QTimer;

namespace lms {

class Tfrm_Main;
class Binder;

// The main window's widgets: the menu bar and tool bar of its layout bound to the main-window
// model, the stretched background picture, the status-bar panels and the one-second clock.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Tfrm_Main& model, QWidget* parent = nullptr);

    const Binder& binder() const { return *binder_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Tfrm_Main& model_;
    Binder* binder_ = nullptr;
    QTimer* clock_ = nullptr;
};

} // namespace lms
