// The reader screens in their real windows: every field has its widget and caption, and a clerk
// registers, changes and deletes readers by typing and clicking.
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "readers/Tfrm_GGReader.h"
#include "readers/Tfrm_SZReader.h"
#include "readers/Tfrm_TJReader.h"
#include "readers/db/ReaderFixture.h"
#include "readers/gui/WindowDriver.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace lms::test {
namespace {

class ReaderWindows : public ReaderScreenTest {
protected:
    ReaderWindows() { shop.pub.ReaderIdMaxLen = 4; }
};

TEST_F(ReaderWindows, EveryFieldHasItsWidgetAndItsCaption) {
    Tfrm_TJReader registration(ctx);
    Tfrm_GGReader maintenance(ctx);
    Tfrm_SZReader deletion(ctx);
    for (FormModel* screen :
         std::initializer_list<FormModel*>{&registration, &maintenance, &deletion}) {
        SCOPED_TRACE(screen->objectName().toStdString());
        FormDialog dialog(*screen);
        EXPECT_EQ(dialog.binder().unboundFields(), QStringList());
        EXPECT_EQ(dialog.windowTitle(), screen->caption());
        for (Field* field : screen->fields()) {
            if (auto* label = dialog.findChild<QLabel*>(field->name() + QStringLiteral("Label"))) {
                EXPECT_EQ(label->text(), field->caption()) << field->name().toStdString();
            }
        }
    }
}

TEST_F(ReaderWindows, AClerkRegistersAPayPerDayReader) {
    Tfrm_TJReader screen(ctx);
    Window w(screen);
    w.typeInto("ID", QStringLiteral("R1"));
    w.typeInto("xm", QStringLiteral("Wang"));
    auto& type = w.at<QComboBox>("rx");
    EXPECT_EQ(type.count(), 4);
    type.setCurrentIndex(3);
    EXPECT_FALSE(w.at<QGroupBox>("GroupBox5").isVisible());
    EXPECT_FALSE(w.at<QGroupBox>("GroupBox6").isVisible());
    EXPECT_EQ(w.at<QLineEdit>("zj").text(), QStringLiteral("0"));
    EXPECT_EQ(w.at<QLineEdit>("fyzj").text(), QStringLiteral("110"));
    EXPECT_FALSE(w.at<QLineEdit>("fyzj").isEnabled());
    w.typeInto("yj", QStringLiteral("60"));
    EXPECT_EQ(w.at<QLineEdit>("fyzj").text(), QStringLiteral("70"));
    auto& remark = w.at<QPlainTextEdit>("bz");
    remark.setFocus();
    remark.insertPlainText(QStringLiteral("第一行"));
    QTest::keyClick(&remark, Qt::Key_Return);
    remark.insertPlainText(QStringLiteral("第二行"));
    w.click("Button1");
    EXPECT_EQ(prompter.single(), QStringLiteral("添加读者成功!"));
    EXPECT_EQ(readerColumn(QStringLiteral("R1"), QStringLiteral("读者类型")).toString(),
              QStringLiteral("按日租借"));
    EXPECT_EQ(readerColumn(QStringLiteral("R1"), QStringLiteral("押金")).toDouble(), 60.0);
    EXPECT_EQ(readerColumn(QStringLiteral("R1"), QStringLiteral("备注")).toString(),
              QStringLiteral("第一行第二行"));
    EXPECT_EQ(w.at<QLineEdit>("ID").text(), QString());
    EXPECT_TRUE(w.at<QGroupBox>("GroupBox5").isVisible()) << "reset to the monthly proposal";
    EXPECT_TRUE(w.at<QLineEdit>("ID").hasFocus());
}

TEST_F(ReaderWindows, TypingStopsAtTheLimitsAndTheRemarkIsCutWhereItOverflows) {
    Tfrm_TJReader screen(ctx);
    Window w(screen);
    w.typeInto("ID", QStringLiteral("读者号"));
    EXPECT_EQ(w.at<QLineEdit>("ID").text(), QStringLiteral("读者")) << "four bytes";
    w.typeInto("xm", QString(25, QLatin1Char('n')));
    EXPECT_EQ(w.at<QLineEdit>("xm").text(), QString(20, QLatin1Char('n')));
    w.typeInto("zjhm", QStringLiteral("1234"));
    QTest::keyClick(&w.at<QLineEdit>("zjhm"), Qt::Key_Home);
    QTest::keyClicks(&w.at<QLineEdit>("zjhm"), QStringLiteral("AB"));
    EXPECT_EQ(w.at<QLineEdit>("zjhm").text(), QStringLiteral("AB1234")) << "the cursor stays put";
    auto& remark = w.at<QPlainTextEdit>("bz");
    remark.setFocus();
    remark.insertPlainText(QString(130, QChar(0x4E66)));
    EXPECT_EQ(remark.toPlainText(), QString(127, QChar(0x4E66)));
    EXPECT_EQ(screen.field(QStringLiteral("bz")).text(), QString(127, QChar(0x4E66)));
}

TEST_F(ReaderWindows, AClerkChangesAReaderFoundByItsFullId) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("读者类型"), QStringLiteral("按日租借")},
                                       {QStringLiteral("押金"), 80.0}});
    Tfrm_GGReader screen(ctx);
    Window w(screen);
    w.typeInto("ID", QStringLiteral("R001"));
    EXPECT_EQ(w.at<QLineEdit>("tzxm").text(), QStringLiteral("Wang"));
    EXPECT_EQ(w.at<QComboBox>("tzrx").currentText(), QStringLiteral("按日租借"));
    EXPECT_EQ(w.at<QLineEdit>("yj").text(), QStringLiteral("80"));
    EXPECT_TRUE(w.at<QLineEdit>("yj").isReadOnly());
    EXPECT_FALSE(w.at<QGroupBox>("GroupBox3").isVisible());
    w.at<QComboBox>("tzzt").setCurrentIndex(1);
    w.typeInto("df", QStringLiteral("12345"));
    w.click("Button1");
    EXPECT_EQ(prompter.single(), QStringLiteral("读者信息更改成功!"));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("自动延期"));
    EXPECT_EQ(readerColumn(QStringLiteral("R001"), QStringLiteral("电话")).toString(),
              QStringLiteral("12345"));
    EXPECT_EQ(w.at<QComboBox>("xp").currentIndex(), -1);
}

TEST_F(ReaderWindows, AValidityPickedByHandKeepsItsTimeOfDay) {
    addReader(QStringLiteral("R001"));
    Tfrm_GGReader screen(ctx);
    Window w(screen);
    w.typeInto("ID", QStringLiteral("R001"));
    auto& validity = w.at<QDateTimeEdit>("yxq");
    EXPECT_EQ(validity.dateTime(), at(2026, 4, 5, 9, 0));
    validity.setDate(QDate(2026, 5, 1));
    EXPECT_EQ(screen.field(QStringLiteral("yxq")).value().toDateTime(), at(2026, 5, 1, 9, 0));
    w.click("Button1");
    EXPECT_EQ(readerDate(QStringLiteral("R001"), QStringLiteral("借阅有效期")),
              at(2026, 5, 1, 9, 0));
}

TEST_F(ReaderWindows, TheDeleteButtonIsUsableOnlyForAReaderWithoutBooks) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("未还数量"), 1}});
    addReader(QStringLiteral("R002"), {{QStringLiteral("押金"), 20.0}});
    Tfrm_SZReader screen(ctx);
    Window w(screen);
    EXPECT_FALSE(w.at<QPushButton>("Button1").isEnabled());
    EXPECT_FALSE(w.at<QGroupBox>("GroupBox1").isEnabled());
    w.typeInto("tzID", QStringLiteral("R001"));
    EXPECT_FALSE(w.at<QPushButton>("Button1").isEnabled());
    w.typeInto("tzID", QStringLiteral("R002"));
    ASSERT_TRUE(w.at<QPushButton>("Button1").isEnabled());
    EXPECT_TRUE(w.at<QPushButton>("Button1").hasFocus());
    prompter.clear();
    w.click("Button1");
    EXPECT_EQ(prompter.single(), QStringLiteral("删除读者成功!退回押金金额：20 元。"));
    EXPECT_EQ(shop.count(QStringLiteral("读者")), 1);
    EXPECT_FALSE(w.at<QPushButton>("Button1").isEnabled());
}

} // namespace
} // namespace lms::test
