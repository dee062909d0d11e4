#include "core/widgets/WidgetPrompter.h"

#include "core/screens/Tfrm_Main.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace lms {

QWidget* WidgetPrompter::parentWindow() {
    return QApplication::activeWindow();
}

bool WidgetPrompter::message(Icon icon, Buttons buttons, const QString& text) {
    QMessageBox box(parentWindow());
    box.setWindowTitle(Tfrm_Main::title());
    box.setIcon(icon == Icon::Error         ? QMessageBox::Critical
                : icon == Icon::Information ? QMessageBox::Information
                                            : QMessageBox::Warning);
    // Lines of a message are separated by a bare carriage return.
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    QAbstractButton* yes = nullptr;
    switch (buttons) {
    case Buttons::Ok:
        yes = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        break;
    case Buttons::YesNo:
        yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
        break;
    case Buttons::OkCancel:
        yes = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        break;
    }
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> WidgetPrompter::input(const QString& caption, const QString& prompt,
                                             const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parentWindow(), caption, prompt, QLineEdit::Normal, initial, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

std::optional<QString> WidgetPrompter::openFile(const QString& title, const QString& filter) {
    // "description|*.ext" becomes Qt's "description (*.ext)".
    const QStringList parts = filter.split(QLatin1Char('|'));
    const QString qtFilter =
        parts.size() == 2 ? parts[0] + QStringLiteral(" (") + parts[1] + QLatin1Char(')') : filter;
    const QString file = QFileDialog::getOpenFileName(parentWindow(), title, QString(), qtFilter);
    return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
}

} // namespace lms
