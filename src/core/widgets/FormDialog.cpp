#include "core/widgets/FormDialog.h"

#include "core/form/FormModel.h"
#include "core/widgets/Binder.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QUiLoader>
#include <QVBoxLayout>

namespace lms {

QWidget* loadLayout(const QString& screenName, QWidget* parent) {
    QFile file(QStringLiteral(":/ui/") + screenName + QStringLiteral(".ui"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("layout %s is missing", qPrintable(screenName));
    QUiLoader loader;
    QWidget* widget = loader.load(&file, parent);
    if (!widget)
        qFatal("layout %s cannot be loaded: %s", qPrintable(screenName),
               qPrintable(loader.errorString()));
    return widget;
}

FormDialog::FormDialog(FormModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(model.objectName());
    QWidget* content = loadLayout(model.objectName(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    // A fixed-size dialog as the shop's clerks know it, sized to its layout.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const QVariant closable = content->property("closeBox");
    if (closable.isValid() && !closable.toBool()) {
        closeBox_ = false;
        setWindowFlag(Qt::WindowCloseButtonHint, false);
    }
    binder_ = new Binder(model, *this);
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
    // Screens are left through their own buttons; Escape does not close them.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FormDialog::closeEvent(QCloseEvent* event) {
    // A window without a close box is left only through its buttons (Alt+F4 included).
    if (!closeBox_ && !isHidden() && result() == 0) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace lms
