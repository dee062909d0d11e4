#include "support/EveryStatementFault.h"

#include "core/DbError.h"
#include "support/ServerDatabase.h"

#include <QFile>
#include <gtest/gtest.h>
#include <iostream>
#include <string>

namespace lms::test {

NthStatementFault::NthStatementFault(Database& db, int n) : db_(db), n_(n) {
    db_.setStatementHook(&NthStatementFault::check, this);
}

NthStatementFault::~NthStatementFault() {
    db_.setStatementHook(nullptr, nullptr);
}

void NthStatementFault::check(void* self, const QString& sql) {
    auto* me = static_cast<NthStatementFault*>(self);
    if (++me->seen_ == me->n_)
        throw DbError(10, "disk I/O error (injected): " + sql.toStdString());
}

SavedDatabase::SavedDatabase(Tdm_Dbase& dm) : dm_(dm) {
    dm_.disconnect();
    if (!dm_.server().isEmpty()) {
        serverName_ = serverDatabaseName(dm_.server());
        copyServerDatabase(serverName_, serverName_ + QStringLiteral("_saved"));
        dm_.connect();
        return;
    }
    QFile file(dm_.databasePath());
    if (file.open(QIODevice::ReadOnly))
        bytes_ = file.readAll();
    EXPECT_FALSE(bytes_.isEmpty()) << "no database file to keep";
    dm_.connect();
}

SavedDatabase::~SavedDatabase() {
    if (!serverName_.isEmpty())
        dropServerDatabase(serverName_ + QStringLiteral("_saved"));
}

void SavedDatabase::restore() {
    dm_.disconnect();
    if (!serverName_.isEmpty()) {
        copyServerDatabase(serverName_ + QStringLiteral("_saved"), serverName_);
        dm_.connect();
        return;
    }
    for (const char* side : {"-wal", "-shm", "-journal"})
        QFile::remove(dm_.databasePath() + QLatin1String(side));
    QFile file(dm_.databasePath());
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    EXPECT_EQ(file.write(bytes_), bytes_.size());
    file.close();
    dm_.connect();
}

namespace {

const QString& databaseError() {
    static const QString text = QStringLiteral("连接数据库出错!");
    return text;
}

// The messages shown since the last clear; questions are the operation's own steps.
QStringList messages(const ScriptedPrompter& prompter) {
    QStringList shown;
    for (const ScriptedPrompter::Box& box : prompter.boxes())
        if (box.buttons == Prompter::Buttons::Ok)
            shown << box.text;
    return shown;
}

std::string joined(const QStringList& texts) {
    return texts.join(QLatin1Char('|')).toStdString();
}

class Runs {
public:
    Runs(Tdm_Dbase& dm, ScriptedPrompter& prompter, const FaultedOperation& operation)
        : dm_(dm), prompter_(prompter), op_(operation), saved_(dm) {}

    int faults = 0;

    DatabaseDump dump() const { return op_.dump ? op_.dump() : dumpDatabase(dm_.db()); }

    bool succeeded() const {
        const QStringList shown = messages(prompter_);
        return !shown.isEmpty() && shown.last().startsWith(op_.success) &&
               !shown.contains(databaseError());
    }

    void run() {
        // What the operation stores when nothing fails (the clock stands still, so every run
        // stores the same).
        saved_.restore();
        op_.prepare();
        prompter_.clear();
        op_.press();
        ASSERT_TRUE(succeeded()) << joined(prompter_.texts());
        const DatabaseDump stored = dump();

        for (int n = 1;; ++n) {
            SCOPED_TRACE(n);
            saved_.restore();
            op_.prepare();
            prompter_.clear();
            const DatabaseDump before = dump();
            bool fired = false;
            {
                NthStatementFault fault(dm_.db(), n);
                op_.press();
                fired = fault.fired();
            }
            const DatabaseDump after = dump();
            if (!fired) {
                // The operation runs fewer than n statements.
                EXPECT_TRUE(succeeded()) << joined(prompter_.texts());
                EXPECT_EQ(describeDifference(stored, after).toStdString(), std::string());
                break;
            }
            ++faults;
            const QStringList shown = messages(prompter_);
            if (after == before) {
                EXPECT_EQ(joined(shown), databaseError().toStdString());
                prompter_.clear();
                if (op_.refill)
                    op_.refill();
                op_.press();
                EXPECT_TRUE(succeeded()) << joined(prompter_.texts());
                EXPECT_EQ(describeDifference(stored, dump()).toStdString(), std::string());
            } else {
                // Stored whole all the same: either a statement after the commit failed (the
                // screen reading back what it shows) and the operation was reported done (the
                // desk's screens say nothing more), or a check before the change failed and the
                // operation went on.
                EXPECT_EQ(describeDifference(stored, after).toStdString(), std::string());
                ASSERT_FALSE(shown.isEmpty());
                const bool readBackFailed =
                    shown.first().startsWith(op_.success) &&
                    (shown.size() == 1 ||
                     (!op_.quietReadBack && shown.size() == 2 && shown.last() == databaseError()));
                const bool checkFailed = op_.goesOnAfterFailedCheck && shown.size() == 2 &&
                                         shown.first() == databaseError() &&
                                         shown.last().startsWith(op_.success);
                EXPECT_TRUE(readBackFailed || checkFailed) << joined(shown);
            }
            ASSERT_LT(n, 200) << "the operation never completed";
        }
        EXPECT_GT(faults, 2) << "a writing operation runs its statements in a transaction";
    }

private:
    Tdm_Dbase& dm_;
    ScriptedPrompter& prompter_;
    const FaultedOperation& op_;
    SavedDatabase saved_;
};

} // namespace

int failEveryStatementInTurn(Tdm_Dbase& dm, ScriptedPrompter& prompter,
                             const FaultedOperation& operation) {
    Runs runs(dm, prompter, operation);
    runs.run();
    ::testing::Test::RecordProperty("faults", runs.faults);
    std::cout << "[ faults   ] " << operation.name.toStdString() << ": " << runs.faults
              << " statements failed in turn" << std::endl;
    return runs.faults;
}

void reportFaultsInjected(const char* program, int count) {
    ::testing::Test::RecordProperty(std::string("faults_injected_") + program, count);
    std::cout << "[ faults   ] " << program << ": " << count << " faults injected in all"
              << std::endl;
}

} // namespace lms::test
