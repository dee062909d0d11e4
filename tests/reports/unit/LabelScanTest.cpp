// Labels scan back to exactly the stored id: pages drawn at a thermal printer's 203 dpi and an
// office printer's 300 dpi, every barcode read by zbar and compared with its label's id.
#include "reports/LabelScan.h"
#include "reports/labels/LabelSheet.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lms::Labels {
namespace {

using test::cropMm;
using test::renderPage;
using test::scanBarcodes;
using test::scannedTexts;

const SheetLayout& layoutNamed(const QString& name) {
    for (const SheetLayout& layout : builtInLayouts())
        if (layout.name == name)
            return layout;
    throw std::runtime_error("no layout " + name.toStdString());
}
const SheetLayout& sheet3x8() {
    return layoutNamed(QStringLiteral("A4 3×8（70×37 毫米）"));
}
const SheetLayout& narrowSheet() {
    return layoutNamed(QStringLiteral("A4 5×13（38.1×21.2 毫米）"));
}
const SheetLayout& printer40x30() {
    return layoutNamed(QStringLiteral("标签打印机 40×30 毫米"));
}
const SheetLayout& card() {
    return layoutNamed(QStringLiteral("读者证 85.6×54 毫米"));
}

LabelContent book(const QString& id) {
    return {.kind = LabelContent::Kind::Book,
            .id = id,
            .title = QStringLiteral("红楼梦（脂砚斋重评石头记庚辰本）"),
            .subtitle = QStringLiteral("文学"),
            .validity = {},
            .shopName = {}};
}

LabelContent readerCard(const QString& id) {
    return {.kind = LabelContent::Kind::ReaderCard,
            .id = id,
            .title = QStringLiteral("欧阳明月"),
            .subtitle = QStringLiteral("包年"),
            .validity = QStringLiteral("借阅有效期：2027-03-14"),
            .shopName = QStringLiteral("城南书屋图书租借")};
}

// The label of each index read back from its own cell.
QStringList scannedPerLabel(const LabelDocument& document, double dpi) {
    QStringList texts;
    QImage page;
    int pageNumber = -1;
    for (int i = 0; i < document.labels().size(); ++i) {
        if (document.pageOf(i) != pageNumber) {
            pageNumber = document.pageOf(i);
            page = renderPage(document, pageNumber, dpi);
        }
        texts.append(scannedTexts(cropMm(page, document.cellOf(i), dpi)).join(QLatin1Char('|')));
    }
    return texts;
}

class LabelScan : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }
};

// Ids of every length the id length setting allows, of digits (Code 128's dense set) and of
// letters and signs (one character a symbol).
QList<LabelContent> idsOfEveryLength(const QString& characters) {
    QList<LabelContent> labels;
    for (int length = 1; length <= 20; ++length)
        labels.append(book(characters.left(length)));
    return labels;
}
const QString kDigits = QStringLiteral("20050003123456789012");
const QString kMixed = QStringLiteral("Rw-7/Qx.9_Zk!~aB3cD4");

struct ScanCase {
    const char* name;
    const SheetLayout& (*layout)();
    double dpi;
    QList<int> tooLong; // lengths of ids without a barcode: of digits, of letters and signs
    QList<int> tooLongMixed;
};

class IdsOfEveryLength : public LabelScan, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(IdsOfEveryLength, ScanBackExactlyOrAreNoted) {
    const ScanCase& c = GetParam();
    for (const QString& characters : {kDigits, kMixed}) {
        const LabelDocument document(c.layout(), idsOfEveryLength(characters), {});
        const QStringList scanned = scannedPerLabel(document, c.dpi);
        const QStringList notes = document.notes();
        for (int i = 0; i < document.labels().size(); ++i) {
            const QString id = document.labels()[i].id;
            SCOPED_TRACE(id.toStdString());
            const bool noted = notes.contains(QStringLiteral("编号 %1 太长，条码放不下").arg(id));
            if ((characters == kDigits ? c.tooLong : c.tooLongMixed).contains(int(id.size()))) {
                EXPECT_TRUE(noted);
                EXPECT_EQ(scanned[i], QString());
            } else {
                EXPECT_FALSE(noted);
                EXPECT_EQ(scanned[i], id);
            }
        }
    }
}

// A 40 mm label holds 156 modules of 0.25 mm within its edges: 20 of quiet zones, 35 of start,
// check and stop symbols, and 9 symbols of 11 modules: 9 letters, or 18 digits two to a symbol
// (17 and 19 digits need one more symbol for the odd digit).
const QList<int> kPast9 = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
INSTANTIATE_TEST_SUITE_P(
    Labels, IdsOfEveryLength,
    ::testing::Values(ScanCase{"sheet3x8_203dpi", sheet3x8, 203, {}, {}},
                      ScanCase{"sheet3x8_300dpi", sheet3x8, 300, {}, {}},
                      ScanCase{"printer40x30_203dpi", printer40x30, 203, {17, 19, 20}, kPast9},
                      ScanCase{"printer40x30_300dpi", printer40x30, 300, {17, 19, 20}, kPast9}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(LabelScan, ChineseIdIsAQrCodeOfItsUtf8Text) {
    const QString id = QStringLiteral("图书甲-001");
    for (const SheetLayout* layout : {&sheet3x8(), &narrowSheet(), &printer40x30(), &card()}) {
        for (const double dpi : {203.0, 300.0}) {
            SCOPED_TRACE(layout->name.toStdString() + " " + std::to_string(dpi));
            const LabelContent content = layout == &card() ? readerCard(id) : book(id);
            const LabelDocument document(*layout, {content}, {});
            const QList<test::Scan> scans = scanBarcodes(renderPage(document, 0, dpi));
            ASSERT_EQ(scans.size(), 1);
            EXPECT_EQ(scans[0].symbology, QStringLiteral("QR-Code"));
            EXPECT_EQ(scans[0].text, id);
            EXPECT_EQ(document.notes(),
                      QStringList{QStringLiteral("编号 %1 含有中文，用二维码").arg(id)});
        }
    }
}

TEST_F(LabelScan, ReaderCardCarriesItsIdAsCode128) {
    const LabelDocument document(card(), {readerCard(QStringLiteral("20050003"))}, {});
    for (const double dpi : {203.0, 300.0}) {
        const QList<test::Scan> scans = scanBarcodes(renderPage(document, 0, dpi));
        ASSERT_EQ(scans.size(), 1) << dpi;
        EXPECT_EQ(scans[0].symbology, QStringLiteral("CODE-128"));
        EXPECT_EQ(scans[0].text, QStringLiteral("20050003"));
    }
}

// The ink of a page inside `mm`, in millimetres (empty when there is none).
QRectF inkWithin(const QImage& page, const QRectF& mm, double dpi) {
    const double dotsPerMm = dpi / 25.4;
    const QRect dots = QRectF(mm.topLeft() * dotsPerMm, mm.size() * dotsPerMm).toAlignedRect();
    QRect ink;
    for (int y = std::max(0, dots.top()); y <= std::min(page.height() - 1, dots.bottom()); ++y)
        for (int x = std::max(0, dots.left()); x <= std::min(page.width() - 1, dots.right()); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink.isEmpty()
               ? QRectF()
               : QRectF(QPointF(ink.topLeft()) / dotsPerMm, QSizeF(ink.size()) / dotsPerMm);
}

TEST_F(LabelScan, FirstAndLastLabelOfShiftedSheetsSitInTheirCells) {
    constexpr double dpi = 300;
    // Only the first and the last label have content, so the ink near them is their own.
    QList<LabelContent> labels(24);
    labels.first() = book(QStringLiteral("B2026000"));
    labels.last() = book(QStringLiteral("B2026023"));
    const LabelDocument plain(sheet3x8(), labels, {.skip = 5, .offset = {}});
    for (const QPointF offset : {QPointF(1.5, -1), QPointF(-1, 2)}) {
        SCOPED_TRACE(offset.x());
        const LabelDocument shifted(sheet3x8(), labels, {.skip = 5, .offset = offset});
        ASSERT_EQ(shifted.pageCount(), 2);
        for (const int i : {0, 23}) {
            const int page = shifted.pageOf(i);
            EXPECT_EQ(page, i == 0 ? 0 : 1);
            const QImage image = renderPage(shifted, page, dpi);
            EXPECT_EQ(scannedTexts(cropMm(image, shifted.cellOf(i), dpi)),
                      QStringList{labels[i].id});
            // The drawing moved by the offset, nothing else.
            const QRectF around = plain.cellOf(i).adjusted(-3, -3, 3, 3);
            const QRectF moved = inkWithin(image, around, dpi);
            const QRectF still = inkWithin(renderPage(plain, page, dpi), around, dpi);
            EXPECT_NEAR(moved.left() - still.left(), offset.x(), 0.1);
            EXPECT_NEAR(moved.top() - still.top(), offset.y(), 0.1);
            EXPECT_NEAR(moved.width(), still.width(), 0.1);
        }
    }
}

// The fullest labels there are, in the first and last cell of every built-in sheet: no ink
// outside the cell.
TEST_F(LabelScan, DrawingStaysInsideItsCellOnEveryLayout) {
    constexpr double dpi = 150;
    const QString longest = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    LabelContent fullBook = book(longest);
    fullBook.title = QStringLiteral("三国演义").repeated(10);
    fullBook.subtitle = QStringLiteral("古典文学名著珍藏版").repeated(4);
    LabelContent fullCard =
        readerCard(QStringLiteral("图书甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"));
    fullCard.title = QStringLiteral("诸葛孔明").repeated(8);
    fullCard.shopName = QStringLiteral("城南书屋").repeated(10);
    fullCard.validity = QStringLiteral("借阅有效期：2027-03-14").repeated(3);
    fullCard.subtitle = QStringLiteral("包季度").repeated(6);
    LabelContent shortCard = readerCard(QStringLiteral("7"));
    for (const SheetLayout& layout : builtInLayouts()) {
        for (const int slot : {0, layout.perPage() - 1}) {
            for (const LabelContent& content :
                 {fullBook, fullCard, shortCard, book(QStringLiteral("1"))}) {
                SCOPED_TRACE(layout.name.toStdString() + " slot " + std::to_string(slot) + " " +
                             content.id.toStdString());
                const LabelDocument document(layout, {content}, {.skip = slot, .offset = {}});
                const QImage page = renderPage(document, 0, dpi);
                const QRectF cell = document.cellOf(0);
                const QRectF all = inkWithin(page, QRectF(QPointF(0, 0), layout.page), dpi);
                ASSERT_FALSE(all.isEmpty());
                // One dot of rounding at the cell's edges.
                const double dot = 25.4 / dpi;
                EXPECT_TRUE(cell.adjusted(-dot, -dot, dot, dot).contains(all))
                    << "cell " << cell.x() << "," << cell.y() << " " << cell.width() << "×"
                    << cell.height() << " ink " << all.x() << "," << all.y() << " " << all.width()
                    << "×" << all.height();
            }
        }
    }
}

TEST_F(LabelScan, IdTooLongForTheNarrowLabelIsWrittenWithoutABarcode) {
    const QString id = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    const LabelDocument document(narrowSheet(), {book(id)}, {});
    EXPECT_EQ(document.notes(), QStringList{QStringLiteral("编号 %1 太长，条码放不下").arg(id)});
    const QImage page = renderPage(document, 0, 300);
    EXPECT_EQ(scannedTexts(page), QStringList());
    // The id is there as text, in the middle of the label where the barcode would be.
    const QRectF cell = document.cellOf(0);
    const QRectF middle(cell.left(), cell.top() + cell.height() * 0.4, cell.width(),
                        cell.height() * 0.25);
    EXPECT_FALSE(inkWithin(page, middle, 300).isEmpty());
}

TEST_F(LabelScan, PdfReadBackByPdftoppmScans) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QList<LabelContent> labels;
    for (int i = 0; i < 24; ++i)
        labels.append(book(QStringLiteral("2005%1").arg(i, 4, 10, QLatin1Char('0'))));
    labels.append(book(QStringLiteral("图书甲-001")));
    const LabelDocument document(sheet3x8(), labels, {.skip = 0, .offset = QPointF(1.5, -1)});
    const QString pdf = dir.filePath(QStringLiteral("标签.pdf"));
    ASSERT_TRUE(writePdf(document, pdf));
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"), pdf,
                    dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(pdftoppm.waitForFinished(60000));
    ASSERT_EQ(pdftoppm.exitCode(), 0) << pdftoppm.readAllStandardError().toStdString();
    const QStringList pages =
        QDir(dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 2);
    const QImage first(dir.filePath(pages[0]));
    // A4 at 300 dpi, give or take pdftoppm's rounding.
    EXPECT_NEAR(first.width(), 2480, 1);
    EXPECT_NEAR(first.height(), 3508, 1);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(scannedTexts(cropMm(first, document.cellOf(i), 300)), QStringList{labels[i].id})
            << i;
    const QImage second(dir.filePath(pages[1]));
    EXPECT_EQ(scannedTexts(second), QStringList{labels[24].id});
}

TEST_F(LabelScan, PdfOfNothingWritesNothing) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("空.pdf"));
    EXPECT_FALSE(writePdf(LabelDocument(sheet3x8(), {}, {}), pdf));
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(writePdf(LabelDocument(sheet3x8(), {book(QStringLiteral("1"))}, {}),
                          dir.filePath(QStringLiteral("没有的文件夹/标签.pdf"))));
}

} // namespace
} // namespace lms::Labels
