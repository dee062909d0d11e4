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

Field& Field::setValue(const QVariant& value) {
    if (value_ == value && value_.typeId() == value.typeId())
        return *this;
    value_ = value;
    Q_EMIT valueChanged(value_);
    return *this;
}

void Field::type(const QString& text) {
    const QString typed = typeable(text);
    setValue(maxBytes_ > 0 ? Gbk::truncateToBytes(typed, maxBytes_) : typed);
}

QString Field::typeable(QString text) {
    return text.remove(QChar(u'\0'));
}

Field& Field::setEnabled(bool enabled) {
    if (enabled_ == enabled)
        return *this;
    enabled_ = enabled;
    Q_EMIT enabledChanged(enabled);
    return *this;
}

Field& Field::setVisible(bool visible) {
    if (visible_ == visible)
        return *this;
    visible_ = visible;
    Q_EMIT visibleChanged(visible);
    return *this;
}

void Field::setCaption(const QString& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    Q_EMIT captionChanged(caption);
}

Field& Field::setMaxBytes(int bytes) {
    maxBytes_ = bytes;
    Q_EMIT limitsChanged();
    return *this;
}

Field& Field::setItems(const QStringList& items) {
    items_ = items;
    Q_EMIT itemsChanged(items_);
    return *this;
}

Field& Field::setItemIndex(int index) {
    return setValue(index >= 0 && index < items_.size() ? items_[index] : QString());
}

Field& Field::setRange(int minimum, int maximum) {
    setMinimum(minimum);
    setMaximum(maximum);
    return *this;
}

Field& Field::setUnbounded() {
    return setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
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
