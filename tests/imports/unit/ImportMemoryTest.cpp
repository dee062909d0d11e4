// Files of hostile shapes read in a child process whose address space is limited to what it
// holds plus the import's memory budget (and room for the rest), so that a reading that takes
// memory by the file's shape rather than by its work ends the child, not the test run: many
// empty lines, a line of many commas, a file larger than the budget allows, and paths that are
// no regular file (a pipe and a device would be read without end).
#include "imports/BookRows.h"
#include "imports/ImportCheck.h"
#include "imports/ImportFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <new>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace lms::Imports {
namespace {

// What the child may map beyond what it has: the budget, and room for the bytes freed on the way
// (a sanitizer keeps them a while) and the libraries' own.
constexpr rlim_t kAllowance = rlim_t(kMemoryBudget) + (rlim_t(512) << 20);

rlim_t mappedNow() {
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    return pages * rlim_t(sysconf(_SC_PAGESIZE));
}

// In the child: the address space limited, and an end to a reading that never ends.
void limitChild() {
    const rlim_t limit = mappedNow() + kAllowance;
    const rlimit space{limit, limit};
    if (setrlimit(RLIMIT_AS, &space) != 0)
        _exit(3);
    alarm(60);
}

// Reads the file as the import does, in a limited child. The child ends with 0 when the reading
// refuses the file with a message beginning with `refusal`, or, for an empty `refusal`, when it
// takes the file and its rows are ready to be checked.
void expectReadUnderLimit(const QString& path, const QString& refusal) {
    EXPECT_EXIT(
        {
            limitChild();
            BookRows kind;
            FileReading reading = readImportFile(path, kind);
            std::fputs(reading.problem.toUtf8().constData(), stderr);
            if (reading.file) {
                const ImportCheck check(std::move(*reading.file), kind);
                std::fprintf(stderr, "%d rows", check.rowCount());
            }
            // Without the exit handlers: the test's own memory is no leak of the child.
            const bool expected =
                refusal.isEmpty() ? reading.problem.isEmpty() : reading.problem.startsWith(refusal);
            _exit(expected ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << path.toStdString();
}

class ImportMemory : public ::testing::Test {
protected:
    // A file of the header line and then `piece` written `times` times.
    QString write(const char* name, const QByteArray& start, const QByteArray& piece,
                  qint64 times) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(start);
        const QByteArray chunk = piece.repeated(std::max<qint64>(1, (1 << 20) / piece.size()));
        const qint64 perChunk = chunk.size() / piece.size();
        for (qint64 done = 0; done < times; done += perChunk)
            file.write(times - done >= perChunk ? chunk : piece.repeated(times - done));
        return path;
    }

    QTemporaryDir dir;
    const QByteArray header = QByteArrayLiteral("图书编号,图书名称,价格\r\n");
    const QString tooManyRecords = QStringLiteral("文件的行或列太多");
};

TEST_F(ImportMemory, TheLimitEndsAChildThatTakesMoreThanTheBudget) {
    // The measure itself can fail: a child taking twice the allowance does not get it.
    EXPECT_EXIT(
        {
            limitChild();
            try {
                std::vector<char> taken(std::size_t(kAllowance) * 2, 'x');
                _exit(taken.back() == 'x' ? 1 : 2);
            } catch (const std::bad_alloc&) {
                _exit(0);
            }
        },
        [](int status) { return !(WIFEXITED(status) && WEXITSTATUS(status) != 0); }, "");
}

TEST_F(ImportMemory, ManyEmptyLinesAreRefusedBeforeTheirRecordsAreMade) {
    // 32 MB: made into records, they would take some 3 GB.
    expectReadUnderLimit(write("lines.csv", header, "\n", qint64(32) << 20), tooManyRecords);
}

TEST_F(ImportMemory, ALineOfManyCommasIsRefusedBeforeItsFieldsAreMade) {
    // Just below the largest file: made into fields, they would take some 1.5 GB.
    const qint64 commas = kLargestFileBytes - header.size() - 16;
    expectReadUnderLimit(write("commas.csv", header + "B1,书", ",", commas), tooManyRecords);
}

TEST_F(ImportMemory, AFileLargerThanTheBudgetAllowsIsRefusedBeforeItIsRead) {
    // 256 MB without taking the disk: the file is refused by its size alone.
    const QString path = write("large.csv", header, "\n", 1);
    ASSERT_TRUE(QFile::resize(path, qint64(256) << 20));
    expectReadUnderLimit(path, QStringLiteral("文件太大（256 MB），没有导入任何图书：导入最多使用 "
                                              "512 MB 内存，只能读取 64 MB 以内的文件。"));
}

TEST_F(ImportMemory, OnlyARegularFileIsRead) {
    const QString pipe = dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString notAFile = QStringLiteral("”不是普通的文件（例如是设备或管道），无法导入。");
    expectReadUnderLimit(pipe, QStringLiteral("“") + pipe + notAFile);
    expectReadUnderLimit(QStringLiteral("/dev/zero"), QStringLiteral("“/dev/zero") + notAFile);
    expectReadUnderLimit(dir.path(), QStringLiteral("“") + dir.path() +
                                         QStringLiteral("”是文件夹，不是文件，无法导入。"));
    expectReadUnderLimit(dir.filePath(QStringLiteral("none.csv")),
                         QStringLiteral("无法打开文件：") +
                             dir.filePath(QStringLiteral("none.csv")));
}

TEST_F(ImportMemory, AShopsLongListIsReadWithinTheBudget) {
    // 200,000 books, as long as the large generated shop's list.
    QByteArray rows;
    for (int i = 0; i < 1000; ++i)
        rows += "N" + QByteArray::number(i) + ",\"红楼梦, 第" + QByteArray::number(i) +
                "回\",12.50\r\n";
    expectReadUnderLimit(write("books.csv", header, rows, 200), QString());
}

} // namespace
} // namespace lms::Imports
