#include "core/form/StoredValues.h"

#include "core/form/Field.h"

namespace lms {

void selectStored(Field& list, const QString& stored) {
    list.setItemIndex(static_cast<int>(list.items().indexOf(stored)));
}

bool hasChoice(const Field& list) {
    return list.itemIndex() >= 0;
}

void showStored(Field& field, const QVariant& stored) {
    switch (field.kind()) {
    case FieldKind::List:
    case FieldKind::ListBox:
        selectStored(field, stored.toString());
        break;
    case FieldKind::Spin:
    case FieldKind::Progress:
        field.setValue(stored.toInt());
        break;
    case FieldKind::Date:
        field.setValue(stored.toDateTime());
        break;
    case FieldKind::Check:
        field.setValue(stored.toBool());
        break;
    default:
        field.setValue(stored.toString());
        break;
    }
}

} // namespace lms
