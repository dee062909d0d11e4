#pragma once

#include "core/form/ScreenHost.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>

class QWidget;

namespace lms {

class FormDialog;

// Shows screens as Qt dialogs, each created once and kept for the life of the program.
class WidgetHost : public ScreenHost {
public:
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    void showModal(FormModel& screen) override;
    void showModeless(FormModel& screen, bool stayOnTop) override;
    void reveal(FormModel& screen) override;
    bool breathe(FormModel& screen) override;
    void quit() override;
    bool quitting() const override { return quitting_; }

    FormDialog& dialogFor(FormModel& screen);

private:
    QPointer<QWidget> mainWindow_;
    QHash<FormModel*, FormDialog*> dialogs_;
    // Screens whose FormShow runs within showModal, and those of them already revealed.
    QSet<FormModel*> inFormShow_;
    QSet<FormModel*> revealed_;
    bool quitting_ = false;
};

} // namespace lms
