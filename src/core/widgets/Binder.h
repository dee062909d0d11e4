#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include "core/form/FormModel.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QSpinBox;
class QTableView;
class QWidget;

namespace lms {

class Field;

// Ties a screen's widgets to its model by component name: a widget whose objectName is a field's
// name shows that field, and its user's changes and clicks go back to the model. Values the model
// sets reach the widget without coming back as a second change.
class Binder : public QObject {
    Q_OBJECT
public:
    Binder(FormModel& model, QWidget& root);

    // Fields of the model that have no widget of their name under the root.
    const QStringList& unboundFields() const { return unbound_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Kind;
    // Binds `target` as a `Widget` when it is one; the bindings table is made of these.
    template <typename Widget, void (Binder::*bind)(Field&, Widget&)>
    static bool bindAs(Binder& binder, Field& field, QObject& target);

    void bindField(Field& field, QObject& target);
    void bindCommon(Field& field, QWidget& widget);
    void bindCaptionLabel(Field& field, QWidget& widget);
    void runOperation(const QString& name);

    // One binding per widget kind.
    void bindAction(Field& field, QAction& action);
    void bindLineEdit(Field& field, QLineEdit& edit);
    void bindComboBox(Field& field, QComboBox& combo);
    void bindCheckBox(Field& field, QCheckBox& check);
    void bindButton(Field& field, QAbstractButton& button);
    void bindSpinBox(Field& field, QSpinBox& spin);
    void bindDateEdit(Field& field, QDateTimeEdit& dateEdit);
    void bindMemo(Field& field, QPlainTextEdit& memo);
    void bindListBox(Field& field, QListWidget& list);
    void bindMenu(Field& field, QMenu& menu);
    void bindGroupBox(Field& field, QGroupBox& group);
    void bindRadioGroup(Field& field, QGroupBox& group);
    void bindLabel(Field& field, QLabel& label);
    void bindProgressBar(Field& field, QProgressBar& progress);
    void bindGrid(Field& field, QTableView& table);

    // Widgets may outlive their screen while the program ends; then nothing reaches it.
    QPointer<FormModel> model_;
    QWidget& root_;
    QStringList unbound_;
    // Set while the model's value is being written into a widget, so it does not echo back.
    bool updating_ = false;
};

} // namespace lms
