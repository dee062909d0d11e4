#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "queries/FilterBuilder.h"
#include "queries/QueryDefinition.h"
#include "queries/ResultTable.h"

namespace lms {

// What the six query screens share: criteria with their check boxes, the match mode, "查询" and
// "关闭", the result grid and the totals; a screen is its definition plus its own FormShow.
class QueryScreen : public FormModel {
    Q_OBJECT
public:
    QueryScreen(const QueryDefinition& definition, ScreenContext& context,
                QObject* parent = nullptr);

    const QueryDefinition& definition() const { return definition_; }
    ResultTable& results() { return results_; }

    // "查询": builds the statement from the ticked criteria, lists the rows, writes the totals.
    void Button2Click();
    void Button1Click() { close(Result::Accepted); }

    // The statement the current criteria give (for tests and the run itself).
    Statement statement() const;

protected:
    // Every FormShow starts by unticking the criteria and emptying the value fields it names.
    void untickAll();
    void empty(const QStringList& fields);
    // Fills a drop-down from the first column of a query; a failure shows the database message.
    void fillList(const QString& field, const QString& sql);
    void setRangeToNow();
    void setRangeToToday();

    ScreenContext& ctx_;

private:
    void correctReversedRange();
    bool hasRange() const;
    void writeTotals();

    QueryDefinition definition_;
    ResultTable results_;
};

} // namespace lms
