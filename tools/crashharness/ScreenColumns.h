#pragma once

#include "ClerkJournal.h"

#include <QList>
#include <QStringList>

namespace lms {
class FormModel;
}

namespace lms::crash {

// A stored column and the screen field that shows it.
struct ColumnField {
    enum class Form { Text, Number, Moment };
    QString column;
    QString field;
    Form form = Form::Text;
};

// The columns 更改读者信息 lets the clerk change that the checks follow.
const QList<ColumnField>& readerChangeColumns();
// The columns 更改图书信息 lets the clerk change.
const QList<ColumnField>& bookChangeColumns();

// The columns' values as the screen holds them now, in their stored form.
QStringList columnValues(const FormModel& screen, const QList<ColumnField>& columns);
// The columns whose value on the screen is not the `loaded` one any more.
QList<ColumnChange> changedColumns(const FormModel& screen, const QList<ColumnField>& columns,
                                   const QStringList& loaded);
// What the payment screen is about to write: the validity after the payment (from the one it
// showed) and, when the clerk chose another type than the stored `loadedType`, the type and its
// limits (the screen showed them in place of the stored ones).
QList<ColumnChange> paymentChanges(const FormModel& screen, const QString& loadedType);

} // namespace lms::crash
