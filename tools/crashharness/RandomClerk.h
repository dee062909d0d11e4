#pragma once

#include "ClerkJournal.h"
#include "HarnessDoubles.h"

#include "books/Tfrm_GGBook.h"
#include "books/Tfrm_SCBook.h"
#include "books/Tfrm_TJBook.h"
#include "circulation/Tfrm_JNZC.h"
#include "circulation/Tfrm_TZHBook.h"
#include "circulation/Tfrm_TZJBook.h"
#include "core/ScreenContext.h"
#include "readers/Tfrm_GGReader.h"
#include "readers/Tfrm_SZReader.h"
#include "readers/Tfrm_TJReader.h"

#include <QStringList>
#include <functional>
#include <random>

namespace lms {
class Tdm_Dbase;
struct PubData;
} // namespace lms

namespace lms::crash {

// A clerk who works the shop's screens at random: registers readers and books, lends, takes
// books back with fines and damage (in cash or from the deposit), takes payments and deletes
// readers and books; given somewhere to say what it is about to write, also changes readers and
// books. Everything goes through the screen models; the database is only read to choose whom and
// what to serve.
class RandomClerk {
public:
    // Told, right before the button is pressed, which columns of which row the clerk changed on
    // the screen of a reader change, a book change or a payment: (event, moment, row, changes).
    using IntentSink = std::function<void(const QString&, const QString&, const QString&,
                                          const QList<ColumnChange>&)>;

    // `desk` (0–999) is the millisecond of every moment this clerk stores, which keeps the
    // moments of clerks working side by side apart and tells whose operation a record is.
    RandomClerk(Tdm_Dbase& dm, PubData& pub, quint32 seed, int desk = 0);

    // Sets the clock a minute past the latest stored moment when it is not later already, so
    // each operation of this clerk has a moment of its own, later than every earlier one.
    void startAfterStoredMoments();

    // Up to this many milliseconds between looking a reader or book up and pressing the button,
    // as a clerk at the counter takes: the moment another desk may change what was looked up.
    void setThinkTime(int milliseconds) { thinkMs_ = milliseconds; }
    // From now on the clerk also changes readers and books, and says what each change and
    // payment is about to write.
    void setIntentSink(IntentSink sink) { intentSink_ = std::move(sink); }

    // Runs one operation chosen at random, later than every stored moment. Returns the log
    // event of an operation that completed, or an empty text when it was refused or not
    // possible.
    QString step();
    // The log event of the operation the last step tried, and its moment as stored.
    const QString& lastOperation() const { return lastOperation_; }
    QString lastMoment() const;

    // Each moves the clock on and returns whether the screen reported success.
    bool registerReader();
    bool registerBook();
    bool lend();
    bool giveBack();
    bool pay();
    bool deleteReader();
    bool deleteBook();
    // 更改读者信息: name, phone, type, limits, validity and state, a few of them at a time.
    bool changeReader();
    // 更改图书信息: title, remark and state, trying to set "已借出" or leave it by hand too.
    bool changeBook();

    // Whether a screen reported "连接数据库出错!" since the last call.
    bool takeDatabaseError() { return prompter_.takeDatabaseError(); }

private:
    int below(int bound);
    bool chance(double p);
    // A random row's first column of `sql` (which selects one column), or empty.
    QString anyOf(const QString& sql);
    qint64 count(const QString& sql);
    QString newId(QChar prefix, int length);
    void tick();
    void think(int times = 1);
    void tellIntent(const QString& event, const QString& row, const QList<ColumnChange>& changes);

    Tdm_Dbase& dm_;
    PubData& pub_;
    std::mt19937 random_;
    int thinkMs_ = 0;
    IntentSink intentSink_;
    QString lastOperation_;
    YesPrompter prompter_;
    SteppingClock clock_;
    QuietHost host_;
    ScreenContext ctx_;
    Tfrm_TJReader readerRegistration_;
    Tfrm_TJBook bookRegistration_;
    Tfrm_TZJBook borrowing_;
    Tfrm_TZHBook returning_;
    Tfrm_JNZC payment_;
    Tfrm_SZReader readerDeletion_;
    Tfrm_SCBook bookDeletion_;
    Tfrm_GGReader readerChange_;
    Tfrm_GGBook bookChange_;
};

} // namespace lms::crash
