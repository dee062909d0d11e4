#pragma once

#include "readers/IdleExtension.h"

#include <QDateTime>
#include <QString>

namespace lms::Readers {

// One row of 读者 as the screens read it; the reader store reads it (`loadReader`).
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
    QString validityStored; // the validity's text as stored, which a payment checks is unchanged
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
    // The validity a reader screen shows: `now`, with no idle days, for "按日租借", which has no
    // validity; for the other types the one above.
    ShownValidity validityOnScreen(bool autoExtendValidity, const QDateTime& now) const;
};

// Whether two reads of a reader agree on what clerks set by hand (name, type, sex, phone,
// document, remark, limits, validity and state): a screen's copy of a reader is stale once
// another desk changed any of them. Counters and the deposit, which loans, returns and payments
// add to, are not compared.
bool sameHandColumns(const ReaderRecord& a, const ReaderRecord& b);

} // namespace lms::Readers
