// Labels and cards printed from the stored rows scan back into the lending screen: what the
// scanner reads from a sheet, typed into the id fields, lends the book to the reader.
#include "circulation/db/CirculationFixture.h"
#include "labels/LabelRows.h"
#include "reports/LabelScan.h"

namespace lms::test {
namespace {

class ScannedLabels : public CirculationTest {
protected:
    // What the scanner reads from label `index` of the document printed at a thermal
    // printer's 203 dpi.
    QString scanned(const Labels::LabelDocument& document, int index) {
        const double dpi = 203;
        const QImage page = renderPage(document, document.pageOf(index), dpi);
        const QStringList texts = scannedTexts(cropMm(page, document.cellOf(index), dpi));
        return texts.size() == 1 ? texts.first() : QString();
    }
};

TEST_F(ScannedLabels, ABookLabelAndAReaderCardScannedIntoTheLendingScreenLendTheBook) {
    addReader(QStringLiteral("R001"));
    for (const char* id : {"B001", "B002", "B003"})
        addBook(QString::fromLatin1(id));
    const QList<Labels::SheetLayout>& layouts = Labels::builtInLayouts();
    // A partly used sheet of labels, shifted as a desk's printer may need, and one card.
    const Labels::LabelDocument labels(layouts.first(), Labels::bookLabels(shop.dm->db()),
                                       {.skip = 5, .offset = QPointF(1.5, -1)});
    const Labels::LabelDocument cards(
        layouts.last(), Labels::readerCardsOf(shop.dm->db(), {QStringLiteral("R001")}, {}), {});

    Tfrm_TZJBook borrowing(ctx);
    borrowing.FormShow();
    borrowing.tzID.type(scanned(cards, 0));
    EXPECT_TRUE(borrowing.readerOk());
    borrowing.tsID.type(scanned(labels, 1));
    ASSERT_TRUE(borrowing.bookOk());
    borrowing.Button1Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("图书借出成功!"));
    EXPECT_EQ(bookColumn(QStringLiteral("B002"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("已借出"));
    EXPECT_EQ(loansOf(QStringLiteral("R001")), 1);
}

} // namespace
} // namespace lms::test
