#pragma once

#include "labels/LabelPrinting.h"
#include "queries/QueryScreen.h"

namespace lms {

// "读者查询统计": the listing of the readers, with the sum of their deposits and loans.
class Tfrm_QallReader : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_QallReader(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;

    // "打印读者证": the card of the reader the clerk chose, else of every reader listed.
    void Button5Click();
    void setCardPrinting(Labels::PrintReaderCards print) { printCards_ = std::move(print); }
    // "账户明细": the statement of the reader selected in the grid.
    void Button6Click();
    void setStatementOpening(std::function<void(const QString& readerId)> open) {
        openStatement_ = std::move(open);
    }

    Field& Button5 = addOutputButton(QStringLiteral("Button5"), QStringLiteral("打印读者证"));
    Field& Button6 = addOutputButton(QStringLiteral("Button6"), QStringLiteral("账户明细"));

private:
    Labels::PrintReaderCards printCards_;
    std::function<void(const QString& readerId)> openStatement_;
};

} // namespace lms
