// What a query screen says of its listing: the status line with the rows listed or still
// coming, the totals once every row is in, and the output buttons that wait for them.
#include "queries/QueryScreen.h"

#include "core/CentSum.h"
#include "core/NumberForms.h"

#include <cmath>

namespace lms {

void QueryScreen::showArrival(Arrival arrival) {
    const int rows = results_.rowCount();
    whole_ = arrival != Arrival::Arriving && arrival != Arrival::Broken;
    switch (arrival) {
    case Arrival::Arriving:
        status_->setValue(QStringLiteral("正在查询… 已列出 %1 条记录").arg(rows));
        showTotals(QStringLiteral("正在统计…"));
        break;
    case Arrival::Complete:
        status_->setValue(QStringLiteral("共 %1 条记录").arg(rows));
        writeTotals();
        break;
    case Arrival::NoneFound:
        status_->setValue(QStringLiteral("共 0 条记录"));
        break;
    case Arrival::Broken:
        // Sums of part of the rows would read as the listing's; none is shown.
        status_->setValue(QStringLiteral("查询未完成，已列出 %1 条记录").arg(rows));
        showTotals(QString());
        break;
    case Arrival::Dropped:
        status_->setValue(QString());
        showTotals(QString());
        break;
    case Arrival::Closed:
        status_->setValue(QString());
        break;
    }
    restOutputs();
    arrived(arrival);
}

void QueryScreen::showTotals(const QString& text) {
    totalsCurrent_ = false;
    for (const TotalField& total : definition_.totalFields)
        field(total.field).setValue(text);
}

void QueryScreen::restOutputs() {
    const bool usable = !busy_ && !listing_ && whole_;
    buttons_[1]->setEnabled(usable);
    buttons_[2]->setEnabled(usable);
    for (Field* own : ownOutputs_)
        own->setEnabled(usable);
}

void QueryScreen::writeTotals() {
    if (definition_.totals == QueryDefinition::Totals::None)
        return;
    totalsCurrent_ = true;
    const bool money = definition_.totals == QueryDefinition::Totals::SumAsMoney;
    for (const TotalField& total : definition_.totalFields) {
        // Summed in whole cents, so that the total is the sum of the cells as shown to the cent
        // over any number of rows; a missing value counts as 0.
        CentSum sum;
        results_.eachNumber(totalColumn(total.column),
                            [&sum, money](double value, bool wholeCents) {
                                if (std::isnan(value))
                                    return;
                                if (money && !wholeCents)
                                    sum.addShown(value);
                                else
                                    sum.add(value);
                            });
        field(total.field).setValue(money ? sum.text() : Numbers::generalForm(sum.value()));
    }
}

} // namespace lms
