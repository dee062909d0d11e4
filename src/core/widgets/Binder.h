#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include "core/form/FormModel.h"

class QGroupBox;
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
    void bindField(Field& field, QObject& target);
    void bindCommon(Field& field, QWidget& widget);
    void bindCaptionLabel(Field& field, QWidget& widget);
    void runOperation(const QString& name);
    void bindRadioGroup(Field& field, QGroupBox& group);

    // Widgets may outlive their screen while the program ends; then nothing reaches it.
    QPointer<FormModel> model_;
    QWidget& root_;
    QStringList unbound_;
    // Set while the model's value is being written into a widget, so it does not echo back.
    bool updating_ = false;
};

} // namespace lms
