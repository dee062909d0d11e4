// The import preview in its real window: every field finds its widget, every caption label is
// its field's buddy, and the grid's model passes Qt's model tester while rows arrive in pieces.
#include "core/ScreenContext.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/WidgetHost.h"
#include "imports/Tfrm_DRBook.h"
#include "imports/Tfrm_DRReader.h"
#include "queries/Csv.h"
#include "support/ModalDialogs.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::child;

TEST(ImportWindow, EveryFieldHasItsWidgetAndItsCaptionLabelAsBuddy) {
    test::ShopDatabase shop;
    shop.pub = PubData::defaultSettings();
    shop.pub.AppPath = shop.folder.path();
    test::ScriptedPrompter prompter;
    test::FixedClock clock;
    WidgetHost host;
    ScreenContext context{*shop.dm, shop.pub, prompter, clock, host};
    Tfrm_DRBook books(context);
    Tfrm_DRReader readers(context);
    for (ImportScreen* screen :
         {static_cast<ImportScreen*>(&books), static_cast<ImportScreen*>(&readers)}) {
        FormDialog& dialog = host.dialogFor(*screen);
        EXPECT_TRUE(dialog.binder().unboundFields().isEmpty())
            << dialog.binder().unboundFields().join(QLatin1Char(',')).toStdString();
        for (const char* name : {"wjm", "bm", "jg", "StringGrid1"}) {
            const QString label = QString::fromUtf8(name) + QStringLiteral("Label");
            EXPECT_EQ(child<QLabel>(dialog, label.toUtf8().constData()).buddy(),
                      dialog.findChild<QWidget*>(QString::fromUtf8(name)))
                << name;
        }
        EXPECT_TRUE(child<QLineEdit>(dialog, "wjm").isReadOnly());
    }

    QString text = Csv::record(
        {QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("价格")});
    for (int i = 0; i < 700; ++i)
        text += Csv::record({QStringLiteral("B%1").arg(i), QStringLiteral("书"),
                             i % 3 ? QStringLiteral("9") : QStringLiteral("九")});
    shop.folder.writeFile(QStringLiteral("books.csv"), text.toUtf8());
    QAbstractItemModelTester tester(&books.grid(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    prompter.answerFile(shop.folder.file(QStringLiteral("books.csv")));
    test::whenModal(QStringLiteral("frm_DRBook"), [&books](QWidget& dialog) {
        auto& grid = child<QTableView>(dialog, "StringGrid1");
        // The rest of the rows were checked while the window waited for the test.
        ASSERT_TRUE(books.finishChecking());
        EXPECT_EQ(grid.model()->rowCount(), 700);
        books.CheckBox1.setValue(true);
        EXPECT_EQ(grid.model()->rowCount(), 234);
        EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QStringLiteral("拒绝"));
        books.Button2Click();
    });
    books.ImportMenuClick();
    EXPECT_EQ(books.jg.text(), QStringLiteral("共 700 行：可导入 466 行，拒绝 234 行"));
}

} // namespace
} // namespace lms
