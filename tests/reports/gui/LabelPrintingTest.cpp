// Labels printed through a printer as the preview prints them: the page is the layout's, turned
// where it is wider than high, and the labels sit where the layout puts them on the paper.
#include "core/widgets/LabelPreview.h"
#include "reports/LabelScan.h"
#include "reports/labels/LabelSheet.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lms {
namespace {

using Labels::LabelContent;
using Labels::LabelDocument;

LabelContent card(const QString& id) {
    return {.kind = LabelContent::Kind::ReaderCard,
            .id = id,
            .title = QStringLiteral("张三"),
            .subtitle = QStringLiteral("按日租借"),
            .validity = QStringLiteral("按日租借"),
            .shopName = {}};
}

TEST(LabelPrinting, PrinterPagesAreTheLayoutsWithLabelsInTheirCells) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Labels::SheetLayout& cards = Labels::builtInLayouts().last();
    ASSERT_EQ(cards.page, QSizeF(85.6, 54));
    const LabelDocument document(cards,
                                 {card(QStringLiteral("R001")), card(QStringLiteral("R002"))},
                                 {.skip = 0, .offset = QPointF(2, 1)});
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("cards.pdf")));
    ASSERT_TRUE(printLabels(document, printer));

    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                    printer.outputFileName(), dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(pdftoppm.waitForFinished(60000));
    const QStringList pages =
        QDir(dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QImage page(dir.filePath(pages[i]));
        // A PDF page measures whole points: within one point (300 / 72 dots) of the card.
        EXPECT_NEAR(page.width(), 85.6 / 25.4 * 300, 300.0 / 72);
        EXPECT_NEAR(page.height(), 54 / 25.4 * 300, 300.0 / 72);
        EXPECT_EQ(test::scannedTexts(test::cropMm(page, document.cellOf(i), 300)),
                  QStringList{document.labels()[i].id});
    }
}

} // namespace
} // namespace lms
