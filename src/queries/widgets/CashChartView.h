#pragma once

#include <QChartView>

namespace lms {

class Field;
class Tfrm_QMoneyChart;
class WidgetHost;
struct CashSeries;

// Draws the cash chart screen's sums as bars of money taken in and paid out, redrawn each time
// the screen's chart field gets new sums.
class CashChartView : public QChartView {
    Q_OBJECT
public:
    CashChartView(const Field& field, QWidget* parent);

    // Puts a chart view into the placeholder of the screen's window that bears the chart
    // field's name.
    static CashChartView* attach(WidgetHost& host, Tfrm_QMoneyChart& screen);

    // The bars drawn: one set for money taken in, one for money paid out.
    QList<double> drawn(int set) const;

private:
    void draw(const CashSeries& series);
};

} // namespace lms
