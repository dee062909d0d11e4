// "催还与到期" in its real window and in the main window: the layout binds every field, the choice
// of list changes the grid's columns, and after a login the status bar says whom to call.
#include "core/DateRules.h"
#include "core/ScreenContext.h"
#include "core/screens/Tfrm_Main.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/MainWindow.h"
#include "core/widgets/WidgetHost.h"
#include "queries/QueryScreens.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

TEST(CallListWindow, TheChoiceSwitchesTheListAndTheStatusBarCountsIt) {
    test::ShopDatabase shop;
    shop.pub.ExpiryReminderDays = 3;
    shop.pub.OverdueFinePerDay = 0.5f;
    test::addReader(shop.dm->db(), QStringLiteral("R1"),
                    {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 3, 15, 9, 0))},
                     {QStringLiteral("未还数量"), 1}});
    test::addLoan(shop.dm->db(), QStringLiteral("B1"), QStringLiteral("R1"),
                  {{QStringLiteral("借出日期"), Dates::toStorage(at(2026, 2, 1, 9, 0))},
                   {QStringLiteral("最晚归还日期"), Dates::toStorage(at(2026, 3, 3, 9, 0))}});
    test::ScriptedPrompter prompter;
    test::FixedClock clock(at(2026, 3, 14, 10, 0));
    WidgetHost host;
    ScreenContext context{*shop.dm, shop.pub, prompter, clock, host};
    Tfrm_Main main(*shop.dm, prompter, clock, host);
    QueryScreens queries(context, main);
    MainWindow window(main);

    main.setFlagEnabled(20, true);
    main.CXLoginClick();
    auto* notice = window.window().findChild<QLabel*>(QStringLiteral("StatusPanel5"));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), QStringLiteral("今日：超期未还 1 本，即将到期读者 1 人"));
    auto* item = window.window().findChild<QAction*>(QStringLiteral("QCallListMenu"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(item->text(), QStringLiteral("催还与到期"));

    Tfrm_QCallList& screen = queries.QCallList;
    FormDialog& dialog = host.dialogFor(screen);
    EXPECT_TRUE(dialog.binder().unboundFields().isEmpty())
        << dialog.binder().unboundFields().join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("ListingStatusLabel"))->buddy(),
              dialog.findChild<QLineEdit*>(QStringLiteral("ListingStatus")));
    screen.FormShow();
    dialog.show();
    auto* grid = dialog.findChild<QTableView*>(QStringLiteral("StringGrid1"));
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->model()->headerData(9, Qt::Horizontal).toString(),
              QStringLiteral("超期罚款(元)"));
    EXPECT_EQ(grid->model()->index(0, 9).data().toString(), QStringLiteral("5.5"));

    auto radios = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    EXPECT_TRUE(radios[0]->isChecked());
    radios[1]->click();
    EXPECT_EQ(grid->model()->headerData(5, Qt::Horizontal).toString(),
              QStringLiteral("租借有效期"));
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->model()->index(0, 6).data().toString(), QStringLiteral("1"));
    EXPECT_TRUE(prompter.boxes().empty());
    dialog.hide();
}

} // namespace
} // namespace lms
