// Checking a database file page by page by the codes its pages carry: a good file passes, and a
// flipped byte, swapped pages, a cut file, another password or a wrong page count do not.
#include "admin/PageCodes.h"
#include "support/ServerDatabase.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

using test::ShopDatabase;

class PageCodesCheck : public ::testing::Test {
protected:
    PageCodesCheck() {
        // Enough rows for a file of many pages; then the file alone holds them.
        Database& db = shop.dm->db();
        for (int i = 0; i < 300; ++i)
            test::insertRow(
                db, QStringLiteral("日志"),
                {{QStringLiteral("操作者"), QStringLiteral("admin")},
                 {QStringLiteral("说明"), QString(40, QChar(u'字')) + QString::number(i)}});
        shop.dm->disconnect();
        original = shop.folder.readFile(Tdm_Dbase::kFileName);
        pages = original.size() / PageCodes::kPageBytes;
    }
    bool check(const QByteArray& bytes, qint64 expected, const QByteArray& password) {
        shop.folder.writeFile(QStringLiteral("copy.zqd"), bytes);
        return PageCodes::allPagesAuthentic(shop.folder.file(QStringLiteral("copy.zqd")), password,
                                            expected);
    }
    bool check(const QByteArray& bytes) { return check(bytes, pages, Tdm_Dbase::kPassword); }

    ShopDatabase shop;
    QByteArray original;
    qint64 pages = 0;
};

TEST_F(PageCodesCheck, AFileTheProgramWrotePasses) {
    LMS_FILE_ENGINE_ONLY();
    ASSERT_GT(pages, 20);
    ASSERT_EQ(original.size() % PageCodes::kPageBytes, 0);
    EXPECT_TRUE(check(original));
}

TEST_F(PageCodesCheck, AnyFlippedByteIsFound) {
    LMS_FILE_ENGINE_ONLY();
    // The salt, the first page's content, a middle page's content, IV and code, the last page's
    // code. (The last 12 bytes of each page are padding no one reads.)
    const qint64 middle = (pages / 2) * PageCodes::kPageBytes;
    const qint64 lastCode = original.size() - PageCodes::kPageBytes + 1000;
    for (const qint64 at :
         {qint64(3), qint64(500), middle + 10, middle + 980, middle + 1000, lastCode}) {
        SCOPED_TRACE(at);
        QByteArray damaged = original;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
        EXPECT_FALSE(check(damaged));
    }
}

TEST_F(PageCodesCheck, PagesInTheWrongPlaceAreFound) {
    QByteArray swapped = original;
    const int size = PageCodes::kPageBytes;
    const QByteArray second = original.mid(size, size), third = original.mid(2 * size, size);
    swapped.replace(size, size, third);
    swapped.replace(2 * size, size, second);
    EXPECT_FALSE(check(swapped));
}

TEST_F(PageCodesCheck, ACutOrPaddedFileIsFound) {
    LMS_FILE_ENGINE_ONLY();
    const int size = PageCodes::kPageBytes;
    EXPECT_FALSE(check(original.left(original.size() - size)));
    // Cut at a page boundary, the pages left are all genuine: only the expected count shows it.
    EXPECT_TRUE(check(original.left(original.size() - size), pages - 1, Tdm_Dbase::kPassword));
    EXPECT_FALSE(check(original.left(original.size() - 100)));
    EXPECT_FALSE(check(original + QByteArray(size, '\0')));
    EXPECT_FALSE(check(QByteArray()));
    EXPECT_FALSE(check(original, pages + 1, Tdm_Dbase::kPassword));
}

TEST_F(PageCodesCheck, AnotherPasswordFails) {
    EXPECT_FALSE(check(original, pages, QByteArray("another password")));
    EXPECT_FALSE(check(original, pages, QByteArray()));
}

} // namespace
} // namespace lms
