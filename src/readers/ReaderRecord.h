#pragma once

#include "readers/IdleExtension.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace lms {
class Database;
}

namespace lms::Readers {

// One row of 读者 as the screens read it.
struct ReaderRecord {
    QString id;
    QString type;
    QString name;
    QString sex;
    QString idNumber;
    QString phone;
    QDateTime openedAt;
    double deposit = 0;
    QDateTime validity;
    int maxBooks = 0;
    int maxDays = 0;
    QString remark;
    int booksOut = 0;
    int loansTotal = 0;
    QString state;
    QDateTime stateSince;

    // List indexes of the stored type and state; -1 for a text not among the items.
    int typeIndex() const;
    int stateIndex() const;
    // The validity with the idle-time extension applied as of `now`.
    ShownValidity shownValidity(bool autoExtendValidity, const QDateTime& now) const;
};

// Reads the reader with exactly this id; nothing when there is none. Throws DbError on a
// database failure and on a stored date that cannot be read.
std::optional<ReaderRecord> loadReader(Database& db, const QString& id);

} // namespace lms::Readers
