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

    Field& Button5 = addOutputButton(QStringLiteral("Button5"), QStringLiteral("打印读者证"));

private:
    Labels::PrintReaderCards printCards_;
};

} // namespace lms
