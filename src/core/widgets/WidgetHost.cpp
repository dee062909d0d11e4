#include "core/widgets/WidgetHost.h"

#include "core/form/FormModel.h"
#include "core/widgets/FormDialog.h"

#include <QApplication>

namespace lms {

FormDialog& WidgetHost::dialogFor(FormModel& screen) {
    FormDialog*& dialog = dialogs_[&screen];
    if (!dialog)
        dialog = new FormDialog(screen, mainWindow_);
    return *dialog;
}

void WidgetHost::showModal(FormModel& screen) {
    FormDialog& dialog = dialogFor(screen);
    screen.FormShow();
    if (!quitting_)
        dialog.exec();
}

void WidgetHost::showModeless(FormModel& screen, bool stayOnTop) {
    FormDialog& dialog = dialogFor(screen);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    screen.FormShow();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

void WidgetHost::quit() {
    quitting_ = true;
    QApplication::closeAllWindows();
    QApplication::exit(0);
}

} // namespace lms
