#include "circulation/ReceiptSlip.h"

#include "core/form/Field.h"
#include "reports/ReceiptPrinting.h"

namespace lms {

const QString ReceiptSlip::kButton = QStringLiteral("ReceiptButton");
const QString ReceiptSlip::kCaption = QStringLiteral("打印凭条");

void ReceiptSlip::attach(Field& button) {
    button_ = &button;
    button_->setEnabled(!source_.isEmpty());
}

void ReceiptSlip::clear() {
    keep(ReceiptSource(), QString());
}

void ReceiptSlip::addLoan(const QString& readerId, qint64 loanRow, qint64 logRow) {
    QList<qint64> rows;
    if (source_.kind == ReceiptSource::Kind::Loan && reader_ == readerId)
        rows = source_.loanRows;
    rows << loanRow;
    keep(ReceiptSource::loan(rows, logRow), readerId);
}

void ReceiptSlip::keep(const ReceiptSource& source, const QString& readerId) {
    source_ = source;
    reader_ = readerId;
    if (button_)
        button_->setEnabled(!source_.isEmpty());
}

void ReceiptSlip::lookingUp(const QString& readerId) {
    if (!source_.isEmpty() && readerId != reader_)
        clear();
}

void ReceiptSlip::print() {
    ReceiptPrinting::print(context_, source_);
}

} // namespace lms
