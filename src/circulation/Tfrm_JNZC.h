#pragma once

#include "circulation/PaymentProposal.h"
#include "circulation/ReceiptSlip.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "readers/ReaderLookup.h"

#include <QDateTime>

namespace lms {

// Payments and top-up: renews a time-based reader's rental for one period of the chosen type,
// collects its rent and brings the deposit to the type's standard, in one stored payment.
class Tfrm_JNZC : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_JNZC(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void CheckisHaveReaderClick();
    void tzrxChange();
    void TzrxGb();
    void ZJChange();
    void Button2Click();
    void Button1Click();

    bool readerOk() const { return readerOk_; }
    const QString& currentReaderId() const { return currentReaderId_; }

    ReceiptSlip& receipt() { return receipt_; }

private:
    // Stores the payment with its log and ledger records in one transaction; throws DbError.
    // The rowid of its ledger record, for the receipt.
    qint64 store(double rent, double depositChange, double total, const QDateTime& now);

    ScreenContext ctx_;
    // The fields a looked-up reader is shown in.
    Readers::ReaderPanel readerPanel_;
    ReceiptSlip receipt_;
    QString currentReaderId_;
    bool readerOk_ = false;
    Circulation::PaymentBasis old_;
    // Set while the screen fills fields itself: the type's proposal and the running total wait.
    bool filling_ = false;
};

} // namespace lms
