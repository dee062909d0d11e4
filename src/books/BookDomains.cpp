#include "books/BookDomains.h"

namespace lms::Books {

const QStringList& states() {
    static const QStringList list = {QStringLiteral("未借出"), QStringLiteral("已借出"),
                                     QStringLiteral("破损遗失")};
    return list;
}

} // namespace lms::Books
