#include "support/JetFiles.h"

#include "core/Tdm_Dbase.h"
#include "storage/jet/JetChild.h"

#include <QFile>
#include <gtest/gtest.h>

namespace lms::test {

namespace {

constexpr int kPage = 4096;

// The offset of the data page holding every mark; -1 when none does.
qint64 pageWith(const QByteArray& file, const DataPage& wanted) {
    const QByteArrayList& marks = wanted.marks;
    for (qint64 at = 0; at + kPage <= file.size(); at += kPage) {
        const QByteArray page = file.mid(at, kPage);
        if (page[0] != 1 || page[1] != 1 ||
            (static_cast<unsigned char>(page[12]) | static_cast<unsigned char>(page[13]) << 8) !=
                wanted.rows)
            continue;
        if (std::all_of(marks.begin(), marks.end(),
                        [&](const QByteArray& mark) { return page.contains(mark); }))
            return at;
    }
    return -1;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

} // namespace

QString oldShop(const QString& name) {
    Jet::ChildReader::setProgram(QStringLiteral(LMS_MOVE_PROGRAM));
    return QStringLiteral(LMS_TEST_DATA "/old-shop/") + name;
}

void copyOldShop(const QString& name, const QString& path) {
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(oldShop(name), path));
    QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QByteArray jetText(const char* latin) {
    return QByteArray("\xff\xfe", 2) + QByteArray(latin);
}

void patchDataPage(const QString& path, const DataPage& wanted, const QByteArray& from,
                   const QByteArray& to) {
    ASSERT_EQ(from.size(), to.size());
    QByteArray file = readAll(path);
    const qint64 page = pageWith(file, wanted);
    ASSERT_GE(page, 0) << "no data page holds the marks";
    const qint64 at = file.mid(page, kPage).indexOf(from);
    ASSERT_GE(at, 0);
    file.replace(page + at, to.size(), to);
    writeAll(path, file);
}

void markRowDeleted(const QString& path, const DataPage& wanted, int row) {
    QByteArray file = readAll(path);
    const qint64 page = pageWith(file, wanted);
    ASSERT_GE(page, 0) << "no data page holds the marks";
    // Jet 4.0: the row count at 12, the rows' offsets after it, the marks in the high bits.
    const qint64 high = page + 14 + 2 * row + 1;
    file[high] = static_cast<char>(file[high] | 0x80);
    writeAll(path, file);
}

EmptyTarget::EmptyTarget() {
    if (!testServer().isEmpty()) {
        server = std::make_unique<ServerDatabase>();
        db.openServer(server->connectionString());
    } else {
        db.open(folder.databasePath(), Tdm_Dbase::kPassword, Database::OpenMode::CreateIfMissing);
    }
}

} // namespace lms::test
