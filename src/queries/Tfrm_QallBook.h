#pragma once

#include "labels/LabelPrinting.h"
#include "queries/QueryScreen.h"

namespace lms {

// "所有图书查询": the listing of all books, with their type, state and how often they were lent.
class Tfrm_QallBook : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_QallBook(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;

    // "打印标签": labels of the row the clerk chose, else of every book listed.
    void Button5Click();
    void setLabelPrinting(Labels::PrintBookLabels print) { printLabels_ = std::move(print); }

    Field& Button5 = addOutputButton(QStringLiteral("Button5"), QStringLiteral("打印标签"));

private:
    Labels::PrintBookLabels printLabels_;
};

} // namespace lms
