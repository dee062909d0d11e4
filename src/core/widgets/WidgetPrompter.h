#pragma once

#include "core/form/Prompter.h"

class QWidget;

namespace lms {

// The prompter of the running program: Qt's message boxes, input box, file dialogs and print
// preview.
class WidgetPrompter : public Prompter {
public:
    bool showBox(Icon icon, Buttons buttons, const QString& text) override;
    std::optional<QString> input(const QString& caption, const QString& prompt,
                                 const QString& initial) override;
    std::optional<QString> openFile(const QString& title, const QString& filter) override;
    std::optional<QString> saveFile(const QString& title, const QString& filter,
                                    const QString& name) override;
    void printPreview(const Printout& printout) override;
    void labelPreview(const Labels::LabelDocument& document) override;
    bool labelPdf(const Labels::LabelDocument& document, const QString& path) override;

private:
    static QWidget* parentWindow();
};

} // namespace lms
