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
    inFormShow_.insert(&screen);
    screen.FormShow();
    inFormShow_.remove(&screen);
    // A window revealed during FormShow and closed by the clerk before it ended stays closed.
    const bool closedMeanwhile = revealed_.remove(&screen) && dialog.isHidden();
    if (!quitting_ && !closedMeanwhile)
        dialog.exec();
}

void WidgetHost::reveal(FormModel& screen) {
    if (!inFormShow_.contains(&screen) || revealed_.contains(&screen))
        return;
    revealed_.insert(&screen);
    FormDialog& dialog = dialogFor(screen);
    // Modal from the start, as exec() later keeps it.
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
}

bool WidgetHost::breathe(FormModel& screen) {
    const FormDialog* dialog = dialogs_.value(&screen);
    const bool wasShown = dialog && dialog->isVisible();
    QCoreApplication::processEvents();
    return !quitting_ && !(wasShown && dialog->isHidden());
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
