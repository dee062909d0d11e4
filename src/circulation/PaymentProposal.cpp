#include "circulation/PaymentProposal.h"

#include "core/NumberForms.h"
#include "core/pubdata.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderTerms.h"

namespace lms::Circulation {

PaymentProposal proposePayment(int typeIndex, const QString& typeText, const PaymentBasis& basis,
                               const PubData& pub, const QDateTime& now) {
    const Readers::TypeTerms terms = Readers::termsOf(typeIndex, pub);
    PaymentProposal proposal;
    const bool ownType = typeText == basis.oldType;
    proposal.maxBooks = ownType ? basis.oldMaxBooks : terms.maxBooks;
    proposal.maxDays = ownType ? basis.oldMaxDays : terms.maxDays;
    const double depositChange =
        Numbers::widened(terms.deposit) - Numbers::widened(basis.oldDeposit);
    proposal.depositChange = Numbers::generalForm(depositChange);
    proposal.periodic = typeIndex != Readers::Daily;
    if (proposal.periodic) {
        proposal.rent = Numbers::generalForm(Numbers::widened(terms.rent));
        proposal.total = Numbers::generalForm(depositChange + Numbers::widened(terms.rent));
        const QDateTime base =
            basis.oldType == Readers::types().at(Readers::Daily) ? now : basis.shownValidity;
        proposal.newValidity = Readers::periodEnd(terms, base);
    } else {
        proposal.rent = QStringLiteral("0");
        proposal.total = Numbers::generalForm(depositChange);
        proposal.newValidity = now;
    }
    return proposal;
}

} // namespace lms::Circulation
