// A day at the desk with the scanner's keys only: each id comes as its characters and an Enter,
// every box is the program's real one and is answered with Enter, and every next scan must land
// in the field it belongs to.
#include "circulation/db/CirculationFixture.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/WidgetHost.h"
#include "core/widgets/WidgetPrompter.h"
#include "readers/Tfrm_TJReader.h"
#include "readers/gui/WindowDriver.h"
#include "support/BoxAnswerer.h"

#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>

namespace lms::test {
namespace {

class ScannerDesk : public CirculationTest {
protected:
    ScannerDesk() {
        addReader(QStringLiteral("R001"));
        addReader(QStringLiteral("R002"), {{QStringLiteral("押金"), 40.0}});
        addBook(QStringLiteral("B001"));
        addBook(QStringLiteral("B002"), {{QStringLiteral("当前状态"), QStringLiteral("已借出")}});
        addBook(QStringLiteral("B003"));
    }

    // An id as the scanner sends it into whatever has the focus: its characters, then Enter,
    // unless a box the id raised took that Enter.
    void scan(const QString& id) {
        const std::size_t before = boxes.seen().size();
        for (QChar c : id)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        if (boxes.seen().size() == before)
            pressEnter();
        // The window a box belonged to takes the keyboard back.
        QApplication::processEvents();
    }
    void pressEnter() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
    }
    // The field with the focus and its selected text, as "name:selection".
    static QString focus() {
        QWidget* widget = QApplication::focusWidget();
        if (!widget)
            return {};
        auto* edit = qobject_cast<QLineEdit*>(widget);
        return widget->objectName() + QLatin1Char(':') + (edit ? edit->selectedText() : QString());
    }

    BoxAnswerer boxes;
    WidgetPrompter widgets;
    WidgetHost windows;
    ScreenContext desk{*shop.dm, shop.pub, widgets, clock, windows};
};

TEST_F(ScannerDesk, RefusedIdsAreSelectedForTheNextScanAndEnterLendsOnlyWhenPressed) {
    Tfrm_TZJBook borrowing(desk);
    Window w(borrowing);
    scan(QStringLiteral("R001"));
    EXPECT_EQ(focus(), QStringLiteral("tsID:"));
    scan(QStringLiteral("B002"));
    EXPECT_EQ(boxes.texts(),
              QStringList{QStringLiteral("图书编号为：B002的图书当前状态为：已借出 不能再租借！\n\n"
                                         "请输入新的图书编号。")});
    EXPECT_EQ(focus(), QStringLiteral("tsID:B002")) << "the next scan replaces the refused id";
    scan(QStringLiteral("B001"));
    EXPECT_EQ(focus(), QStringLiteral("Button1:"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0) << "the scanner's Enter lends nothing";
    EXPECT_FALSE(w.at<QPushButton>("ReceiptButton").isEnabled());
    boxes.clear();
    pressEnter();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("图书借出成功!")});
    EXPECT_EQ(focus(), QStringLiteral("tsID:"));
    EXPECT_EQ(w.at<QSpinBox>("tszjcs").value(), 0) << "no count of the lent book stays";
    EXPECT_TRUE(w.at<QPushButton>("ReceiptButton").isEnabled());

    // Another reader: the receipt on the button is no longer one of what is on screen, and an
    // unknown reader leaves none of R002's figures.
    w.at<QLineEdit>("tzID").setFocus(Qt::TabFocusReason);
    scan(QStringLiteral("R002"));
    EXPECT_FALSE(w.at<QPushButton>("ReceiptButton").isEnabled());
    EXPECT_EQ(w.at<QLineEdit>("yj").text(), QStringLiteral("40"));
    w.at<QLineEdit>("tzID").setFocus(Qt::TabFocusReason);
    scan(QStringLiteral("R999"));
    EXPECT_EQ(focus(), QStringLiteral("tzID:"));
    EXPECT_EQ(w.at<QLineEdit>("yj").text(), QString());
    EXPECT_EQ(w.at<QSpinBox>("whsn").value(), 0);
}

TEST_F(ScannerDesk, EnterNeverSaysYesToLendingPastTheLimit) {
    addReader(QStringLiteral("R003"),
              {{QStringLiteral("最多持有图书数量"), 1}, {QStringLiteral("未还数量"), 1}});
    Tfrm_TZJBook borrowing(desk);
    Window w(borrowing);
    scan(QStringLiteral("R003"));
    scan(QStringLiteral("B001"));
    pressEnter();
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].defaultButton, QStringLiteral("否"));
    EXPECT_EQ(boxes.seen()[0].answer, QStringLiteral("否"));
    EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0);
    EXPECT_EQ(focus(), QStringLiteral("Button1:")) << "the clerk may still choose to lend";
}

TEST_F(ScannerDesk, AReturnLeavesNoChargesOfTheBookItTookBack) {
    addReader(QStringLiteral("R006"), {{QStringLiteral("未还数量"), 1}});
    addLoan(shop.dm->db(), QStringLiteral("B002"), QStringLiteral("R006"));
    Tfrm_TZJBook borrowing(desk);
    Tfrm_TZHBook returning(desk, borrowing);
    Window w(returning);
    scan(QStringLiteral("B003"));
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("此图书没有借出，请查询确认。")});
    EXPECT_EQ(focus(), QStringLiteral("tsID:B003")) << "a book again, not a reader";
    scan(QStringLiteral("B002"));
    EXPECT_EQ(focus(), QStringLiteral("Button1:"));
    EXPECT_EQ(w.at<QLineEdit>("cqts").text(), QStringLiteral("11"));
    EXPECT_EQ(w.at<QLineEdit>("zj").text(), QStringLiteral("5.50"));
    boxes.clear();
    pressEnter();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("图书归还成功!")});
    EXPECT_EQ(focus(), QStringLiteral("tsID:"));
    EXPECT_EQ(w.at<QLineEdit>("cqts").text(), QStringLiteral("0"));
    EXPECT_EQ(w.at<QLineEdit>("cqfh").text(), QStringLiteral("0"));
    EXPECT_EQ(w.at<QLineEdit>("pspz").text(), QStringLiteral("0"));
    EXPECT_EQ(w.at<QLineEdit>("zj").text(), QStringLiteral("0.00"));
    EXPECT_TRUE(w.at<QPushButton>("ReceiptButton").isEnabled());
}

TEST_F(ScannerDesk, ABoxOfTheLendingWindowKeptOnTopShowsAboveItWithTheKeyboard) {
    addReader(QStringLiteral("R004"),
              {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 1, 9, 0))},
               {QStringLiteral("未还数量"), 1}});
    addLoan(shop.dm->db(), QStringLiteral("B002"), QStringLiteral("R004"));
    Tfrm_TZJBook borrowing(desk);
    Tfrm_TZHBook returning(desk, borrowing);
    {
        Window w(returning);
        scan(QStringLiteral("B002"));
        boxes.clear();
        w.at<QPushButton>("Button3").setFocus();
        pressEnter();
    }
    ASSERT_EQ(boxes.seen().size(), 1u);
    const BoxAnswerer::Seen& box = boxes.seen()[0];
    EXPECT_EQ(box.text, QStringLiteral("此读者的租借有效阅期已超期!不能租借图书。"));
    EXPECT_TRUE(box.active);
    EXPECT_TRUE(box.onTop);
    EXPECT_EQ(box.parent, &windows.dialogFor(borrowing));
    EXPECT_EQ(focus(), QStringLiteral("tzID:R004"));
    windows.dialogFor(borrowing).close();
}

TEST_F(ScannerDesk, ARegistrationRefusesAKnownIdSelectedAndEnterAddsTheReader) {
    Tfrm_TJReader registration(desk);
    Window w(registration);
    scan(QStringLiteral("R001"));
    EXPECT_EQ(boxes.texts().size(), 1);
    EXPECT_EQ(focus(), QStringLiteral("ID:R001"));
    scan(QStringLiteral("R005"));
    EXPECT_EQ(focus(), QStringLiteral("xm:"));
    w.typeInto("xm", QStringLiteral("Li"));
    boxes.clear();
    w.at<QPushButton>("Button1").setFocus();
    pressEnter();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("添加读者成功!")});
    EXPECT_EQ(readerColumn(QStringLiteral("R005"), QStringLiteral("读者姓名")).toString(),
              QStringLiteral("Li"));
    EXPECT_EQ(focus(), QStringLiteral("ID:"));
}

TEST_F(ScannerDesk, APaymentLeavesNoneOfItsFiguresForTheNextReader) {
    Tfrm_JNZC payment(desk);
    Window w(payment);
    scan(QStringLiteral("R002"));
    EXPECT_EQ(w.at<QLineEdit>("yj").text(), QStringLiteral("40"));
    w.at<QPushButton>("Button2").setFocus();
    pressEnter();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("读者缴费充值成功!")});
    EXPECT_EQ(w.at<QLineEdit>("yj").text(), QString());
    EXPECT_EQ(w.at<QLineEdit>("fyzj").text(), QString());
    EXPECT_TRUE(w.at<QPushButton>("ReceiptButton").isEnabled());
    scan(QStringLiteral("R001"));
    EXPECT_FALSE(w.at<QPushButton>("ReceiptButton").isEnabled());
}

} // namespace
} // namespace lms::test
