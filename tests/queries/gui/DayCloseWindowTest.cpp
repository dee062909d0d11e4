// The day close in its real window: every field finds its widget and its caption, the clerk's
// choice in the drop-down shows that clerk's figures, and "打印" prints a one-page slip.
#include "core/ScreenContext.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/PrintoutPrinter.h"
#include "core/widgets/WidgetHost.h"
#include "queries/Tfrm_DayClose.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

TEST(DayCloseWindow, TheClerksChoiceShowsTheirFiguresAndTheSlipPrintsOnOnePage) {
    test::ShopDatabase shop;
    shop.addUser(QStringLiteral("李四"), QStringLiteral("pw"), {23});
    shop.dm->WriteZJ(QStringLiteral("添加读者"), QStringLiteral("admin"), at(2026, 3, 14, 9, 0),
                     140, 10, 100, 30, 0, 0);
    shop.dm->WriteZJ(QStringLiteral("读者还书"), QStringLiteral("李四"), at(2026, 3, 14, 11, 0), 0,
                     0, -12.5f, 0, 12.5f, 0);
    test::ScriptedPrompter prompter;
    test::FixedClock clock(at(2026, 3, 14, 20, 0));
    WidgetHost host;
    ScreenContext context{*shop.dm, shop.pub, prompter, clock, host};
    Tfrm_DayClose close(context);
    FormDialog& dialog = host.dialogFor(close);
    EXPECT_TRUE(dialog.binder().unboundFields().isEmpty())
        << dialog.binder().unboundFields().join(QLatin1Char(',')).toStdString();
    // Each input and figure is reached by its caption.
    for (const Field* field : close.fields()) {
        if (field->kind() != FieldKind::Label && field->kind() != FieldKind::Date &&
            field->kind() != FieldKind::List)
            continue;
        auto* label = dialog.findChild<QLabel*>(field->name() + QStringLiteral("Label"));
        ASSERT_NE(label, nullptr) << field->name().toStdString();
        EXPECT_EQ(label->text(), field->caption()) << field->name().toStdString();
        EXPECT_EQ(label->buddy(), dialog.findChild<QWidget*>(field->name()))
            << field->name().toStdString();
    }

    close.FormShow();
    dialog.show();
    auto* day = dialog.findChild<QDateEdit*>(QStringLiteral("DateTimePicker1"));
    auto* clerks = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    auto* grid = dialog.findChild<QTableView*>(QStringLiteral("StringGrid1"));
    auto* total = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    auto* fromDeposits = dialog.findChild<QLineEdit*>(QStringLiteral("cyjkc"));
    ASSERT_TRUE(day && clerks && grid && total && fromDeposits);
    EXPECT_EQ(day->date(), QDate(2026, 3, 14));
    EXPECT_EQ(clerks->currentText(), QStringLiteral("全部"));
    EXPECT_EQ(grid->model()->rowCount(), 3) << "admin, 李四 and their sum";
    EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(),
              QStringLiteral("从押金中扣除"));
    EXPECT_EQ(total->text(), QStringLiteral("140.00"));
    EXPECT_TRUE(total->isReadOnly());
    EXPECT_EQ(fromDeposits->text(), QStringLiteral("12.50"));
    // A cleared ledger's summary shows, caption and all, only on a day that has one.
    EXPECT_FALSE(dialog.findChild<QWidget*>(QStringLiteral("zjhz"))->isVisible());
    EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("zjhzLabel"))->isVisible());

    clerks->setCurrentIndex(clerks->findText(QStringLiteral("李四")));
    EXPECT_EQ(close.ComboBox1.text(), QStringLiteral("李四"));
    EXPECT_EQ(total->text(), QStringLiteral("0.00"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Edit6"))->text(),
              QStringLiteral("0.00"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Edit5"))->text(),
              QStringLiteral("12.50"));
    EXPECT_EQ(grid->model()->rowCount(), 1);

    day->setDate(QDate(2026, 3, 13));
    EXPECT_EQ(close.DateTimePicker1.value().toDateTime().date(), QDate(2026, 3, 13));
    EXPECT_EQ(total->text(), QStringLiteral("0.00"));
    EXPECT_EQ(fromDeposits->text(), QStringLiteral("0.00"));

    dialog.findChild<QPushButton*>(QStringLiteral("Button3"))->click();
    ASSERT_EQ(prompter.printed().size(), 1u);
    const Printout& slip = prompter.printed().front().printout;
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    const PrintoutPrinter layout(slip);
    layout.setUp(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("close.pdf")));
    EXPECT_EQ(layout.paint(printer), 1);
    EXPECT_NEAR(printer.pageLayout().fullRect(QPageLayout::Millimeter).width(), 80, 0.5);
    EXPECT_TRUE(prompter.boxes().empty());
    dialog.hide();
}

} // namespace
} // namespace lms
