#pragma once

#include <QDialog>

namespace lms {

class FormModel;
class Binder;

// The window of any screen: its Designer layout (":/ui/<screen name>.ui") loaded and bound to the
// screen's model. Closed by the model, or by its close box where it has one.
class FormDialog : public QDialog {
    Q_OBJECT
public:
    FormDialog(FormModel& model, QWidget* parent = nullptr);

    FormModel& model() const { return model_; }
    const Binder& binder() const { return *binder_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool closeBox_ = true;
    FormModel& model_;
    Binder* binder_ = nullptr;
};

// Loads a Designer layout from the program's resources; aborts with a message if it is missing,
// since the program was built without it.
QWidget* loadLayout(const QString& screenName, QWidget* parent);

} // namespace lms
