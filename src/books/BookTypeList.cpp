#include "books/BookTypeList.h"

#include "books/BookTypes.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Field.h"
#include "core/form/Prompter.h"

namespace lms::Books {

bool fillBookTypes(Field& list, Tdm_Dbase& dm, Prompter& prompter) {
    try {
        const QStringList names = loadBookTypes(dm.db());
        list.setItems(names);
        list.setItemIndex(0);
        return !names.isEmpty();
    } catch (const DbError&) {
        list.setItems({});
        list.setItemIndex(-1);
        prompter.error(Messages::databaseError());
        return true;
    }
}

} // namespace lms::Books
