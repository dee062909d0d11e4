#include "core/form/Field.h"

#include "core/GbkText.h"

#include <limits>

namespace lms {

namespace {

QVariant emptyValueOf(FieldKind kind) {
    switch (kind) {
    case FieldKind::Check:
        return false;
    case FieldKind::Spin:
    case FieldKind::Progress:
        return 0;
    case FieldKind::Radio:
    case FieldKind::Grid:
        return -1;
    case FieldKind::Date:
        return QVariant::fromValue(QDateTime());
    default:
        return QString();
    }
}

} // namespace

Field::Field(const QString& name, FieldKind kind, QObject* parent)
    : QObject(parent), name_(name), kind_(kind), value_(emptyValueOf(kind)) {
    setObjectName(name);
}

void Field::setValue(const QVariant& value) {
    if (value_ == value && value_.typeId() == value.typeId())
        return;
    value_ = value;
    Q_EMIT valueChanged(value_);
}

void Field::type(const QString& text) {
    setValue(maxBytes_ > 0 ? Gbk::truncateToBytes(text, maxBytes_) : text);
}

void Field::setEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Q_EMIT enabledChanged(enabled);
}

void Field::setVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    Q_EMIT visibleChanged(visible);
}

void Field::setCaption(const QString& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    Q_EMIT captionChanged(caption);
}

void Field::setMaxBytes(int bytes) {
    maxBytes_ = bytes;
    Q_EMIT limitsChanged();
}

void Field::setItems(const QStringList& items) {
    items_ = items;
    Q_EMIT itemsChanged(items_);
}

void Field::setItemIndex(int index) {
    setValue(index >= 0 && index < items_.size() ? items_[index] : QString());
}

void Field::setRange(int minimum, int maximum) {
    setMinimum(minimum);
    setMaximum(maximum);
}

void Field::setUnbounded() {
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

void Field::setMaximum(int maximum) {
    maximum_ = maximum;
    Q_EMIT limitsChanged();
}

void Field::setMinimum(int minimum) {
    minimum_ = minimum;
    Q_EMIT limitsChanged();
}

void Field::requestFocus() {
    Q_EMIT focusRequested();
}

} // namespace lms
