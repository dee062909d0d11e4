#pragma once

#include <QDateTime>
#include <QString>

namespace lms {
struct PubData;
}

namespace lms::Circulation {

// The reader as the payment screen read it: what a proposal starts from.
struct PaymentBasis {
    QString oldType;
    float oldDeposit = 0;
    int oldMaxBooks = 0;
    int oldMaxDays = 0;
    QDateTime shownValidity; // the old validity with the idle-time extension
};

// What one period of a reader type costs a reader and what it gives: the limits, the amounts in
// the general form and the validity it runs to.
struct PaymentProposal {
    int maxBooks = 0;
    int maxDays = 0;
    QString depositChange; // the type's deposit minus the reader's, negative for a refund
    QString rent;          // "0" for "按日租借"
    QString total;
    bool periodic = true; // false for "按日租借": no rent and no validity to renew
    QDateTime newValidity;
};

// The payment for the type with this list index: a reader keeps his own limits in his own type;
// a renewal runs on from the end of the old validity (from now for a former pay-per-day reader).
PaymentProposal proposePayment(int typeIndex, const QString& typeText, const PaymentBasis& basis,
                               const PubData& pub, const QDateTime& now);

} // namespace lms::Circulation
