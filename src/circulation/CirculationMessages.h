#pragma once

#include <QString>

namespace lms::Circulation {

// The refusals, warnings and questions of the lending, returning and payment screens.
QString validityOverMessage();
QString validityLeftMessage(qint64 days);
QString cannotBorrowInStateMessage(const QString& state);
QString bookNotLendableMessage(const QString& id, const QString& state);
QString lendWithoutReaderMessage();
QString lendWithoutBookMessage();
QString negativeDepositQuestion();
QString limitReachedQuestion(int booksOut);
QString lentMessage();

QString cannotReturnInStateMessage(const QString& state);
QString bookNotLentMessage();
QString invalidNumberMessage();
QString returnWithoutReaderMessage();
QString returnWithoutBookMessage();
QString noSuchLoanMessage(const QString& readerId, const QString& bookId);
QString returnedMessage();

QString paymentValidityOverMessage();
QString cannotPayInStateMessage(const QString& state);
QString invalidAmountMessage();
QString payWithoutReaderMessage();
QString invalidPaymentMessage();
QString paidMessage();

} // namespace lms::Circulation
