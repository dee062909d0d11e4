// A reader's statement in its real window, opened from reader maintenance's own window: the
// button waits for a looked-up reader, every field finds its widget and caption, the grid shows
// the lines with their balance, and the check's lines read as lines.
#include "app/ShopApplication.h"
#include "core/Passwords.h"
#include "core/ScreenContext.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/WidgetHost.h"
#include "queries/Tfrm_ZHMX.h"
#include "readers/ReaderStore.h"
#include "readers/Tfrm_GGReader.h"
#include "support/ModalDialogs.h"
#include "support/Moments.h"
#include "support/ShopRows.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::child;
using test::logInThrough;
using test::whenModal;

// In the whole program, a clerk who may change readers (功能7) but not list them reads a looked-up
// reader's statement from 更改读者信息; the listings stay closed to him.
TEST(StatementWindow, AClerkWhoMayChangeReadersReadsTheStatementFromThatScreenOnly) {
    test::TempProgramFolder folder;
    test::ScriptedPrompter prompter;
    test::FixedClock clock(at(2026, 3, 14, 10, 30));
    ShopApplication shop(folder.path(), prompter, clock);
    whenModal(QStringLiteral("frm_SuperUser"), [](QWidget& dialog) {
        QTest::keyClicks(&child<QLineEdit>(dialog, "UserName"), QStringLiteral("boss"));
        QTest::keyClicks(&child<QLineEdit>(dialog, "Password"), QStringLiteral("s3cret"));
        QTest::keyClicks(&child<QLineEdit>(dialog, "Password2"), QStringLiteral("s3cret"));
        QTest::mouseClick(&child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
        whenModal(QStringLiteral("frmLogin"), [](QWidget& login) {
            logInThrough(login, QStringLiteral("boss"), QStringLiteral("s3cret"));
        });
    });
    ASSERT_TRUE(shop.start());
    Query(shop.dm().db(),
          QStringLiteral("INSERT INTO 管理员 (用户名, 密码, 功能7) VALUES (?, ?, 1)"))
        .bindAll({QStringLiteral("clerk"), Passwords::hash(QStringLiteral("pw"))})
        .exec();
    ASSERT_TRUE(Readers::addReader(shop.dm(), test::newReader(QStringLiteral("R0000001")),
                                   QStringLiteral("boss"), at(2026, 3, 10, 9, 0)));
    QMainWindow& window = shop.mainWindow();
    whenModal(QStringLiteral("frmLogin"), [](QWidget& login) {
        logInThrough(login, QStringLiteral("clerk"), QStringLiteral("pw"));
    });
    child<QAction>(window, "CXLogin").trigger();
    EXPECT_FALSE(child<QAction>(window, "QallReaderMenu").isEnabled());
    EXPECT_FALSE(child<QAction>(window, "QAllMoneyMenu").isEnabled());
    ASSERT_TRUE(child<QAction>(window, "GGReaderMenu").isEnabled());

    QStringList events;
    whenModal(QStringLiteral("frm_GGReader"), [&events](QWidget& maintenance) {
        child<QLineEdit>(maintenance, "ID").setText(QStringLiteral("R0000001"));
        whenModal(QStringLiteral("frm_ZHMX"), [&events](QWidget& statement) {
            auto& grid = child<QTableView>(statement, "StringGrid1");
            for (int row = 0; row < grid.model()->rowCount(); ++row)
                events << grid.model()->index(row, 2).data().toString();
            QTest::mouseClick(&child<QPushButton>(statement, "Button1"), Qt::LeftButton);
        });
        QTest::mouseClick(&child<QPushButton>(maintenance, "Button3"), Qt::LeftButton);
        QTest::mouseClick(&child<QPushButton>(maintenance, "Button2"), Qt::LeftButton);
    });
    child<QAction>(window, "GGReaderMenu").trigger();
    EXPECT_EQ(events, QStringList{QStringLiteral("添加读者")});
    EXPECT_TRUE(prompter.boxes().empty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
}

TEST(StatementWindow, MaintenanceOpensTheLookedUpReadersStatementInItsWindow) {
    test::ShopDatabase shop;
    shop.pub = PubData::defaultSettings();
    shop.pub.CurrentUser = QStringLiteral("clerk");
    ASSERT_TRUE(Readers::addReader(*shop.dm, test::newReader(QStringLiteral("R0000001")),
                                   QStringLiteral("clerk"), at(2026, 3, 10, 9, 0)));
    // A deposit changed outside the ledger: the check names a difference.
    shop.dm->db().exec(QStringLiteral("UPDATE 读者 SET 押金 = 60"));
    test::ScriptedPrompter prompter;
    test::FixedClock clock(at(2026, 3, 14, 10, 30));
    WidgetHost host;
    ScreenContext context{*shop.dm, shop.pub, prompter, clock, host};
    Tfrm_ZHMX statement(context);
    Tfrm_GGReader maintenance(context);
    maintenance.setStatementOpening([&statement](const QString& id) { statement.showFor(id); });

    FormDialog& maintenanceDialog = host.dialogFor(maintenance);
    maintenance.FormShow();
    maintenanceDialog.show();
    auto& open = child<QPushButton>(maintenanceDialog, "Button3");
    EXPECT_EQ(open.text(), QStringLiteral("账户明细"));
    EXPECT_FALSE(open.isEnabled());
    child<QLineEdit>(maintenanceDialog, "ID").setText(QStringLiteral("R0000001"));
    ASSERT_TRUE(open.isEnabled());

    bool looked = false;
    test::whenModal(QStringLiteral("frm_ZHMX"), [&](QWidget& dialog) {
        looked = true;
        EXPECT_TRUE(host.dialogFor(statement).binder().unboundFields().isEmpty())
            << host.dialogFor(statement)
                   .binder()
                   .unboundFields()
                   .join(QLatin1Char(','))
                   .toStdString();
        for (const char* name : {"ID", "tzxm", "yj", "mxye", "ce", "Edit3"}) {
            const QString label = QString::fromLatin1(name) + QStringLiteral("Label");
            EXPECT_EQ(child<QLabel>(dialog, label.toUtf8().constData()).buddy(),
                      &child<QLineEdit>(dialog, name))
                << name;
        }
        EXPECT_EQ(child<QLineEdit>(dialog, "ID").text(), QStringLiteral("R0000001"));
        EXPECT_TRUE(child<QLineEdit>(dialog, "ID").isReadOnly());
        auto& grid = child<QTableView>(dialog, "StringGrid1");
        ASSERT_EQ(grid.model()->rowCount(), 1);
        const int last = grid.model()->columnCount() - 1;
        EXPECT_EQ(grid.model()->headerData(last, Qt::Horizontal).toString(),
                  QStringLiteral("押金余额"));
        EXPECT_EQ(grid.model()->index(0, last).data().toString(), QStringLiteral("50.00"));
        EXPECT_EQ(child<QLineEdit>(dialog, "ce").text(), QStringLiteral("10.00"));
        EXPECT_TRUE(child<QLabel>(dialog, "hdsm")
                        .text()
                        .contains(QStringLiteral("可能的原因：\n· 资金中找不到差额的来由")))
            << child<QLabel>(dialog, "hdsm").text().toStdString();
        QTest::mouseClick(&child<QPushButton>(dialog, "Button1"), Qt::LeftButton);
    });
    QTest::mouseClick(&open, Qt::LeftButton);
    EXPECT_TRUE(looked);
    EXPECT_TRUE(host.dialogFor(statement).isHidden());
    maintenanceDialog.hide();
}

} // namespace
} // namespace lms
