// Where labels sit on their sheets: the built-in sheets as the shops' label sheets are cut, the
// start position on a partly used sheet, the desk's offset, and what the preview notes.
#include "reports/labels/LabelSheet.h"

#include <gtest/gtest.h>

namespace lms::Labels {
namespace {

struct ExpectedSheet {
    const char* name;
    QSizeF page;
    QSizeF label;
    int columns;
    int rows;
};

TEST(LabelLayouts, BuiltInSheetsAreTheShopsSheets) {
    const ExpectedSheet expected[] = {
        {"A4 3×8（70×37 毫米）", {210, 297}, {70, 37}, 3, 8},
        {"A4 4×10（52.5×29.7 毫米）", {210, 297}, {52.5, 29.7}, 4, 10},
        {"A4 5×13（38.1×21.2 毫米）", {210, 297}, {38.1, 21.2}, 5, 13},
        {"标签打印机 40×30 毫米", {40, 30}, {40, 30}, 1, 1},
        {"标签打印机 50×30 毫米", {50, 30}, {50, 30}, 1, 1},
        {"读者证 85.6×54 毫米", {85.6, 54}, {85.6, 54}, 1, 1},
    };
    const QList<SheetLayout>& layouts = builtInLayouts();
    ASSERT_EQ(layouts.size(), std::size(expected));
    for (qsizetype i = 0; i < layouts.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(layouts[i].name, QString::fromUtf8(expected[i].name));
        EXPECT_EQ(layouts[i].page, expected[i].page);
        EXPECT_EQ(layouts[i].label, expected[i].label);
        EXPECT_EQ(layouts[i].columns, expected[i].columns);
        EXPECT_EQ(layouts[i].rows, expected[i].rows);
    }
}

// Every cell lies on the page, the grid in its middle, and no two cells overlap.
TEST(LabelLayouts, GridsAreCentredAndFitThePage) {
    for (const SheetLayout& layout : builtInLayouts()) {
        SCOPED_TRACE(layout.name.toStdString());
        EXPECT_NEAR(layout.margins.left(), layout.margins.right(), 1e-9);
        EXPECT_NEAR(layout.margins.top(), layout.margins.bottom(), 1e-9);
        const LabelDocument document(layout, QList<LabelContent>(layout.perPage()), {});
        ASSERT_EQ(document.pageCount(), 1);
        const QRectF page(QPointF(0, 0), layout.page);
        const QRectF last = document.cellOf(layout.perPage() - 1);
        EXPECT_NEAR(page.right() - last.right(), document.cellOf(0).left(), 1e-9);
        EXPECT_NEAR(page.bottom() - last.bottom(), document.cellOf(0).top(), 1e-9);
        for (int i = 0; i < layout.perPage(); ++i) {
            const QRectF cell = document.cellOf(i);
            EXPECT_TRUE(page.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(cell)) << i;
            EXPECT_EQ(cell.size(), layout.label);
            for (int j = 0; j < i; ++j)
                EXPECT_LE(cell.intersected(document.cellOf(j)).width() *
                              cell.intersected(document.cellOf(j)).height(),
                          1e-9)
                    << i << " over " << j;
        }
    }
}

TEST(LabelDocument, StartsAtTheSkippedSlotAndShiftsByTheOffset) {
    const LabelDocument document(builtInLayouts()[0], QList<LabelContent>(30),
                                 {.skip = 5, .offset = QPointF(1.5, -1)});
    EXPECT_EQ(document.pageCount(), 2);
    // Slot 5 of 3 × 8 is the third column of the second row.
    EXPECT_EQ(document.pageOf(0), 0);
    EXPECT_EQ(document.cellOf(0), QRectF(2 * 70 + 1.5, 0.5 + 37 - 1, 70, 37));
    EXPECT_EQ(document.pageOf(18), 0);
    EXPECT_EQ(document.cellOf(18), QRectF(2 * 70 + 1.5, 0.5 + 7 * 37 - 1, 70, 37));
    // The next sheet starts at its first slot.
    EXPECT_EQ(document.pageOf(19), 1);
    EXPECT_EQ(document.cellOf(19), QRectF(1.5, 0.5 - 1, 70, 37));
    EXPECT_EQ(document.pageOf(29), 1);
}

TEST(LabelDocument, SkipStaysWithinTheFirstSheet) {
    struct Case {
        int layout;
        int skip;
        int pages; // of 2 labels
    };
    for (const Case c :
         {Case{0, -3, 1}, Case{0, 22, 1}, Case{0, 23, 2}, Case{0, 100, 2}, Case{3, 4, 2}}) {
        const LabelDocument document(builtInLayouts()[c.layout], QList<LabelContent>(2),
                                     {.skip = c.skip, .offset = {}});
        EXPECT_EQ(document.pageCount(), c.pages) << c.layout << " skip " << c.skip;
    }
    EXPECT_EQ(LabelDocument(builtInLayouts()[0], {}, {}).pageCount(), 0);
}

TEST(LabelDocument, CustomLayoutWithoutRowsHoldsOneLabelAPage) {
    SheetLayout layout{.name = QStringLiteral("自定义"),
                       .page = QSizeF(100, 50),
                       .label = QSizeF(60, 40),
                       .columns = 0,
                       .rows = 0,
                       .margins = QMarginsF(5, 4, 5, 4),
                       .gap = QSizeF(0, 0)};
    const LabelDocument document(layout, QList<LabelContent>(3), {});
    EXPECT_EQ(document.pageCount(), 3);
    EXPECT_EQ(document.cellOf(2), QRectF(5, 4, 60, 40));
}

LabelContent book(const QString& id) {
    return {.kind = LabelContent::Kind::Book,
            .id = id,
            .title = QStringLiteral("书"),
            .subtitle = QStringLiteral("小说"),
            .validity = {},
            .shopName = {}};
}

TEST(LabelDocument, NotesNameQrCodesAndIdsTooLongForTheLabel) {
    struct Case {
        int layout;
        QString id;
        QString note; // empty: none
    };
    const QString tooLong = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    const QString chinese = QStringLiteral("图书甲-001");
    const Case cases[] = {
        {2, QStringLiteral("20050003"), {}},
        {2, QStringLiteral("B-12/3x"), {}},
        {2, tooLong, QStringLiteral("编号 WWWWWWWWWWWWWWWWWWWW 太长，条码放不下")},
        {0, tooLong, {}},
        {3, tooLong, QStringLiteral("编号 WWWWWWWWWWWWWWWWWWWW 太长，条码放不下")},
        {0, chinese, QStringLiteral("编号 图书甲-001 含有中文，用二维码")},
        {3, chinese, QStringLiteral("编号 图书甲-001 含有中文，用二维码")},
    };
    for (const Case& c : cases) {
        const LabelDocument document(builtInLayouts()[c.layout], {book(c.id), book(c.id)}, {});
        EXPECT_EQ(document.notes(), c.note.isEmpty() ? QStringList() : QStringList{c.note})
            << c.layout << " " << c.id.toStdString();
    }
}

} // namespace
} // namespace lms::Labels
