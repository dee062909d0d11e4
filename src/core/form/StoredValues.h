#pragma once

#include <QVariant>

namespace lms {

class Field;

// Sets a list from a stored text: the item equal to it, or no selection (value "") when the
// text is not among the items, so an unknown stored value is never written back as a choice.
void selectStored(Field& list, const QString& stored);

// Whether the list has one of its items chosen.
bool hasChoice(const Field& list);

// Shows a stored column value in a field of whatever kind it is: a list selects the item (or
// none), a spinner takes the number, a date the date-time, a text field the text.
void showStored(Field& field, const QVariant& stored);

} // namespace lms
