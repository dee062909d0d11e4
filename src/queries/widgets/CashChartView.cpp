#include "queries/widgets/CashChartView.h"

#include "core/NumberForms.h"
#include "core/form/Field.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/WidgetHost.h"
#include "queries/Tfrm_QMoneyChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCursor>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace lms {

CashChartView::CashChartView(const Field& field, QWidget* parent) : QChartView(parent) {
    setObjectName(field.name() + QStringLiteral("View"));
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignBottom);
    chart()->setAnimationOptions(QChart::NoAnimation);
    setAccessibleName(QStringLiteral("资金统计图"));
    draw(field.value().value<CashSeries>());
    connect(&field, &Field::valueChanged, this,
            [this](const QVariant& value) { draw(value.value<CashSeries>()); });
}

CashChartView* CashChartView::attach(WidgetHost& host, Tfrm_QMoneyChart& screen) {
    const Field& field = screen.Chart1;
    FormDialog& dialog = host.dialogFor(screen);
    auto* place = dialog.findChild<QWidget*>(field.name());
    if (!place)
        qFatal("the cash chart's layout has no place for the chart");
    auto* layout = new QVBoxLayout(place);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new CashChartView(field, place);
    layout->addWidget(view);
    return view;
}

QList<double> CashChartView::drawn(int set) const {
    QList<double> values;
    const QList<QAbstractSeries*> all = chart()->series();
    if (all.isEmpty())
        return values;
    const QList<QBarSet*> sets = static_cast<QBarSeries*>(all.first())->barSets();
    if (set < 0 || set >= sets.size())
        return values;
    for (int i = 0; i < sets[set]->count(); ++i)
        values << sets[set]->at(i);
    return values;
}

void CashChartView::draw(const CashSeries& series) {
    QChart& c = *chart();
    c.removeAllSeries();
    for (QAbstractAxis* axis : c.axes()) {
        c.removeAxis(axis);
        delete axis;
    }
    c.setTitle(series.title);
    if (series.labels.isEmpty())
        return;

    auto* takenIn = new QBarSet(QStringLiteral("收入"));
    takenIn->setColor(QColor(46, 139, 87));
    auto* paidOut = new QBarSet(QStringLiteral("支出"));
    paidOut->setColor(QColor(205, 92, 72));
    double highest = 0;
    for (qsizetype i = 0; i < series.labels.size(); ++i) {
        takenIn->append(series.takenIn.value(i));
        paidOut->append(series.paidOut.value(i));
        highest = std::max({highest, series.takenIn.value(i), series.paidOut.value(i)});
    }
    auto* bars = new QBarSeries;
    bars->append(takenIn);
    bars->append(paidOut);
    // Each bar tells its amount when the pointer rests on it.
    connect(bars, &QBarSeries::hovered, this,
            [labels = series.labels](bool on, int index, QBarSet* set) {
                if (on)
                    QToolTip::showText(QCursor::pos(), labels.value(index) + QLatin1Char(' ') +
                                                           set->label() + QStringLiteral("：") +
                                                           Numbers::twoDecimalForm(set->at(index)));
                else
                    QToolTip::hideText();
            });
    c.addSeries(bars);

    auto* categories = new QBarCategoryAxis;
    categories->append(series.labels);
    // Thirty-one days must fit under the bars without being shortened.
    QFont small = categories->labelsFont();
    small.setPointSizeF(series.labels.size() > 12 ? 7 : small.pointSizeF());
    categories->setLabelsFont(small);
    c.addAxis(categories, Qt::AlignBottom);
    bars->attachAxis(categories);
    auto* amounts = new QValueAxis;
    amounts->setRange(0, highest > 0 ? highest : 1);
    amounts->applyNiceNumbers();
    amounts->setLabelFormat(highest >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
    amounts->setTitleText(QStringLiteral("元"));
    c.addAxis(amounts, Qt::AlignLeft);
    bars->attachAxis(amounts);
}

} // namespace lms
