#include "circulation/CirculationMessages.h"

namespace lms::Circulation {

namespace {
const QString kCr = QStringLiteral("\r");
}

QString validityOverMessage() {
    return QStringLiteral("此读者的租借有效阅期已超期!不能租借图书。");
}

QString validityLeftMessage(qint64 days) {
    return QStringLiteral("此读者的有效租借期还有：") + QString::number(days) +
           QStringLiteral("天！请及时缴费充值。");
}

QString cannotBorrowInStateMessage(const QString& state) {
    return QStringLiteral("此读者的当前状态为：") + state + QStringLiteral("!不能租借图书。");
}

QString bookNotLendableMessage(const QString& id, const QString& state) {
    return QStringLiteral("图书编号为：") + id + QStringLiteral("的图书当前状态为：") + state +
           QStringLiteral(" 不能再租借！") + kCr + kCr + QStringLiteral("请输入新的图书编号。");
}

QString lendWithoutReaderMessage() {
    return QStringLiteral("请先在读者编号输入框中输入读者编号查询后，当充许借阅图书时才能借出！");
}

QString lendWithoutBookMessage() {
    return QStringLiteral("请先在图书编号输入框中输入图书编号查询后，当充许借阅时才能借出！");
}

QString negativeDepositQuestion() {
    return QStringLiteral("此读者所缴纳押金已剩余为负数，请及时缴费充值。 ") + kCr + kCr +
           QStringLiteral("您确定还让此读者继续租借图书吗？");
}

QString limitReachedQuestion(int booksOut) {
    return QStringLiteral("读者还持有 ") + QString::number(booksOut) +
           QStringLiteral(" 本图书未还，已超出此读者最多持有图书数量！") + kCr + kCr +
           QStringLiteral("您确定还让此读者继续租借图书吗？");
}

QString lentMessage() {
    return QStringLiteral("图书借出成功!");
}

QString cannotReturnInStateMessage(const QString& state) {
    return QStringLiteral("此读者的当前状态为：") + state +
           QStringLiteral("!不能租借、归还图书。") + kCr + kCr +
           QStringLiteral("请先修改读者的状态再归还图书。");
}

QString bookNotLentMessage() {
    return QStringLiteral("此图书没有借出，请查询确认。");
}

QString invalidNumberMessage() {
    return QStringLiteral("输入错误！请输入正确有效的数字。");
}

QString returnWithoutReaderMessage() {
    return QStringLiteral("请先在读者编号输入框中输入读者编号！");
}

QString returnWithoutBookMessage() {
    return QStringLiteral("请先在图书编号输入框中输入图书编号！");
}

QString noSuchLoanMessage(const QString& readerId, const QString& bookId) {
    return QStringLiteral("读者书编号为： ") + readerId + QStringLiteral(" 没有租借图书编号为： ") +
           bookId + QStringLiteral(" 的图书，请检查！");
}

QString returnedMessage() {
    return QStringLiteral("图书归还成功!");
}

QString paymentValidityOverMessage() {
    return QStringLiteral("此读者有效阅期已超期!");
}

QString cannotPayInStateMessage(const QString& state) {
    return QStringLiteral("此读者的当前状态为：") + state + QStringLiteral(" 不能进行缴费充值！") +
           kCr + kCr +
           QStringLiteral("请先通过“更改读者信息”功能来更改读者的当前状态后再缴费充值。");
}

QString invalidAmountMessage() {
    return QStringLiteral("输入错误！请输入正确的金额。");
}

QString payWithoutReaderMessage() {
    return QStringLiteral("请先在读者编号输入框中输入读者编号查询后再更改！");
}

QString invalidPaymentMessage() {
    return QStringLiteral("输入费用金额错误！请输入正确的金额。");
}

QString paidMessage() {
    return QStringLiteral("读者缴费充值成功!");
}

} // namespace lms::Circulation
