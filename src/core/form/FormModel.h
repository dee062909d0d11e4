#pragma once

#include "core/form/Field.h"

#include <QHash>
#include <QObject>
#include <functional>
#include <vector>

namespace lms {

class Prompter;
class Clock;

// Key codes as the screens' key handlers receive them (the Windows virtual-key codes).
inline constexpr int kEnterKey = 13;
inline constexpr int kEscapeKey = 27;

// A screen without widgets: named fields, named operations, a caption and the lifecycle
// every screen shares (FormShow when shown, a request to close with a result).
class FormModel : public QObject {
    Q_OBJECT
public:
    enum class Result { None, Accepted, Rejected };

    FormModel(const QString& name, const QString& caption, QObject* parent = nullptr);

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption) { caption_ = caption; }

    // Runs each time the screen is about to be shown.
    virtual void FormShow() {}

    Field& field(const QString& name) const;
    bool hasField(const QString& name) const { return fields_.contains(name); }
    const std::vector<Field*>& fields() const { return order_; }

    // Runs a named operation ("Button1Click"); false when the screen has none of that name.
    bool run(const QString& operation);
    bool hasOperation(const QString& operation) const { return operations_.contains(operation); }
    QStringList operationNames() const { return operations_.keys(); }

    // A key pressed in a field (Windows key codes: 13 is Enter); runs the field's key handler.
    // Without one, Enter on a button presses it.
    void keyDown(const QString& fieldName, int key);
    // The focus leaves a field; runs the field's exit handler.
    void focusLeft(const QString& fieldName);

    // The field that last asked for the focus.
    const QString& focusedField() const { return focused_; }

    void close(Result result = Result::None);

Q_SIGNALS:
    void closeRequested(lms::FormModel::Result result);

protected:
    Field& addField(const QString& name, FieldKind kind, const QString& caption = {});
    void addOperation(const QString& name, std::function<void()> operation);
    void onChange(const QString& fieldName, std::function<void()> handler);
    void onKeyDown(const QString& fieldName, std::function<void(int key)> handler);
    void onExit(const QString& fieldName, std::function<void()> handler);
    // The same, bound to a declared field: a button's click is its "<name>Click" operation, the
    // name the layouts and the tests use.
    void onClick(const Field& button, std::function<void()> operation) {
        addOperation(button.name() + QStringLiteral("Click"), std::move(operation));
    }
    void onChange(const Field& field, std::function<void()> handler) {
        onChange(field.name(), std::move(handler));
    }
    void onKeyDown(const Field& field, std::function<void(int key)> handler) {
        onKeyDown(field.name(), std::move(handler));
    }
    void onExit(const Field& field, std::function<void()> handler) {
        onExit(field.name(), std::move(handler));
    }

private:
    QString caption_;
    QHash<QString, Field*> fields_;
    std::vector<Field*> order_;
    QHash<QString, std::function<void()>> operations_;
    QHash<QString, std::function<void(int)>> keyHandlers_;
    QHash<QString, std::function<void()>> exitHandlers_;
    QString focused_;
};

} // namespace lms
