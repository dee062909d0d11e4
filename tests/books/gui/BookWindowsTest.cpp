// The book screens in their real windows: every field has its widget and caption, and a clerk
// registers, changes and deletes books by typing and clicking.
#include "books/Tfrm_GGBook.h"
#include "books/Tfrm_SCBook.h"
#include "books/Tfrm_TJBook.h"
#include "books/db/BookFixture.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "readers/gui/WindowDriver.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace lms::test {
namespace {

using BookWindows = BookScreenTest;

TEST_F(BookWindows, EveryFieldHasItsWidgetAndItsCaption) {
    Tfrm_TJBook registration(ctx);
    Tfrm_GGBook maintenance(ctx);
    Tfrm_SCBook deletion(ctx);
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

TEST_F(BookWindows, AClerkRegistersABookAndABadPriceIsCaughtWhenLeavingIt) {
    Tfrm_TJBook screen(ctx);
    Window w(screen);
    EXPECT_EQ(w.at<QComboBox>("tsrx").count(), 7);
    w.typeInto("id", QStringLiteral("B1"));
    w.typeInto("tsmz", QStringLiteral("红楼梦"));
    w.at<QComboBox>("tsrx").setCurrentIndex(2);
    w.typeInto("tsjg", QStringLiteral("abc"));
    w.at<QLineEdit>("tszz").setFocus();
    EXPECT_EQ(prompter.single(), QStringLiteral("输入错误！请输入正确有效的数字。"));
    QTest::qWait(10);
    EXPECT_TRUE(w.at<QLineEdit>("tsjg").hasFocus());
    w.typeInto("tsjg", QStringLiteral("12.5"));
    prompter.clear();
    w.click("Button1");
    EXPECT_EQ(prompter.single(), QStringLiteral("添加图书成功!"));
    EXPECT_EQ(bookColumn(QStringLiteral("B1"), QStringLiteral("图书类型")).toString(),
              QStringLiteral("历史"));
    EXPECT_EQ(bookColumn(QStringLiteral("B1"), QStringLiteral("价格")).toString(),
              QStringLiteral("12.5"));
    EXPECT_EQ(w.at<QLineEdit>("tsmz").text(), QString());
}

TEST_F(BookWindows, SwitchingToAnotherWindowDoesNotLeaveThePrice) {
    Tfrm_TJBook screen(ctx);
    Window w(screen);
    w.typeInto("tsjg", QStringLiteral("abc"));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(prompter.boxes().empty());
    w.dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.dialog));
    w.at<QComboBox>("tsrx").setFocus(Qt::TabFocusReason);
    EXPECT_EQ(prompter.single(), QStringLiteral("输入错误！请输入正确有效的数字。"));
}

TEST_F(BookWindows, OnlyABookNotLentCanBeDeleted) {
    addBook(QStringLiteral("B001"), {{QStringLiteral("当前状态"), QStringLiteral("已借出")}});
    addBook(QStringLiteral("B002"), {{QStringLiteral("当前状态"), QStringLiteral("破损遗失")}});
    Tfrm_SCBook screen(ctx);
    Window w(screen);
    EXPECT_FALSE(w.at<QGroupBox>("GroupBox2").isEnabled());
    EXPECT_FALSE(w.at<QPlainTextEdit>("tsbz").isEnabled());
    w.typeInto("tsID", QStringLiteral("B001"));
    EXPECT_FALSE(w.at<QPushButton>("Button1").isEnabled());
    w.typeInto("tsID", QStringLiteral("B002"));
    ASSERT_TRUE(w.at<QPushButton>("Button1").isEnabled());
    prompter.clear();
    w.click("Button1");
    EXPECT_EQ(prompter.single(), QStringLiteral("删除图书成功!"));
    EXPECT_EQ(shop.count(QStringLiteral("图书")), 1);
}

} // namespace
} // namespace lms::test
