#include "core/form/IdField.h"

#include "core/GbkText.h"
#include "core/form/Field.h"

namespace lms {

void lookUpWhenFull(Field& idField, std::function<int()> fullLength, std::function<void()> lookup) {
    QObject::connect(&idField, &Field::valueChanged, &idField,
                     [&idField, fullLength = std::move(fullLength), lookup = std::move(lookup)] {
                         const int length = fullLength();
                         if (length > 0 && Gbk::byteLength(idField.text()) == length)
                             lookup();
                     });
}

QString typedId(const Field& idField) {
    const QString id = idField.text().trimmed();
    return idField.maxBytes() > 0 ? Gbk::truncateToBytes(id, idField.maxBytes()) : id;
}

} // namespace lms
