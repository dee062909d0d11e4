// The circulation screens in their real windows: every field has its widget and caption, and a
// clerk lends and takes back a book with the keyboard alone, as a barcode scanner types.
#include "circulation/db/CirculationFixture.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "readers/gui/WindowDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QTableView>

namespace lms::test {
namespace {

class CirculationWindows : public CirculationTest {
protected:
    // Types as a scanner does, into whatever has the focus.
    void scan(const QString& text) {
        for (QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    void pressEnter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    QString focused() {
        QWidget* widget = QApplication::focusWidget();
        return widget ? widget->objectName() : QString();
    }
};

TEST_F(CirculationWindows, EveryFieldHasItsWidgetAndItsCaption) {
    Tfrm_TZJBook borrowing(ctx);
    Tfrm_TZHBook returning(ctx, borrowing);
    Tfrm_JNZC payment(ctx);
    for (FormModel* screen : std::initializer_list<FormModel*>{&borrowing, &returning, &payment}) {
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

TEST_F(CirculationWindows, TheRoadOfALoanFromTheKeyboardAlone) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), 10.0}});
    addBook(QStringLiteral("B001"), {{QStringLiteral("价格"), QStringLiteral("12.5")}});
    shop.pub.DamageRate = 1.0f;
    clock.set(at(2026, 3, 1, 15, 20));
    Tfrm_TZJBook borrowing(ctx);
    Tfrm_TZHBook returning(ctx, borrowing);
    {
        Window w(borrowing);
        EXPECT_EQ(focused(), QStringLiteral("tzID"));
        scan(QStringLiteral("R001"));
        pressEnter();
        EXPECT_EQ(w.at<QLineEdit>("tzxm").text(), QStringLiteral("Wang"));
        EXPECT_EQ(focused(), QStringLiteral("tsID"));
        scan(QStringLiteral("B001"));
        pressEnter();
        EXPECT_EQ(prompter.texts(), QStringList()) << "the scanner's Enter belongs to the id";
        EXPECT_EQ(focused(), QStringLiteral("Button1"));
        EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
        pressEnter();
        EXPECT_EQ(prompter.single(), QStringLiteral("图书借出成功!"));
        EXPECT_EQ(focused(), QStringLiteral("tsID"));
        EXPECT_EQ(w.at<QSpinBox>("whsn").value(), 1);
    }
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("已借出"));
    prompter.clear();
    clock.set(at(2026, 4, 2, 9, 0));
    {
        Window w(returning);
        EXPECT_EQ(focused(), QStringLiteral("tsID"));
        scan(QStringLiteral("B001"));
        pressEnter();
        EXPECT_EQ(w.at<QLineEdit>("tzID").text(), QStringLiteral("R001"));
        EXPECT_EQ(focused(), QStringLiteral("Button1"));
        EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 1)
            << "the clerk still settles the charges";
        EXPECT_EQ(w.at<QLineEdit>("cqts").text(), QStringLiteral("2"));
        EXPECT_EQ(w.at<QLineEdit>("zj").text(), QStringLiteral("1.00"));
        EXPECT_EQ(w.at<QTableView>("StringGrid1").model()->rowCount(), 1);
        // Damaged, taken from the deposit: ticked from the keyboard.
        w.at<QCheckBox>("psyx").setFocus();
        QTest::keyClick(&w.at<QCheckBox>("psyx"), Qt::Key_Space);
        w.at<QCheckBox>("cyjhz").setFocus();
        QTest::keyClick(&w.at<QCheckBox>("cyjhz"), Qt::Key_Space);
        EXPECT_EQ(w.at<QLineEdit>("zj").text(), QStringLiteral("13.50"));
        w.at<QPushButton>("Button1").setFocus();
        pressEnter();
        EXPECT_EQ(prompter.single(), QStringLiteral("图书归还成功!"));
        EXPECT_EQ(focused(), QStringLiteral("tsID"));
        EXPECT_EQ(w.at<QLineEdit>("yj").text(), QStringLiteral("-3.5"));
    }
    EXPECT_EQ(bookColumn(QStringLiteral("B001"), QStringLiteral("当前状态")).toString(),
              QStringLiteral("破损遗失"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
    EXPECT_EQ(shop.count(QStringLiteral("图书借阅历史记录")), 1);
    const QVariantMap ledger = lastRow(QStringLiteral("资金"));
    EXPECT_EQ(ledger[QStringLiteral("押金")].toDouble(), -13.5);
    EXPECT_EQ(ledger[QStringLiteral("逾期罚款")].toDouble(), 1.0);
}

TEST_F(CirculationWindows, ADoubleClickInTheLoanListBringsTheBookUp) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B002"), {{QStringLiteral("图书名称"), QStringLiteral("红楼梦")}});
    Tfrm_TZJBook borrowing(ctx);
    lendThroughScreen(borrowing, QStringLiteral("R001"), QStringLiteral("B001"));
    borrowing.field(QStringLiteral("tsID")).type(QStringLiteral("B002"));
    borrowing.Button1Click();
    Tfrm_TZHBook returning(ctx, borrowing);
    Window w(returning);
    w.typeInto("tzID", QStringLiteral("R001"));
    auto& grid = w.at<QTableView>("StringGrid1");
    ASSERT_EQ(grid.model()->rowCount(), 2);
    const QRect second = grid.visualRect(grid.model()->index(1, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(w.at<QLineEdit>("tsmz").text(), QStringLiteral("红楼梦"));
    EXPECT_TRUE(w.at<QPushButton>("Button1").isEnabled());
}

} // namespace
} // namespace lms::test
