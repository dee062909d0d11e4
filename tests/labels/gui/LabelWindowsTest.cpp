// The label screens in their real windows: every field has its widget and caption, and the
// sheets go to a PDF where the save dialog says.
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "labels/Tfrm_ChooseLabels.h"
#include "labels/db/LabelFixture.h"

#include <QLabel>

namespace lms::test {
namespace {

class LabelWindows : public LabelScreenTest {
protected:
    LabelWindows() : screen(ctx, Kind::Book) {}

    Tfrm_PrintLabels screen;
};

TEST_F(LabelWindows, EveryFieldHasItsWidgetAndItsCaption) {
    Tfrm_ChooseLabels choice(ctx, Kind::ReaderCard, [] { return QString(); });
    for (FormModel* shown : std::initializer_list<FormModel*>{&screen, &choice}) {
        SCOPED_TRACE(shown->objectName().toStdString());
        shown->FormShow();
        FormDialog dialog(*shown);
        EXPECT_EQ(dialog.binder().unboundFields(), QStringList());
        EXPECT_EQ(dialog.windowTitle(), shown->caption());
        for (Field* field : shown->fields()) {
            if (field->kind() == FieldKind::Button)
                continue;
            auto* label = dialog.findChild<QLabel*>(field->name() + QStringLiteral("Label"));
            ASSERT_NE(label, nullptr) << field->name().toStdString();
            EXPECT_EQ(label->text(), field->caption()) << field->name().toStdString();
            EXPECT_NE(label->buddy(), nullptr) << field->name().toStdString();
        }
    }
}

TEST_F(LabelWindows, APdfGoesWhereTheSaveDialogSaysAndACancelWritesNothing) {
    screen.print(someBooks(3));
    prompter.answerSaveFile(std::nullopt);
    screen.run(QStringLiteral("Button2Click"));
    ASSERT_EQ(prompter.saveDialogs().size(), 1u);
    EXPECT_EQ(prompter.saveDialogs()[0].title, QStringLiteral("输出PDF"));
    EXPECT_EQ(prompter.saveDialogs()[0].filter, QStringLiteral("PDF 文件|*.pdf"));
    EXPECT_EQ(prompter.saveDialogs()[0].name, QStringLiteral("打印图书标签.pdf"));
    EXPECT_TRUE(prompter.boxes().empty());

    const QString path = shop.pub.AppPath + QStringLiteral("标签.pdf");
    prompter.answerSaveFile(path);
    screen.run(QStringLiteral("Button2Click"));
    EXPECT_EQ(prompter.single(), QStringLiteral("已输出 3 张到PDF文件：\r") + path);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_TRUE(prompter.labelPreviews().empty());
}

TEST_F(LabelWindows, APdfThatCannotBeWrittenSaysSo) {
    screen.print(someBooks(1));
    const QString path = shop.pub.AppPath + QStringLiteral("no such folder/标签.pdf");
    prompter.answerSaveFile(path);
    screen.run(QStringLiteral("Button2Click"));
    EXPECT_EQ(prompter.single(), QStringLiteral("输出失败，文件没有保存：\r") + path +
                                     QStringLiteral("\r\r请选择一个可以写入的文件夹。"));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
} // namespace lms::test
