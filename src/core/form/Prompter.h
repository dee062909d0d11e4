#pragma once

#include <QString>
#include <optional>

namespace lms {

struct Printout;
namespace Labels {
class LabelDocument;
}

// The message boxes, input box, file dialogs and print preview a screen may raise; the widgets
// show them, tests answer them from a script.
class Prompter {
public:
    enum class Icon { Error, Information, Warning };
    enum class Buttons { Ok, YesNo, OkCancel };

    virtual ~Prompter() = default;

    // Shows a modal box; true when the answer was OK or Yes. A question's default answer is No
    // (Cancel): an Enter meant for a field, a scanner's above all, never says Yes.
    bool message(Icon icon, Buttons buttons, const QString& text) {
        ++boxesShown_;
        return showBox(icon, buttons, text);
    }
    // An input box with a caption and a prompt; nothing when it was cancelled.
    virtual std::optional<QString> input(const QString& caption, const QString& prompt,
                                         const QString& initial) = 0;
    // A file-open dialog; filter as "description|*.ext". Nothing when cancelled.
    virtual std::optional<QString> openFile(const QString& title, const QString& filter) = 0;
    // A file-save dialog offering `name`; it asks before an existing file is replaced. Nothing
    // when cancelled.
    virtual std::optional<QString> saveFile(const QString& title, const QString& filter,
                                            const QString& name) = 0;
    // Shows the document in a print preview, from which the clerk prints it or not.
    virtual void printPreview(const Printout& printout) = 0;
    // Shows sheets of labels or cards in their print preview, from which the clerk prints them.
    virtual void labelPreview(const Labels::LabelDocument& document) = 0;
    // Writes sheets of labels or cards as a PDF file, drawn as the preview draws them; false,
    // with nothing left behind, when it cannot.
    virtual bool labelPdf(const Labels::LabelDocument& document, const QString& path) = 0;

    void error(const QString& text) { message(Icon::Error, Buttons::Ok, text); }
    void information(const QString& text) { message(Icon::Information, Buttons::Ok, text); }
    void warning(const QString& text) { message(Icon::Warning, Buttons::Ok, text); }
    bool warningYesNo(const QString& text) { return message(Icon::Warning, Buttons::YesNo, text); }
    bool informationYesNo(const QString& text) {
        return message(Icon::Information, Buttons::YesNo, text);
    }
    bool informationOkCancel(const QString& text) {
        return message(Icon::Information, Buttons::OkCancel, text);
    }

    // How many boxes have been shown so far: a screen tells from it whether a step of its own
    // raised one, which took the keys typed meanwhile.
    int boxesShown() const { return boxesShown_; }

protected:
    virtual bool showBox(Icon icon, Buttons buttons, const QString& text) = 0;

private:
    int boxesShown_ = 0;
};

} // namespace lms
