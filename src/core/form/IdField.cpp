#include "core/form/IdField.h"

#include "core/GbkText.h"
#include "core/form/Field.h"
#include "core/form/Prompter.h"

namespace lms {

bool keepsLookedUpId(Field& idField, bool loaded, const QString& loadedId, const QString& noun,
                     Prompter& prompter) {
    if (!loaded) {
        prompter.error(QStringLiteral("请先在") + noun + QStringLiteral("编号输入框中输入") + noun +
                       QStringLiteral("编号查询后再更改！"));
        idField.requestFocus();
        return false;
    }
    if (idField.text().trimmed() != loadedId) {
        prompter.error(noun + QStringLiteral("编号不能更改！原") + noun +
                       QStringLiteral("编号为：") + loadedId +
                       QStringLiteral(" 系统自动改回原来的编号。"));
        idField.setValue(loadedId);
        idField.requestFocus();
        return false;
    }
    return true;
}

void lookUpWhenFull(Field& idField, std::function<int()> fullLength, std::function<void()> lookup) {
    QObject::connect(&idField, &Field::valueChanged, &idField,
                     [&idField, fullLength = std::move(fullLength), lookup = std::move(lookup)] {
                         const int length = fullLength();
                         if (length > 0 && Gbk::byteLength(idField.text()) == length)
                             lookup();
                     });
}

QString typedId(const Field& idField) {
    // Never cut: the field may hold an id longer than a limit lowered since it was typed, and
    // an operation acts on the id the clerk sees.
    return idField.text().trimmed();
}

} // namespace lms
