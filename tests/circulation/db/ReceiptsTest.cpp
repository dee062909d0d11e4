// "打印凭条" after a loan, a return and a payment: usable only once something was stored, and
// printed from the stored rows, so its figures are the ledger's.
#include "circulation/ReceiptSlip.h"
#include "circulation/db/CirculationFixture.h"
#include "core/NumberForms.h"

namespace lms::test {
namespace {

class Receipts : public CirculationTest {
protected:
    Receipts() {
        shop.pub.ExpiryReminderDays = 0;
        prompter.answer(true);
        prompter.answer(true);
    }
    // The printed slip's lines, "label value" each.
    QStringList printedLines() {
        QStringList lines;
        if (prompter.printed().empty())
            return lines;
        for (const PrintoutLine& line : prompter.printed().back().printout.lines)
            lines << line.label + line.value;
        return lines;
    }
    bool receiptButton(FormModel& screen) { return screen.field(ReceiptSlip::kButton).isEnabled(); }

    Tfrm_TZJBook borrowing{ctx};
    Tfrm_TZHBook returning{ctx, borrowing};
    Tfrm_JNZC payment{ctx};
};

TEST_F(Receipts, ALoanReceiptListsTheReadersBooksAsStored) {
    addReader(QStringLiteral("R001"));
    addBook(QStringLiteral("B001"));
    addBook(QStringLiteral("B002"), {{QStringLiteral("图书名称"), QStringLiteral("水浒传")}});
    borrowing.FormShow();
    EXPECT_FALSE(receiptButton(borrowing));
    clock.set(at(2026, 3, 1, 15, 20));
    lendThroughScreen(borrowing, QStringLiteral("R001"), QStringLiteral("B001"));
    ASSERT_TRUE(receiptButton(borrowing));
    // The same reader's next book goes onto the same receipt (the screen keeps the reader).
    borrowing.field(QStringLiteral("tsID")).type(QStringLiteral("B002"));
    borrowing.Button1Click();
    borrowing.run(ReceiptSlip::kButton + QStringLiteral("Click"));
    const QStringList lines = printedLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("图书编号：B001")));
    EXPECT_TRUE(lines.contains(QStringLiteral("图书编号：B002")));
    EXPECT_TRUE(lines.contains(QStringLiteral("读者编号：R001")));
    EXPECT_TRUE(lines.contains(QStringLiteral("操作员：clerk"))) << lines.join('|').toStdString();

    borrowing.FormShow();
    EXPECT_FALSE(receiptButton(borrowing)) << "a new showing has nothing to print";
}

TEST_F(Receipts, AReturnReceiptShowsTheLedgerRecordsAmounts) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), 10.0}});
    addBook(QStringLiteral("B001"));
    clock.set(at(2026, 3, 1, 15, 20));
    lendThroughScreen(borrowing, QStringLiteral("R001"), QStringLiteral("B001"));
    prompter.clear();
    clock.set(at(2026, 4, 2, 9, 0));
    bringBack(returning, QStringLiteral("B001"));
    EXPECT_FALSE(receiptButton(returning));
    returning.field(QStringLiteral("psyx")).setValue(true);
    returning.field(QStringLiteral("cyjhz")).setValue(true);
    returning.Button1Click();
    ASSERT_TRUE(receiptButton(returning));
    const QVariantMap ledger = lastRow(QStringLiteral("资金"));
    returning.run(ReceiptSlip::kButton + QStringLiteral("Click"));
    const QStringList lines = printedLines();
    EXPECT_TRUE(
        lines.contains(QStringLiteral("金额总计(元)：") +
                       Numbers::twoDecimalForm(ledger[QStringLiteral("金额总计")].toDouble())))
        << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("押金增减(元)：") +
                               Numbers::twoDecimalForm(ledger[QStringLiteral("押金")].toDouble())))
        << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("图书编号：B001")));
}

TEST_F(Receipts, APaymentReceiptShowsWhatWasPaid) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), 80.0}});
    payment.FormShow();
    payment.field(QStringLiteral("ID")).type(QStringLiteral("R001"));
    payment.Button2Click();
    ASSERT_TRUE(receiptButton(payment));
    payment.run(ReceiptSlip::kButton + QStringLiteral("Click"));
    const QVariantMap ledger = lastRow(QStringLiteral("资金"));
    const QStringList lines = printedLines();
    EXPECT_TRUE(
        lines.contains(QStringLiteral("金额总计(元)：") +
                       Numbers::twoDecimalForm(ledger[QStringLiteral("金额总计")].toDouble())))
        << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("读者编号：R001")));
}

} // namespace
} // namespace lms::test
