#include "core/form/FormModel.h"

#include <stdexcept>

namespace lms {

FormModel::FormModel(const QString& name, const QString& caption, QObject* parent)
    : QObject(parent), caption_(caption) {
    setObjectName(name);
}

Field& FormModel::field(const QString& name) const {
    Field* found = fields_.value(name);
    if (!found)
        throw std::out_of_range("no field " + name.toStdString() + " on " +
                                objectName().toStdString());
    return *found;
}

Field& FormModel::addField(const QString& name, FieldKind kind, const QString& caption) {
    auto* created = new Field(name, kind, this);
    created->setCaption(caption);
    fields_.insert(name, created);
    order_.push_back(created);
    connect(created, &Field::focusRequested, this, [this, name] { focused_ = name; });
    return *created;
}

void FormModel::addOperation(const QString& name, std::function<void()> operation) {
    operations_.insert(name, std::move(operation));
}

bool FormModel::run(const QString& operation) {
    const auto it = operations_.constFind(operation);
    if (it == operations_.constEnd())
        return false;
    // A disabled button or command runs nothing, whoever triggers it.
    const QString buttonName =
        operation.endsWith(QStringLiteral("Click")) ? operation.chopped(5) : QString();
    if (!buttonName.isEmpty() && fields_.contains(buttonName) && !fields_[buttonName]->isEnabled())
        return true;
    const std::function<void()> call = it.value();
    call();
    return true;
}

void FormModel::onChange(const QString& fieldName, std::function<void()> handler) {
    connect(&field(fieldName), &Field::valueChanged, this,
            [handler = std::move(handler)] { handler(); });
}

void FormModel::onKeyDown(const QString& fieldName, std::function<void(int)> handler) {
    keyHandlers_.insert(fieldName, std::move(handler));
}

void FormModel::onExit(const QString& fieldName, std::function<void()> handler) {
    exitHandlers_.insert(fieldName, std::move(handler));
}

void FormModel::keyDown(const QString& fieldName, int key) {
    const auto it = keyHandlers_.constFind(fieldName);
    if (it != keyHandlers_.constEnd()) {
        const std::function<void(int)> call = it.value();
        call(key);
        return;
    }
    // Enter presses a focused button as Space does, so no screen needs the mouse.
    const auto button = fields_.constFind(fieldName);
    if (key == kEnterKey && button != fields_.constEnd() &&
        button.value()->kind() == FieldKind::Button)
        run(fieldName + QStringLiteral("Click"));
}

void FormModel::focusLeft(const QString& fieldName) {
    const auto it = exitHandlers_.constFind(fieldName);
    if (it != exitHandlers_.constEnd()) {
        const std::function<void()> call = it.value();
        call();
    }
}

void FormModel::close(Result result) {
    Q_EMIT closeRequested(result);
}

} // namespace lms
