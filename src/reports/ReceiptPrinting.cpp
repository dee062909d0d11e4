#include "reports/ReceiptPrinting.h"

#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Prompter.h"
#include "reports/Receipt.h"

namespace lms::ReceiptPrinting {

void print(ScreenContext& context, const ReceiptSource& source) {
    Database& db = context.dm.db();
    Receipt receipt;
    try {
        switch (source.kind) {
        case ReceiptSource::Kind::None:
            context.prompter.information(QStringLiteral("没有可打印的凭条!"));
            return;
        case ReceiptSource::Kind::Loan:
            receipt = Receipts::loan(db, source.loanRows, source.logRow);
            break;
        case ReceiptSource::Kind::Return:
            receipt = Receipts::giveBack(db, source.ledgerRow, source.historyRow);
            break;
        case ReceiptSource::Kind::Payment:
            receipt = Receipts::payment(db, source.ledgerRow, source.readerId);
            break;
        }
    } catch (const DbError&) {
        context.prompter.error(Messages::databaseError());
        return;
    } catch (const Receipts::Missing&) {
        context.prompter.error(QStringLiteral("凭条所依据的记录已不存在，无法打印凭条!"));
        return;
    }
    context.prompter.printPreview(Receipts::printout(receipt, RegionalFormats()));
}

} // namespace lms::ReceiptPrinting
