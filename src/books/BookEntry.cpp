#include "books/BookEntry.h"

#include "books/BookMessages.h"
#include "books/BookPrice.h"
#include "core/GbkText.h"

namespace lms::Books {

std::optional<EntryProblem> checkEntry(const QString& id, int idMaxBytes, const QString& title,
                                       const QString& price) {
    if (id.isEmpty())
        return EntryProblem{EntryField::Id, QStringLiteral("请输入图书编号！")};
    // The limit may have been lowered since the id was typed (or the file was written).
    if (idMaxBytes > 0 && Gbk::byteLength(id) > idMaxBytes)
        return EntryProblem{EntryField::Id,
                            QStringLiteral("图书编号最多%1个字符，请重新输入！").arg(idMaxBytes)};
    if (title.trimmed().isEmpty())
        return EntryProblem{EntryField::Title, QStringLiteral("请输入图书名称！")};
    if (price.trimmed().isEmpty())
        return EntryProblem{EntryField::Price, QStringLiteral("请输入图书价格！")};
    // Returning charges a share of the price, so only a number is ever stored.
    if (!parsePrice(price))
        return EntryProblem{EntryField::Price, invalidPriceMessage()};
    return std::nullopt;
}

} // namespace lms::Books
