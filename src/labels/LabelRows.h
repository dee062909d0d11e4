#pragma once

#include "reports/labels/LabelSheet.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace lms {
class Database;
namespace Books {
struct BookRecord;
}
namespace Readers {
struct ReaderRecord;
}
} // namespace lms

// What a book label and a reader card show, read from the stored rows: the id exactly as
// stored, never trimmed or changed.
namespace lms::Labels {

inline const QString kDailyType = QStringLiteral("按日租借");

LabelContent bookLabel(const QString& id, const QString& title, const QString& type);
LabelContent bookLabel(const Books::BookRecord& book);
// A card shows the validity as a date, or "按日租借" for a reader who pays by the day (who has
// none); the shop's name goes on its own line.
LabelContent readerCard(const QString& id, const QString& name, const QString& type,
                        const QDateTime& validity, const QString& shopName);
LabelContent readerCard(const Readers::ReaderRecord& reader, const QString& shopName);

// The labels of every book, or of the books of one type, in the order of their ids.
// Throws DbError.
QList<LabelContent> bookLabels(Database& db, const QString& type = {});
// The cards of every reader, or of the readers of one type, in the order of their ids.
// Throws DbError.
QList<LabelContent> readerCards(Database& db, const QString& shopName, const QString& type = {});
// The cards of these readers, in the order given; an id no longer stored is left out. Throws
// DbError.
QList<LabelContent> readerCardsOf(Database& db, const QStringList& ids, const QString& shopName);

} // namespace lms::Labels
