#pragma once

// Runs a writing operation of a screen with each statement it runs failing in turn, as a broken
// disk would: either the screen shows "连接数据库出错!", the database is exactly as before and
// pressing the same button again then stores the operation, or (a read after the commit
// failing) the operation was stored whole and reported done before the error.

#include "core/Database.h"
#include "core/Tdm_Dbase.h"
#include "support/DatabaseDump.h"
#include "support/TestDoubles.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace lms::test {

// Fails the n-th statement run from now on (counting from 1), once.
class NthStatementFault {
public:
    NthStatementFault(Database& db, int n);
    ~NthStatementFault();
    NthStatementFault(const NthStatementFault&) = delete;
    NthStatementFault& operator=(const NthStatementFault&) = delete;
    bool fired() const { return seen_ >= n_; }

private:
    static void check(void* self, const QString& sql);
    Database& db_;
    int n_;
    int seen_ = 0;
};

// The database file as it stood when saved, put back before each run so that every run starts
// from the same rows.
// On a server the database is kept as a copy of itself beside it.
class SavedDatabase {
public:
    // Closing writes everything into the file itself, which is then what is kept.
    explicit SavedDatabase(Tdm_Dbase& dm);
    ~SavedDatabase();
    SavedDatabase(const SavedDatabase&) = delete;
    SavedDatabase& operator=(const SavedDatabase&) = delete;
    void restore();

private:
    Tdm_Dbase& dm_;
    QByteArray bytes_;
    QString serverName_; // the server database's name; empty for the file
};

// One writing operation as the runs drive it.
struct FaultedOperation {
    QString name;
    // The start of the success message.
    QString success;
    // Shows the screen and fills it so that `press` stores the operation.
    std::function<void()> prepare;
    // Presses the button, scripting the answers its questions need.
    std::function<void()> press;
    // What the clerk enters again when a failure has reset the screen; unset when the screen
    // keeps what was entered.
    std::function<void()> refill;
    // A failing check before the change is reported and the operation still goes on to store
    // (adding a system user or a book type).
    bool goesOnAfterFailedCheck = false;
    // A failure to read back what the screen shows after the commit is not reported at all
    // (the lending desk: an error there would read as a failed loan or return).
    bool quietReadBack = false;
    // The database as the runs compare it; the whole dump when unset.
    std::function<DatabaseDump()> dump;
};

// Runs the operation once as it is and then with its n-th statement failing, n = 1, 2, …, until
// it runs without reaching the fault, each run from the rows the database holds now; checks
// every run and returns the number of faults injected.
int failEveryStatementInTurn(Tdm_Dbase& dm, ScriptedPrompter& prompter,
                             const FaultedOperation& operation);

// Prints the number of faults a test program injected once, for the record of the run.
void reportFaultsInjected(const char* program, int count);

} // namespace lms::test
