// The query screens in their real windows: every field of the model finds its widget, the grid
// shows the rows and the match mode and totals follow the model.
#include "core/ScreenContext.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/WidgetHost.h"
#include "queries/Tfrm_CHRZ.h"
#include "queries/Tfrm_QAllRec.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/Tfrm_QallReader.h"
#include "queries/gui/MoneyWindow.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::FixedClock;
using test::ScriptedPrompter;
using test::ShopDatabase;

TEST(QueryDialogs, EveryFieldHasItsWidgetAndTheGridShowsTheRows) {
    ShopDatabase shop;
    for (int i = 0; i < 500; ++i)
        shop.dm->WriteZJ(QStringLiteral("缴费充值"), QStringLiteral("admin"),
                         at(2026, 3, 14, 8, 0).addSecs(i), 1.25f, 0, 1.25f, 0, 0, 0);
    ScriptedPrompter prompter;
    FixedClock clock(at(2026, 3, 14, 20, 0));
    WidgetHost host;
    ScreenContext context{*shop.dm, shop.pub, prompter, clock, host};
    Tfrm_QallBook books(context);
    Tfrm_QJCBook loans(context);
    Tfrm_QallReader readers(context);
    Tfrm_QallMoney money(context);
    Tfrm_QAllRec history(context);
    Tfrm_CHRZ log(context);
    for (QueryScreen* screen :
         std::initializer_list<QueryScreen*>{&books, &loans, &readers, &money, &history, &log}) {
        FormDialog& dialog = host.dialogFor(*screen);
        EXPECT_TRUE(dialog.binder().unboundFields().isEmpty())
            << screen->objectName().toStdString() << ": "
            << dialog.binder().unboundFields().join(QLatin1Char(',')).toStdString();
    }

    QAbstractItemModelTester tester(&money.results(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    FormDialog& dialog = host.dialogFor(money);
    money.FormShow();
    dialog.show();
    auto* grid = dialog.findChild<QTableView*>(QStringLiteral("StringGrid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->rowCount(), 500);
    EXPECT_EQ(grid->model()->headerData(9, Qt::Horizontal).toString(),
              QStringLiteral("破损遗失赔偿"));
    EXPECT_EQ(grid->selectionModel()->selectedRows().value(0).row(), 499);
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(),
              QStringLiteral("625.00"));
    EXPECT_TRUE(dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->isReadOnly());
    dialog.hide();

    FormDialog& booksDialog = host.dialogFor(books);
    auto radios = booksDialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    EXPECT_TRUE(radios[0]->isChecked());
    radios[1]->click();
    EXPECT_EQ(books.field(QStringLiteral("RadioGroup1")).number(), 1);
    books.field(QStringLiteral("RadioGroup1")).setValue(0);
    EXPECT_TRUE(radios[0]->isChecked());
}

// In the window the status line and the totals say what the listing is at: the rows come so far
// and "正在统计…" while they arrive, the count and the sums once all have.
TEST(QueryDialogs, TheStatusLineAndTotalsShowTheRowsArrivingAndThenAll) {
    test::MoneyWindow window(500);
    Tfrm_QallMoney& money = window.money;
    FormDialog& dialog = window.dialog;
    auto* status = dialog.findChild<QLineEdit*>(QStringLiteral("ListingStatus"));
    auto* caption = dialog.findChild<QLabel*>(QStringLiteral("ListingStatusLabel"));
    auto* grid = dialog.findChild<QTableView*>(QStringLiteral("StringGrid1"));
    ASSERT_TRUE(status && caption && grid);
    EXPECT_EQ(caption->text(), QStringLiteral("查询状态："));
    EXPECT_EQ(caption->buddy(), status);
    const auto totals = [&dialog] {
        QStringList texts;
        for (int i = 1; i <= 6; ++i)
            texts << dialog.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(i))->text();
        return texts;
    };
    dialog.show();
    int shownRows = -1;
    QString shownStatus;
    QStringList shownTotals;
    QObject::connect(&money.results(), &QAbstractItemModel::rowsInserted, &dialog, [&] {
        // Runs where the listing lets the window repaint.
        QTimer::singleShot(0, &dialog, [&] {
            if (shownRows >= 0)
                return;
            shownRows = grid->model()->rowCount();
            shownStatus = status->text();
            shownTotals = totals();
        });
    });
    dialog.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    ASSERT_GE(shownRows, QueryScreen::kFirstRows);
    EXPECT_LT(shownRows, 500);
    EXPECT_EQ(shownStatus, QStringLiteral("正在查询… 已列出 %1 条记录").arg(shownRows));
    EXPECT_EQ(shownTotals, QStringList(6, QStringLiteral("正在统计…")));
    EXPECT_EQ(status->text(), QStringLiteral("共 500 条记录"));
    EXPECT_EQ(totals(), (QStringList{QStringLiteral("625.00"), QStringLiteral("0.00"),
                                     QStringLiteral("625.00"), QStringLiteral("0.00"),
                                     QStringLiteral("0.00"), QStringLiteral("0.00")}));
    dialog.hide();
}

// Opened from the menu, a long listing's window shows with its first rows while the rest is
// still read, and a click on "关闭" then ends the listing and leaves the window closed.
TEST(QueryDialogs, ALongListingShowsItsWindowAtOnceAndClosesMidway) {
    test::MoneyWindow window(20000);
    Tfrm_QallMoney& money = window.money;
    FormDialog& dialog = window.dialog;
    int shownRows = -1;
    QObject::connect(&money.results(), &QAbstractItemModel::rowsInserted, &dialog, [&] {
        // Runs where the listing lets the window work, after the window has been revealed.
        QTimer::singleShot(0, &dialog, [&] {
            if (shownRows >= 0 || !dialog.isVisible())
                return;
            shownRows =
                dialog.findChild<QTableView*>(QStringLiteral("StringGrid1"))->model()->rowCount();
            dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        });
    });
    // Were the window shown again after closing, the test would wait here: it gives up.
    bool waitedInTheWindow = false;
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &dialog, [&] {
        waitedInTheWindow = dialog.isVisible();
        dialog.reject();
    });
    giveUp.start(5000);
    window.host.showModal(money);
    EXPECT_GE(shownRows, QueryScreen::kFirstRows);
    EXPECT_LT(shownRows, 20000);
    EXPECT_FALSE(waitedInTheWindow);
    EXPECT_TRUE(dialog.isHidden());
    EXPECT_EQ(money.results().rowCount(), 0);
}

} // namespace
} // namespace lms
