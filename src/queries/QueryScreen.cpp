#include "queries/QueryScreen.h"

#include "core/Database.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "queries/ListingPrintout.h"

#include <QScopeGuard>
#include <chrono>
#include <cmath>

namespace lms {

QueryScreen::QueryScreen(const QueryDefinition& definition, ScreenContext& context, QObject* parent)
    : FormModel(definition.screenName, definition.caption, parent), ctx_(context),
      definition_(definition), results_(this) {
    // Every showing lists afresh, so a closed screen need not hold its rows (a million-row
    // listing is some hundred megabytes).
    connect(this, &FormModel::closeRequested, this, [this] {
        // Rows still arriving are dropped by the listing itself once it regains control.
        if (listing_)
            closing_ = true;
        else
            results_.clear();
    });
    for (const Criterion& criterion : definition_.criteria) {
        addField(criterion.checkBox, FieldKind::Check, criterion.caption);
        if (!criterion.valueField.isEmpty()) {
            // The check box's caption names its value field too, for screen readers.
            Field& value = addField(criterion.valueField, criterion.valueKind, criterion.caption);
            if (!criterion.fixedItems.isEmpty()) {
                value.setItems(criterion.fixedItems);
                value.setItemIndex(0);
            }
        }
        if (criterion.kind == CriterionKind::DateRange) {
            rangeStart_ =
                &addField(QStringLiteral("DateTimePicker1"), FieldKind::Date, QStringLiteral("从"));
            rangeEnd_ =
                &addField(QStringLiteral("DateTimePicker2"), FieldKind::Date, QStringLiteral("到"));
        }
    }
    if (definition_.hasMatchMode) {
        matchMode_ =
            &addField(QStringLiteral("RadioGroup1"), FieldKind::Radio, QStringLiteral("查询方式"))
                 .setItems({QStringLiteral("精确查询"), QStringLiteral("模糊查询")})
                 .setValue(0);
    }
    grid_ = &addField(QStringLiteral("StringGrid1"), FieldKind::Grid);
    grid_->setGridModel(&results_);
    if (definition_.totals != QueryDefinition::Totals::None) {
        addField(QStringLiteral("GroupBoxTotals"), FieldKind::Group,
                 definition_.totalsGroupCaption);
        for (const TotalField& total : definition_.totalFields)
            addField(total.field, FieldKind::Label, total.caption);
    }
    buttons_ = {&addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("查询")),
                &addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("导出")),
                &addField(QStringLiteral("Button4"), FieldKind::Button, QStringLiteral("打印")),
                &addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("关闭"))};
    onClick(*buttons_[0], [this] { Button2Click(); });
    onClick(*buttons_[1], [this] { Button3Click(); });
    onClick(*buttons_[2], [this] { Button4Click(); });
    onClick(*buttons_[3], [this] { Button1Click(); });
    progress_ =
        &addField(QStringLiteral("ProgressBar1"), FieldKind::Progress, QStringLiteral("导出进度"))
             .setVisible(false);
}

void QueryScreen::untickAll() {
    for (const Criterion& criterion : definition_.criteria)
        field(criterion.checkBox).setValue(false);
}

void QueryScreen::empty(const QStringList& fields) {
    for (const QString& name : fields)
        field(name).setValue(QString());
}

void QueryScreen::fillList(const QString& name,
                           const std::function<QStringList(Database&)>& names) {
    Field& list = field(name);
    try {
        list.setItems(names(ctx_.dm.db()));
    } catch (const DbError&) {
        list.setItems({});
        ctx_.prompter.error(Messages::databaseError());
    }
}

void QueryScreen::setRangeToNow() {
    const QDateTime now = ctx_.clock.now();
    rangeStart_->setValue(now);
    rangeEnd_->setValue(now);
}

void QueryScreen::setRangeToToday() {
    // The pickers keep their times of day: the whole of today until the clerk changes them.
    const QDate today = ctx_.clock.now().date();
    const QDateTime start = rangeStart_->value().toDateTime();
    const QDateTime end = rangeEnd_->value().toDateTime();
    rangeStart_->setValue(QDateTime(today, start.isValid() ? start.time() : QTime(0, 0)));
    rangeEnd_->setValue(QDateTime(today, end.isValid() ? end.time() : QTime(23, 59, 59)));
}

bool QueryScreen::hasRange() const {
    return rangeStart_ != nullptr;
}

void QueryScreen::correctReversedRange() {
    const QDateTime start = rangeStart_->value().toDateTime();
    const QDateTime end = rangeEnd_->value().toDateTime();
    if (start.msecsTo(end) > -1)
        return;
    rangeStart_->setValue(QDateTime(end.date(), QTime(0, 0)));
    rangeEnd_->setValue(QDateTime(start.date(), QTime(23, 59, 59)));
}

FilterInput QueryScreen::filterInput() const {
    FilterInput input;
    input.ticked = [this](const QString& box) { return field(box).checked(); };
    input.text = [this](const QString& name) { return field(name).text(); };
    input.containsMode = matchMode_ && matchMode_->number() == 1;
    if (hasRange()) {
        input.rangeStart = rangeStart_->value().toDateTime();
        input.rangeEnd = rangeEnd_->value().toDateTime();
    }
    input.now = ctx_.clock.now();
    return input;
}

Statement QueryScreen::statement() const {
    return FilterBuilder::build(definition_, filterInput());
}

void QueryScreen::Button2Click() {
    if (busy_)
        return;
    if (listing_) {
        relist_ = true;
        return;
    }
    closing_ = false;
    do {
        relist_ = false;
        list();
    } while (relist_ && !closing_);
}

void QueryScreen::list() {
    if (hasRange())
        correctReversedRange();
    const Statement built = statement();
    // Printed with the listing, once it replaces the one on the screen.
    const QString criteria =
        ListingPrintout::criteria(definition_, filterInput(), RegionalFormats());
    Field& grid = *grid_;
    try {
        Database& db = ctx_.dm.db();
        db.beginListing(definition_.table);
        Query query(db, built.sql);
        query.bindAll(built.params);
        if (!query.next()) {
            results_.clear();
            criteriaShown_ = criteria;
            grid.setValue(-1);
            ctx_.prompter.information(definition_.noRowsMessage);
            return;
        }
        std::vector<int> sources;
        for (const ResultColumn& column : definition_.columns) {
            int source = -1;
            for (int c = 0; c < query.columnCount() && !column.column.isEmpty(); ++c) {
                if (query.columnName(c) == column.column)
                    source = c;
            }
            sources.push_back(source);
        }
        results_.start(definition_.columns, ctx_.clock.now());
        criteriaShown_ = criteria;
        totalsCurrent_ = false;
        if (!appendAll(query, sources)) {
            // Ended by the clerk: a closed window holds no rows; another run replaces them.
            if (closing_)
                results_.clear();
            return;
        }
        grid.setValue(results_.rowCount() - 1);
        writeTotals();
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

bool QueryScreen::appendAll(Query& query, const std::vector<int>& sources) {
    using Clk = std::chrono::steady_clock;
    // Time is looked at every this many rows.
    constexpr int kRowsPerLook = 256;
    listing_ = true;
    buttons_[1]->setEnabled(false);
    buttons_[2]->setEnabled(false);
    const auto rest = qScopeGuard([this] {
        listing_ = false;
        buttons_[1]->setEnabled(true);
        buttons_[2]->setEnabled(true);
        results_.publish();
    });
    int untilLook = kFirstRows;
    Clk::time_point sliceEnd = Clk::now();
    do {
        results_.append(query, sources);
        if (--untilLook > 0)
            continue;
        untilLook = kRowsPerLook;
        if (Clk::now() < sliceEnd)
            continue;
        results_.publish();
        ctx_.host.reveal(*this);
        const bool shown = ctx_.host.breathe(*this);
        if (!shown)
            closing_ = true;
        if (!shown || relist_ || closing_)
            return false;
        sliceEnd = Clk::now() + std::chrono::milliseconds(kSliceMs);
    } while (query.next());
    return true;
}

void QueryScreen::writeTotals() {
    if (definition_.totals == QueryDefinition::Totals::None)
        return;
    totalsCurrent_ = true;
    const bool money = definition_.totals == QueryDefinition::Totals::SumAsMoney;
    for (const TotalField& total : definition_.totalFields) {
        int column = -1;
        for (std::size_t c = 0; c < definition_.columns.size(); ++c) {
            if (definition_.columns[c].column == total.column)
                column = static_cast<int>(c);
        }
        // Summed in single precision, as the shop's totals always were; a missing value
        // counts as 0.
        float sum = 0;
        results_.eachNumber(column, [&sum, money](double value, bool wholeCents) {
            if (std::isnan(value))
                value = 0;
            // A value already of whole cents reads back unchanged; only others take the
            // (slow) round trip through the printed form.
            else if (money && !wholeCents && std::round(value * 100) / 100 != value)
                value = Numbers::parseDecimal(Numbers::twoDecimalForm(value)).value_or(0.0);
            sum = static_cast<float>(static_cast<double>(sum) + value);
        });
        field(total.field)
            .setValue(money ? Numbers::twoDecimalForm(sum) : Numbers::generalForm(sum));
    }
}

} // namespace lms
