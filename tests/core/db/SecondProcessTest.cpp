// Another process holding the database file: a short write lock is waited out, a long one makes
// the operation fail with "连接数据库出错!" having stored nothing, and the screen works again once
// the file is free. The other process is a forked child with a connection of its own.
#include "circulation/db/CirculationFixture.h"

#include "readers/Tfrm_TJReader.h"
#include "support/DatabaseDump.h"
#include "support/ServerDatabase.h"

#include <csignal>
#include <functional>
#include <ostream>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lms::test {
namespace {

// A second process that opens the shop with the key, takes the write lock and writes a log
// record inside its transaction. It holds the lock for a set time, or until told to let go, and
// then rolls back, so nothing it wrote stays.
class LockingProcess {
public:
    enum class Hold { ForMilliseconds, UntilReleased };

    LockingProcess(const QString& path, const char* begin, Hold hold, int milliseconds) {
        int locked[2];
        int release[2];
        if (pipe(locked) != 0 || pipe(release) != 0)
            return;
        const QByteArray file = path.toUtf8();
        pid_ = fork();
        if (pid_ == 0) {
            close(locked[0]);
            close(release[1]);
            _exit(holdLock(file.constData(), begin, hold, milliseconds, locked[1], release[0]));
        }
        close(locked[1]);
        close(release[0]);
        release_ = release[1];
        char answer = 0;
        locked_ = pid_ > 0 && read(locked[0], &answer, 1) == 1 && answer == 'L';
        close(locked[0]);
    }
    ~LockingProcess() { finish(); }
    LockingProcess(const LockingProcess&) = delete;
    LockingProcess& operator=(const LockingProcess&) = delete;

    // Whether the child holds the lock (it said so after its write).
    bool locked() const { return locked_; }

    // Lets go of the lock and waits for the child; its exit code (0 when all went as planned).
    int finish() {
        // Closing our end of the pipe is the word to let go.
        if (release_ >= 0) {
            close(release_);
            release_ = -1;
        }
        if (pid_ <= 0)
            return -1;
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    static int holdLock(const char* file, const char* begin, Hold hold, int milliseconds,
                        int lockedPipe, int releasePipe) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(file, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            return 3;
        const QByteArray& key = Tdm_Dbase::kPassword;
        sqlite3_key(db, key.constData(), static_cast<int>(key.size()));
        sqlite3_busy_timeout(db, 10000);
        if (sqlite3_exec(db, begin, nullptr, nullptr, nullptr) != SQLITE_OK ||
            sqlite3_exec(db,
                         "INSERT INTO 日志 (事件, 时间, 操作者, 说明) "
                         "VALUES ('other', '2026-01-01 00:00:00.000', 'other', '')",
                         nullptr, nullptr, nullptr) != SQLITE_OK)
            return 4;
        const char locked = 'L';
        if (write(lockedPipe, &locked, 1) != 1)
            return 5;
        if (hold == Hold::ForMilliseconds) {
            usleep(static_cast<useconds_t>(milliseconds) * 1000);
        } else {
            // Returns when the parent closes its end, also when a failed test ends early.
            char nothing = 0;
            [[maybe_unused]] const auto got = read(releasePipe, &nothing, 1);
        }
        const int rc = sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return rc == SQLITE_OK ? 0 : 6;
    }

    pid_t pid_ = -1;
    int release_ = -1;
    bool locked_ = false;
};

// Whether the file's write lock is taken by someone else right now (a connection of its own
// that does not wait).
bool writeLockTaken(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray& key = Tdm_Dbase::kPassword;
    sqlite3_key(db, key.constData(), static_cast<int>(key.size()));
    const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_BUSY;
}

// A screen operation made ready (ids looked up, fields filled) and then pressed.
struct Operation {
    const char* name;
    const char* success;
    const char* lockStatement;
};

void PrintTo(const Operation& op, std::ostream* os) {
    *os << op.name << " under " << op.lockStatement;
}

class SecondProcess : public CirculationTest, public ::testing::WithParamInterface<Operation> {
protected:
    SecondProcess() {
        addReader(QStringLiteral("R001"));
        addBook(QStringLiteral("B001"));
        const QString op = QString::fromLatin1(GetParam().name);
        if (op == QLatin1String("registration")) {
            prepare = [this] {
                registration.FormShow();
                registration.field(QStringLiteral("ID")).type(QStringLiteral("R002"));
                registration.field(QStringLiteral("xm")).setValue(QStringLiteral("李娜"));
            };
            press = [this] { registration.Button1Click(); };
        } else {
            prepare = [this] {
                borrowing.FormShow();
                borrowing.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
                borrowing.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
                ASSERT_TRUE(borrowing.field(QStringLiteral("Button1")).isEnabled());
            };
            press = [this] { borrowing.Button1Click(); };
        }
    }

    QString path() { return shop.dm->databasePath(); }
    void expectStoredOnce() {
        const QString op = QString::fromLatin1(GetParam().name);
        if (op == QLatin1String("registration"))
            EXPECT_EQ(readerColumn(QStringLiteral("R002"), QStringLiteral("读者姓名")).toString(),
                      QStringLiteral("李娜"));
        else
            EXPECT_EQ(loansOf(QStringLiteral("R001")), 1);
        EXPECT_EQ(shop.count(QStringLiteral("日志")), 1) << "only the operation's own record";
    }

    Tfrm_TJReader registration{ctx};
    Tfrm_TZJBook borrowing{ctx};
    std::function<void()> prepare;
    std::function<void()> press;
};

TEST_P(SecondProcess, AShortOverlappingLockIsWaitedOut) {
    LMS_FILE_ENGINE_ONLY();
    prepare();
    prompter.clear();
    LockingProcess other(path(), GetParam().lockStatement, LockingProcess::Hold::ForMilliseconds,
                         800);
    ASSERT_TRUE(other.locked());
    EXPECT_TRUE(writeLockTaken(path()));
    press();
    EXPECT_EQ(prompter.single(), QString::fromUtf8(GetParam().success));
    EXPECT_EQ(other.finish(), 0);
    expectStoredOnce();
}

TEST_P(SecondProcess, ALockHeldBeyondTheWaitFailsStoringNothingUntilItIsReleased) {
    LMS_FILE_ENGINE_ONLY();
    prepare();
    prompter.clear();
    const DatabaseDump before = dumpDatabase(shop.dm->db());
    LockingProcess other(path(), GetParam().lockStatement, LockingProcess::Hold::UntilReleased, 0);
    ASSERT_TRUE(other.locked());
    press();
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
    EXPECT_EQ(prompter.lastBox().icon, Prompter::Icon::Error);
    EXPECT_TRUE(writeLockTaken(path())) << "the lock was held throughout";
    EXPECT_EQ(other.finish(), 0);
    EXPECT_EQ(describeDifference(before, dumpDatabase(shop.dm->db())), QString());

    prompter.clear();
    press();
    EXPECT_EQ(prompter.single(), QString::fromUtf8(GetParam().success));
    expectStoredOnce();
}

INSTANTIATE_TEST_SUITE_P(
    Operations, SecondProcess,
    ::testing::Values(Operation{"registration", "添加读者成功!", "BEGIN IMMEDIATE"},
                      Operation{"registration", "添加读者成功!", "BEGIN EXCLUSIVE"},
                      Operation{"lend", "图书借出成功!", "BEGIN IMMEDIATE"},
                      Operation{"lend", "图书借出成功!", "BEGIN EXCLUSIVE"}),
    [](const ::testing::TestParamInfo<Operation>& param) {
        return std::string(param.param.name) +
               (QByteArray(param.param.lockStatement).contains("EXCLUSIVE") ? "_Exclusive"
                                                                            : "_Immediate");
    });

} // namespace
} // namespace lms::test
