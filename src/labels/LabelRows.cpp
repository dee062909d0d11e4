#include "labels/LabelRows.h"

#include "books/BookRecord.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "readers/ReaderRecord.h"
#include "readers/ReaderStore.h"

namespace lms::Labels {

LabelContent bookLabel(const QString& id, const QString& title, const QString& type) {
    return {.kind = LabelContent::Kind::Book,
            .id = id,
            .title = title,
            .subtitle = type,
            .validity = QString(),
            .shopName = QString()};
}

LabelContent bookLabel(const Books::BookRecord& book) {
    return bookLabel(book.id, book.title, book.type);
}

LabelContent readerCard(const QString& id, const QString& name, const QString& type,
                        const QDateTime& validity, const QString& shopName) {
    return {.kind = LabelContent::Kind::ReaderCard,
            .id = id,
            .title = name,
            .subtitle = type,
            .validity = type == kDailyType ? kDailyType
                                           : validity.date().toString(QStringLiteral("yyyy-MM-dd")),
            .shopName = shopName};
}

LabelContent readerCard(const Readers::ReaderRecord& reader, const QString& shopName) {
    return readerCard(reader.id, reader.name, reader.type, reader.validity, shopName);
}

QList<LabelContent> bookLabels(Database& db, const QString& type) {
    Query query(db, type.isEmpty() ? QStringLiteral("SELECT 图书编号, 图书名称, 图书类型 FROM 图书 "
                                                    "ORDER BY 图书编号")
                                   : QStringLiteral("SELECT 图书编号, 图书名称, 图书类型 FROM 图书 "
                                                    "WHERE 图书类型 = ? ORDER BY 图书编号"));
    if (!type.isEmpty())
        query.bind(1, type);
    QList<LabelContent> labels;
    while (query.next())
        labels << bookLabel(query.text(0), query.text(1), query.text(2));
    return labels;
}

QList<LabelContent> readerCards(Database& db, const QString& shopName, const QString& type) {
    Query query(db,
                type.isEmpty()
                    ? QStringLiteral("SELECT 读者编号, 读者姓名, 读者类型, 借阅有效期 FROM 读者 "
                                     "ORDER BY 读者编号")
                    : QStringLiteral("SELECT 读者编号, 读者姓名, 读者类型, 借阅有效期 FROM 读者 "
                                     "WHERE 读者类型 = ? ORDER BY 读者编号"));
    if (!type.isEmpty())
        query.bind(1, type);
    QList<LabelContent> cards;
    while (query.next())
        cards << readerCard(query.text(0), query.text(1), query.text(2),
                            Dates::fromStorage(query.text(3)), shopName);
    return cards;
}

QList<LabelContent> readerCardsOf(Database& db, const QStringList& ids, const QString& shopName) {
    QList<LabelContent> cards;
    for (const QString& id : ids)
        if (const std::optional<Readers::ReaderRecord> reader = Readers::loadReader(db, id))
            cards << readerCard(*reader, shopName);
    return cards;
}

} // namespace lms::Labels
