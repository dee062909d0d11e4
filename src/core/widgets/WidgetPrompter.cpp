#include "core/widgets/WidgetPrompter.h"

#include "core/screens/Tfrm_Main.h"
#include "core/widgets/LabelPreview.h"
#include "core/widgets/PrintoutPrinter.h"
#include "reports/labels/LabelSheet.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace lms {

namespace {

// A shown window kept above the others (the lending window opened by "继续借书").
QWidget* windowKeptOnTop() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            return window;
    return nullptr;
}

} // namespace

QWidget* WidgetPrompter::parentWindow() {
    // The modal screen at work, else a window kept on top: the active window may still be one
    // beneath it (activation comes late), and a box over that one would open behind it.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* onTop = windowKeptOnTop())
        return onTop;
    return QApplication::activeWindow();
}

bool WidgetPrompter::showBox(Icon icon, Buttons buttons, const QString& text) {
    QWidget* const parent = parentWindow();
    QMessageBox box(parent);
    box.setWindowTitle(Tfrm_Main::title());
    box.setIcon(icon == Icon::Error         ? QMessageBox::Critical
                : icon == Icon::Information ? QMessageBox::Information
                                            : QMessageBox::Warning);
    // Lines of a message are separated by a bare carriage return.
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    switch (buttons) {
    case Buttons::Ok:
        yes = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        no = yes;
        break;
    case Buttons::YesNo:
        yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
        break;
    case Buttons::OkCancel:
        yes = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        no = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        break;
    }
    // A question lets an operation go past a rule or do something far-reaching: Enter and
    // Escape say No, only a deliberate choice says Yes.
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    // Above a window kept on top as well, and with the keyboard at once.
    if (windowKeptOnTop())
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });
    box.exec();
    // The keyboard goes back to the window the box belongs to, to the field its screen chose
    // for the next entry, whatever the window manager activates next.
    if (parent && parent->isVisible())
        parent->activateWindow();
    return box.clickedButton() == yes;
}

std::optional<QString> WidgetPrompter::input(const QString& caption, const QString& prompt,
                                             const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parentWindow(), caption, prompt, QLineEdit::Normal, initial, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

namespace {

// "description|*.ext" becomes Qt's "description (*.ext)".
QString qtFilterOf(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    return parts.size() == 2 ? parts[0] + QStringLiteral(" (") + parts[1] + QLatin1Char(')')
                             : filter;
}

} // namespace

std::optional<QString> WidgetPrompter::openFile(const QString& title, const QString& filter) {
    const QString file =
        QFileDialog::getOpenFileName(parentWindow(), title, QString(), qtFilterOf(filter));
    return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
}

std::optional<QString> WidgetPrompter::saveFile(const QString& title, const QString& filter,
                                                const QString& name) {
    QFileDialog dialog(parentWindow(), title, QDir::home().filePath(name), qtFilterOf(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without the filter's extension gets it.
    const qsizetype dot = filter.lastIndexOf(QStringLiteral("*."));
    if (dot >= 0)
        dialog.setDefaultSuffix(filter.mid(dot + 2));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void WidgetPrompter::printPreview(const Printout& printout) {
    PrintoutPrinter::preview(printout, parentWindow());
}

void WidgetPrompter::labelPreview(const Labels::LabelDocument& document) {
    showLabelPreview(document, parentWindow());
}

bool WidgetPrompter::labelPdf(const Labels::LabelDocument& document, const QString& path) {
    return Labels::writePdf(document, path);
}

} // namespace lms
