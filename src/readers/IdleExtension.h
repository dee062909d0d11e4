#pragma once

#include <QDateTime>

namespace lms::Readers {

// The validity a reader is shown, and how many idle days it holds beyond the stored one.
struct ShownValidity {
    QDateTime validity;
    qint64 idleDays = 0;
    bool holdsExtension() const { return idleDays != 0; }
};

// Whether the rental runs on while the reader has nothing out: always in "自动延期" and
// "暂停使用", in "正常使用" and "挂失停用" only with the automatic extension switched on.
bool extendsWhileIdle(int stateIndex, int booksOut, bool autoExtendValidity);

// The idle-time extension: while the rule above holds, the stored validity is advanced by the
// whole calendar days from `stateSince` to `now`, keeping its time of day; otherwise it is shown
// as stored.
ShownValidity withIdleExtension(const QDateTime& storedValidity, int stateIndex, int booksOut,
                                const QDateTime& stateSince, bool autoExtendValidity,
                                const QDateTime& now);

} // namespace lms::Readers
