// The additions in real windows: the page plan of printed listings and slips, the print preview
// and save dialog the program shows, the cash chart's bars, and an export that keeps its window
// painting its progress.
#include "core/ScreenContext.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/PrintoutPrinter.h"
#include "core/widgets/WidgetHost.h"
#include "core/widgets/WidgetPrompter.h"
#include "queries/Tfrm_QMoneyChart.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/gui/MoneyWindow.h"
#include "queries/widgets/CashChartView.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;
using test::FixedClock;
using test::ScriptedPrompter;
using test::ShopDatabase;

using Page = PrintoutPrinter::Page;

struct PlanCase {
    int rows, firstRoom, otherRoom, closingRoom;
    std::vector<Page> pages;
};

TEST(PrintoutPlan, RowsFillPagesAndTheClosingLinesFollowTheLastRow) {
    const PlanCase cases[] = {
        {0, 30, 40, 2, {{true, 0, 0, true}}},
        {10, 30, 40, 2, {{true, 0, 10, true}}},
        {28, 30, 40, 2, {{true, 0, 28, true}}},
        // The totals do not fit under the last row: they get a page of their own.
        {29, 30, 40, 2, {{true, 0, 29, false}, {false, 29, 0, true}}},
        {30, 30, 40, 0, {{true, 0, 30, true}}},
        {100, 30, 40, 2, {{true, 0, 30, false}, {false, 30, 40, false}, {false, 70, 30, true}}},
        // A first page with no room for rows still carries the title.
        {5, 0, 40, 1, {{true, 0, 0, false}, {false, 0, 5, true}}},
    };
    for (const PlanCase& c : cases) {
        EXPECT_EQ(PrintoutPrinter::plan(c.rows, c.firstRoom, c.otherRoom, c.closingRoom), c.pages)
            << c.rows << " rows";
    }
}

Printout listing(int rows) {
    Printout p;
    p.title = QStringLiteral("资金查询统计");
    p.headLines << QStringLiteral("查询条件：全部记录") << QStringLiteral("共 %1 条记录").arg(rows);
    p.columns << QStringLiteral("序号") << QStringLiteral("操作事件") << QStringLiteral("金额总计");
    p.rightAligned << true << false << true;
    p.rowCount = rows;
    p.cell = [](int row, int column) {
        return column == 0   ? QString::number(row + 1)
               : column == 1 ? QStringLiteral("读者还书")
                             : QStringLiteral("1.50");
    };
    p.lines = {{QStringLiteral("结果统计(元)："), QString()},
               {QStringLiteral("资金总计："), QStringLiteral("%1.00").arg(rows)}};
    return p;
}

int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = file.readAll();
    // Each page object names its type on a line of its own.
    return static_cast<int>(pdf.count("/Type /Page\n"));
}

TEST(PrintoutPrinter, ALongListingBreaksIntoPagesAndEveryPageIsPainted) {
    QTemporaryDir dir;
    for (const int rows : {0, 20, 400}) {
        const Printout p = listing(rows);
        QPrinter printer(QPrinter::HighResolution);
        const PrintoutPrinter layout(p);
        layout.setUp(printer);
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = dir.filePath(QStringLiteral("%1.pdf").arg(rows));
        printer.setOutputFileName(path);
        const int pages = layout.paint(printer);
        EXPECT_EQ(pdfPages(path), pages) << rows;
        if (rows <= 20)
            EXPECT_EQ(pages, 1);
        else
            EXPECT_GT(pages, 5) << "400 rows do not fit on a few A4 pages";
    }
    // Many columns lie across the page.
    Printout wide = listing(3);
    for (int c = 0; c < 10; ++c) {
        wide.columns << QStringLiteral("列%1").arg(c);
        wide.rightAligned << false;
    }
    QPrinter printer(QPrinter::HighResolution);
    PrintoutPrinter(wide).setUp(printer);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

TEST(PrintoutPrinter, ASlipIsOnePageAsLongAsItsLines) {
    Printout slip;
    slip.paper = Printout::Paper::Slip;
    slip.title = QStringLiteral("还书凭条");
    slip.headLines << QStringLiteral("图书租借管理系统");
    double lastHeight = 0;
    for (const int lines : {3, 40}) {
        slip.lines.clear();
        for (int i = 0; i < lines; ++i)
            slip.lines.push_back({QStringLiteral("图书名称："),
                                  QStringLiteral("一个很长很长的书名，").repeated(i % 3 + 1)});
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        const PrintoutPrinter layout(slip);
        layout.setUp(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("slip.pdf")));
        const QSizeF size = printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
        EXPECT_NEAR(size.width(), 80, 0.5);
        EXPECT_GT(size.height(), lastHeight);
        lastHeight = size.height();
        EXPECT_EQ(layout.paint(printer), 1);
        EXPECT_EQ(pdfPages(dir.filePath(QStringLiteral("slip.pdf"))), 1);
    }
    EXPECT_GT(lastHeight, 150) << "forty lines make a long slip";
}

// Runs `act` on the first modal window of type T that comes up.
template <typename T> void whenModal(std::function<void(T&)> act) {
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(*modal);
        } else if (started->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the dialog did not show";
            if (QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
        }
    });
    timer->start(20);
}

TEST(ProgramPrompter, ThePreviewShowsTheDocumentAndTheSaveDialogAddsTheExtension) {
    WidgetPrompter prompter;
    QString title;
    whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    prompter.printPreview(listing(50));
    EXPECT_EQ(title, QStringLiteral("资金查询统计 - 打印预览"));

    QTemporaryDir dir;
    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        dialog.setDirectory(dir.path());
        // Typed as the clerk types it, without the extension.
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("今天的 资金"));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    EXPECT_EQ(prompter
                  .saveFile(QStringLiteral("导出"), QStringLiteral("CSV 文件|*.csv"),
                            QStringLiteral("资金.csv"))
                  .value_or(QString())
                  .toStdString(),
              dir.filePath(QStringLiteral("今天的 资金.csv")).toStdString());

    whenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(prompter.saveFile(QStringLiteral("导出"), QStringLiteral("CSV 文件|*.csv"),
                                QStringLiteral("资金.csv")),
              std::nullopt);
}

TEST(CashChartWindow, TheBarsAreTheSumsAndFollowTheChoice) {
    ShopDatabase shop;
    shop.dm->WriteZJ(QStringLiteral("缴费充值"), QStringLiteral("admin"), at(2026, 3, 3, 9, 0), 40,
                     0, 10, 30, 0, 0);
    shop.dm->WriteZJ(QStringLiteral("删除读者退回押金"), QStringLiteral("admin"),
                     at(2026, 3, 3, 11, 0), -100, 0, -100, 0, 0, 0);
    ScriptedPrompter prompter;
    FixedClock clock(at(2026, 3, 14, 20, 0));
    WidgetHost host;
    ScreenContext context{*shop.dm, shop.pub, prompter, clock, host};
    Tfrm_QMoneyChart chart(context);
    CashChartView* view = CashChartView::attach(host, chart);
    FormDialog& dialog = host.dialogFor(chart);
    EXPECT_TRUE(dialog.binder().unboundFields().isEmpty())
        << dialog.binder().unboundFields().join(QLatin1Char(',')).toStdString();
    chart.FormShow();
    dialog.show();
    QList<double> in(31, 0.0);
    QList<double> out(31, 0.0);
    in[2] = 40;
    out[2] = 100;
    EXPECT_EQ(view->drawn(0), in);
    EXPECT_EQ(view->drawn(1), out);
    EXPECT_EQ(view->chart()->title(), QStringLiteral("2026年3月 每日收支"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Edit3"))->text(),
              QStringLiteral("-60.00"));

    chart.field(QStringLiteral("RadioGroup1")).setValue(1);
    EXPECT_EQ(view->drawn(0).size(), 12);
    EXPECT_EQ(view->drawn(0)[2], 40.0);
    EXPECT_FALSE(dialog.findChild<QWidget*>(QStringLiteral("SpinEdit2"))->isEnabled());
    EXPECT_TRUE(prompter.boxes().empty());
    dialog.hide();
}

TEST(ExportWindow, TheProgressBarShowsWhileALongListingIsWritten) {
    test::MoneyWindow window(30000);
    Tfrm_QallMoney& money = window.money;
    FormDialog& dialog = window.dialog;
    ScriptedPrompter& prompter = window.prompter;
    money.FormShow();
    dialog.show();
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    auto* exportButton = dialog.findChild<QPushButton*>(QStringLiteral("Button3"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(exportButton->text(), QStringLiteral("导出"));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("Button4"))->text(),
              QStringLiteral("打印"));
    EXPECT_FALSE(bar->isVisible());

    int seenWorking = 0;
    QObject::connect(&money.field(QStringLiteral("ProgressBar1")), &Field::valueChanged, bar,
                     [&](const QVariant& v) {
                         if (v.toInt() > 0 && v.toInt() < 30000 && bar->isVisible() &&
                             !exportButton->isEnabled() && bar->maximum() == 30000)
                             ++seenWorking;
                     });
    QTemporaryDir dir;
    prompter.answerSaveFile(dir.filePath(QStringLiteral("资金.csv")));
    exportButton->click();
    EXPECT_GT(seenWorking, 0) << "the bar showed how far the export had come";
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(exportButton->isEnabled());
    EXPECT_EQ(prompter.single(), QStringLiteral("已导出 30000 条记录到文件：") + QChar(13) +
                                     dir.filePath(QStringLiteral("资金.csv")));
    dialog.hide();
}

} // namespace
} // namespace lms
