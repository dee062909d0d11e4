// The label screen: the sheet chosen from the built-in layouts or typed as a custom one, the start
// position on a partly used sheet, the desk's printer shift kept beside the program, and exactly
// the chosen labels, layout and placement handed to the preview.
#include "LabelFixture.h"

namespace lms::test {
namespace {

class PrintLabels : public LabelScreenTest {
protected:
    PrintLabels() : screen(ctx, Kind::Book) {}

    Tfrm_PrintLabels screen;
    const QList<Field*> customFields = {&screen.pageWidth,   &screen.pageHeight, &screen.labelWidth,
                                        &screen.labelHeight, &screen.columns,    &screen.rows,
                                        &screen.leftMargin,  &screen.topMargin,  &screen.gapAcross,
                                        &screen.gapDown};

    void typeCustom(const QStringList& measures, int columns, int rows) {
        screen.layout.setItemIndex(customIndex());
        Field* const texts[] = {&screen.pageWidth,   &screen.pageHeight, &screen.labelWidth,
                                &screen.labelHeight, &screen.leftMargin, &screen.topMargin,
                                &screen.gapAcross,   &screen.gapDown};
        for (int i = 0; i < 8; ++i)
            texts[i]->type(measures.at(i));
        screen.columns.setValue(columns);
        screen.rows.setValue(rows);
    }
};

TEST_F(PrintLabels, OffersTheBuiltInLayoutsThenCustomAndStartsOnTheFirstSheet) {
    screen.print(someBooks(3));
    QStringList names;
    for (const Labels::SheetLayout& sheet : Labels::builtInLayouts())
        names << sheet.name;
    EXPECT_EQ(screen.layout.items(), names << QStringLiteral("自定义…"));
    EXPECT_EQ(screen.layout.text(), Labels::builtInLayouts().constFirst().name);
    EXPECT_EQ(screen.count.text(), QStringLiteral("3"));
    EXPECT_EQ(screen.caption(), QStringLiteral("打印图书标签"));
    EXPECT_EQ(screen.skip.number(), 0);
    EXPECT_EQ(screen.offsetX.text(), QStringLiteral("0"));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_FALSE(deskFileExists());
}

TEST_F(PrintLabels, ReaderCardsStartOnTheCardSizedLayout) {
    Tfrm_PrintLabels cards(ctx, Kind::ReaderCard);
    cards.print({});
    EXPECT_EQ(cards.caption(), QStringLiteral("打印读者证"));
    const Labels::SheetLayout& chosen = Labels::builtInLayouts().at(cards.layout.itemIndex());
    EXPECT_DOUBLE_EQ(chosen.label.width(), 85.6);
    EXPECT_DOUBLE_EQ(chosen.label.height(), 54.0);
}

TEST_F(PrintLabels, OnlyTheCustomLayoutTakesTypedMeasuresAndEachSheetShowsItsOwn) {
    screen.print(someBooks(1));
    for (int index = 0; index <= customIndex(); ++index) {
        screen.layout.setItemIndex(index);
        const bool custom = index == customIndex();
        SCOPED_TRACE(screen.layout.text().toStdString());
        for (const Field* field : customFields)
            EXPECT_EQ(field->isEnabled(), custom) << field->name().toStdString();
        if (custom)
            continue;
        const Labels::SheetLayout& sheet = Labels::builtInLayouts().at(index);
        EXPECT_EQ(screen.labelWidth.text().toDouble(), sheet.label.width());
        EXPECT_EQ(screen.pageHeight.text().toDouble(), sheet.page.height());
        EXPECT_EQ(screen.columns.number(), sheet.columns);
        EXPECT_EQ(screen.rows.number(), sheet.rows);
        EXPECT_EQ(screen.topMargin.text().toDouble(), sheet.margins.top());
    }
}

TEST_F(PrintLabels, TheStartPositionStaysOnTheFirstSheetOfTheLayout) {
    screen.print(someBooks(1));
    for (int index = 0; index < customIndex(); ++index) {
        screen.layout.setItemIndex(index);
        EXPECT_EQ(screen.skip.minimum(), 0);
        EXPECT_EQ(screen.skip.maximum(), Labels::builtInLayouts().at(index).perPage() - 1)
            << screen.layout.text().toStdString();
    }
    typeCustom({"210", "297", "60", "30", "0", "0", "0", "0"}, 3, 9);
    EXPECT_EQ(screen.skip.maximum(), 26);
    screen.skip.setValue(26);
    // Fewer labels a sheet take the start position back onto the sheet.
    screen.rows.setValue(2);
    EXPECT_EQ(screen.skip.maximum(), 5);
    EXPECT_EQ(screen.skip.number(), 5);
}

TEST_F(PrintLabels, ThePreviewGetsExactlyTheLabelsTheLayoutAndThePlacementChosen) {
    const QList<Labels::LabelContent> labels = someBooks(30);
    screen.print(labels);
    screen.layout.setItemIndex(1);
    screen.skip.setValue(7);
    screen.offsetX.type(QStringLiteral("1.5"));
    screen.offsetY.type(QStringLiteral("-0.75"));
    screen.run(QStringLiteral("Button1Click"));
    EXPECT_TRUE(prompter.boxes().empty());
    ASSERT_EQ(prompter.labelPreviews().size(), 1u);
    const Labels::LabelDocument& shown = prompter.labelPreviews().front();
    const Labels::SheetLayout& sheet = Labels::builtInLayouts().at(1);
    EXPECT_EQ(shown.labels().size(), labels.size());
    for (qsizetype i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(shown.labels()[i].id, labels[i].id);
        EXPECT_EQ(shown.labels()[i].title, labels[i].title);
    }
    EXPECT_EQ(shown.layout().name, sheet.name);
    EXPECT_EQ(shown.layout().perPage(), sheet.perPage());
    // The first label lies where the eighth of an unshifted, unused sheet would, moved by the
    // offset; the last one follows on from it.
    const Labels::LabelDocument plain(sheet, labels, Labels::Placement{});
    const int last = static_cast<int>(labels.size()) - 1;
    EXPECT_EQ(shown.cellOf(0), plain.cellOf(7).translated(1.5, -0.75));
    EXPECT_EQ(shown.cellOf(last), plain.cellOf(last + 7).translated(1.5, -0.75));
    EXPECT_EQ(shown.pageOf(last), plain.pageOf(last + 7));
}

TEST_F(PrintLabels, ACustomLayoutGoesToThePreviewAsTyped) {
    screen.print(someBooks(2));
    typeCustom({"100", "90", "45", "25", "3", "4", "2", "1.5"}, 2, 3);
    screen.run(QStringLiteral("Button1Click"));
    ASSERT_EQ(prompter.labelPreviews().size(), 1u);
    const Labels::SheetLayout& shown = prompter.labelPreviews().front().layout();
    EXPECT_EQ(shown.page, QSizeF(100, 90));
    EXPECT_EQ(shown.label, QSizeF(45, 25));
    EXPECT_EQ(shown.columns, 2);
    EXPECT_EQ(shown.rows, 3);
    EXPECT_EQ(shown.margins.left(), 3);
    EXPECT_EQ(shown.margins.top(), 4);
    EXPECT_EQ(shown.gap, QSizeF(2, 1.5));
}

TEST_F(PrintLabels, AMeasureThatIsNoNumberOrALayoutOffThePageIsRefused) {
    const QString kBadNumber = QStringLiteral("输入错误！请输入正确有效的数字。");
    const QString kOffPage = QStringLiteral("自定义的标签超出了纸张范围！\r\r"
                                            "请检查纸张和标签的尺寸、行列数、边距与间距。");
    struct Case {
        QStringList measures;
        int columns;
        QString offsetX;
        QString message;
        QString focus;
    };
    const Case cases[] = {
        {{"100", "80", "abc", "25", "0", "0", "0", "0"}, 2, "0", kBadNumber, "labelWidth"},
        {{"100", "80", "45", "0", "0", "0", "0", "0"}, 2, "0", kBadNumber, "labelHeight"},
        {{"100", "80", "45", "25", "-1", "0", "0", "0"}, 2, "0", kBadNumber, "leftMargin"},
        // 3 + 2 × 45 + 8 is 101 mm across a page of 100.
        {{"100", "80", "45", "25", "3", "0", "8", "0"}, 2, "0", kOffPage, "pageWidth"},
        {{"100", "80", "45", "25", "0", "0", "0", "0"}, 3, "0", kOffPage, "pageWidth"},
        {{"100", "80", "45", "25", "0", "0", "0", "0"}, 2, "1mm", kBadNumber, "offsetX"},
    };
    screen.print(someBooks(2));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString() + " " + c.focus.toStdString());
        prompter.clear();
        typeCustom(c.measures, c.columns, 3);
        screen.offsetX.type(c.offsetX);
        screen.run(QStringLiteral("Button1Click"));
        EXPECT_EQ(prompter.single(), c.message);
        EXPECT_EQ(screen.focusedField(), c.focus);
    }
    EXPECT_TRUE(prompter.labelPreviews().empty());
    EXPECT_FALSE(deskFileExists());
}

TEST_F(PrintLabels, TheDeskKeepsItsLayoutItsCustomSheetAndItsShiftForTheNextShowing) {
    screen.print(someBooks(2));
    typeCustom({"100", "90", "45", "25", "3", "4", "2", "1.5"}, 2, 3);
    screen.offsetX.type(QStringLiteral("-1.25"));
    screen.offsetY.type(QStringLiteral("2"));
    screen.skip.setValue(4);
    screen.run(QStringLiteral("Button1Click"));
    ASSERT_TRUE(deskFileExists());

    Tfrm_PrintLabels next(ctx, Kind::Book);
    next.print(someBooks(1));
    EXPECT_EQ(next.layout.itemIndex(), customIndex());
    EXPECT_EQ(next.pageWidth.text(), QStringLiteral("100"));
    EXPECT_EQ(next.labelHeight.text(), QStringLiteral("25"));
    EXPECT_EQ(next.gapDown.text(), QStringLiteral("1.5"));
    EXPECT_EQ(next.columns.number(), 2);
    EXPECT_EQ(next.rows.number(), 3);
    EXPECT_EQ(next.offsetX.text(), QStringLiteral("-1.25"));
    EXPECT_EQ(next.offsetY.text(), QStringLiteral("2"));
    // Each showing starts on a fresh sheet.
    EXPECT_EQ(next.skip.number(), 0);
    // A built-in sheet chosen later comes back too, and the custom one is still there to go
    // back to.
    next.layout.setItemIndex(2);
    next.run(QStringLiteral("Button1Click"));
    Tfrm_PrintLabels third(ctx, Kind::Book);
    third.print(someBooks(1));
    EXPECT_EQ(third.layout.itemIndex(), 2);
    third.layout.setItemIndex(customIndex());
    EXPECT_EQ(third.pageWidth.text(), QStringLiteral("100"));
    // Reader cards keep settings of their own (their printer is usually another).
    Tfrm_PrintLabels cards(ctx, Kind::ReaderCard);
    cards.print({});
    EXPECT_NE(cards.layout.itemIndex(), customIndex());
    EXPECT_EQ(cards.offsetX.text(), QStringLiteral("0"));
}

} // namespace
} // namespace lms::test
