// Checking a database file page by page by the codes its pages carry: a good file passes, and a
// flipped byte, swapped pages, a cut file, another password or a wrong page count do not.
#include "storage/PageCodes.h"
#include "admin/BackgroundCheck.h"
#include "core/engines/PageKeys.h"
#include "support/ServerDatabase.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <utility>

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
    // Gives the bytes in blocks of `blockSize`; where the block the check refused began, or -1.
    static qsizetype giveInBlocks(CopyCheck& check, const QByteArray& bytes, qsizetype blockSize) {
        for (qsizetype at = 0; at < bytes.size(); at += blockSize)
            if (!check.accept(
                    QByteArrayView(bytes).sliced(at, std::min(blockSize, bytes.size() - at))))
                return at;
        return -1;
    }
    QByteArray damagedSixthPage() const {
        QByteArray damaged = original;
        const qsizetype at = 5 * PageCodes::kPageBytes + 7;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
        return damaged;
    }

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

// A copy gives the bytes in blocks of its own size: pages cut between blocks are checked whole,
// and the first damaged page ends the check.
TEST_F(PageCodesCheck, BlocksOfAnySizeAreCheckedAsTheyPass) {
    LMS_FILE_ENGINE_ONLY();
    const auto checkInBlocks = [this](const QByteArray& bytes, qsizetype blockSize) {
        PageCodes codes(Tdm_Dbase::kPassword, pages);
        const qsizetype refusedAt = giveInBlocks(codes, bytes, blockSize);
        return std::make_pair(refusedAt, codes.complete());
    };
    EXPECT_EQ(checkInBlocks(original, 700), std::make_pair(qsizetype(-1), true));
    EXPECT_EQ(checkInBlocks(original, 3 * PageCodes::kPageBytes),
              std::make_pair(qsizetype(-1), true));
    // 700-byte blocks: the sixth page is whole once the block from 5,600 has come.
    EXPECT_EQ(checkInBlocks(damagedSixthPage(), 700), std::make_pair(qsizetype(8 * 700), false));
    // The last page missing: every page given is sound, the whole is not.
    EXPECT_EQ(checkInBlocks(original.left(original.size() - PageCodes::kPageBytes), 4096),
              std::make_pair(qsizetype(-1), false));
}

// On a thread of its own the check comes to the same verdicts, by the time the copy asks.
TEST_F(PageCodesCheck, CheckedBesideTheCopyTheVerdictsAreTheSame) {
    LMS_FILE_ENGINE_ONLY();
    for (const bool damaged : {false, true}) {
        BackgroundCheck codes(std::make_unique<PageCodes>(Tdm_Dbase::kPassword, pages));
        giveInBlocks(codes, damaged ? damagedSixthPage() : original, 3000);
        EXPECT_EQ(codes.complete(), !damaged);
    }
    // A copy that gives up half way leaves the thread to stop with blocks still waiting.
    BackgroundCheck abandoned(std::make_unique<PageCodes>(Tdm_Dbase::kPassword, pages));
    EXPECT_EQ(giveInBlocks(abandoned, original.left(original.size() / 2), 1000), -1);
}

// The engine derived the key when it opened the file; checking the file's pages derives none.
TEST_F(PageCodesCheck, UsesThePageKeyTheEngineDerived) {
    LMS_FILE_ENGINE_ONLY();
    const int before = PageKeys::derivations();
    EXPECT_TRUE(check(original));
    EXPECT_EQ(PageKeys::derivations(), before);
}

TEST_F(PageCodesCheck, AnotherPasswordFails) {
    EXPECT_FALSE(check(original, pages, QByteArray("another password")));
    EXPECT_FALSE(check(original, pages, QByteArray()));
}

} // namespace
} // namespace lms
