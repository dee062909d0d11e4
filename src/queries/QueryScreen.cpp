#include "queries/QueryScreen.h"

#include "core/Database.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "core/pubdata.h"
#include "queries/ListingPrintout.h"

#include <QScopeGuard>
#include <chrono>

namespace lms {

QueryScreen::QueryScreen(const QueryDefinition& definition, ScreenContext& context, QObject* parent)
    : FormModel(definition.screenName, definition.caption, parent), ctx_(context),
      definition_(definition), results_(this) {
    // Every showing lists afresh, so a closed screen need not hold its rows (a million-row
    // listing is some hundred megabytes).
    connect(this, &FormModel::closeRequested, this, [this] {
        // Rows still arriving are dropped by the listing itself once it regains control.
        if (listing_) {
            closing_ = true;
        } else {
            results_.clear();
            showArrival(Arrival::Closed);
        }
    });
    for (const Criterion& criterion : definition_.criteria) {
        if (!criterion.checkBox.isEmpty())
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
    onChange(*grid_, [this] { rowChosen_ = true; });
    status_ =
        &addField(QStringLiteral("ListingStatus"), FieldKind::Label, QStringLiteral("查询状态："));
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
    for (const Criterion& criterion : definition_.criteria) {
        if (!criterion.checkBox.isEmpty())
            field(criterion.checkBox).setValue(false);
    }
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

Field& QueryScreen::addOutputButton(const QString& name, const QString& caption) {
    Field& button = addField(name, FieldKind::Button, caption);
    ownOutputs_.push_back(&button);
    restOutputs();
    return button;
}

std::vector<int> QueryScreen::chosenRows() const {
    if (busy_ || listing_ || !whole_)
        return {};
    const int chosen = grid_->number();
    if (rowChosen_ && chosen >= 0 && chosen < results_.rowCount())
        return {chosen};
    std::vector<int> rows(static_cast<std::size_t>(results_.rowCount()));
    for (std::size_t row = 0; row < rows.size(); ++row)
        rows[row] = static_cast<int>(row);
    return rows;
}

int QueryScreen::selectedRow() const {
    if (busy_ || listing_ || !whole_)
        return -1;
    const int selected = grid_->number();
    return selected >= 0 && selected < results_.rowCount() ? selected : -1;
}

int QueryScreen::totalColumn(const QString& column) const {
    // A balance reads the column it sums, but the column's total stands under the column.
    for (std::size_t c = 0; c < definition_.columns.size(); ++c) {
        const ResultColumn& result = definition_.columns[c];
        if (!column.isEmpty() && result.column == column && result.format != CellFormat::Balance)
            return static_cast<int>(c);
    }
    return -1;
}

QString QueryScreen::cellOf(int row, const QString& heading) const {
    for (std::size_t c = 0; c < definition_.columns.size(); ++c) {
        if (definition_.columns[c].caption == heading)
            return results_.cellText(row, static_cast<int>(c));
    }
    return QString();
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
    input.ticked = [this](const QString& box) { return box.isEmpty() || field(box).checked(); };
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

QString QueryScreen::criteriaInWords() const {
    return ListingPrintout::criteria(definition_, filterInput(), RegionalFormats());
}

void QueryScreen::useDefinition(const QueryDefinition& definition) {
    Q_ASSERT(definition.criteria.size() == definition_.criteria.size());
    definition_ = definition;
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
    const QString criteria = criteriaInWords();
    Field& grid = *grid_;
    bool started = false; // rows of this run are on the screen
    try {
        Database& db = ctx_.dm.db();
        db.beginListing(definition_.table);
        Query query(db, built.sql);
        query.bindAll(built.params);
        if (!query.next()) {
            results_.clear();
            criteriaShown_ = criteria;
            grid.setValue(-1);
            rowChosen_ = false;
            showArrival(Arrival::NoneFound);
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
        results_.start(definition_.columns, ctx_.clock.now(), ctx_.pub.OverdueFinePerDay);
        criteriaShown_ = criteria;
        started = true;
        // From here until the last row the previous run's totals no longer belong on the screen.
        showArrival(Arrival::Arriving);
        if (!appendAll(query, sources)) {
            // Ended by the clerk: a closed window holds no rows; another run replaces them (and
            // until it does they are only a part).
            if (closing_)
                results_.clear();
            showArrival(closing_ ? Arrival::Dropped : Arrival::Broken);
            return;
        }
        // The last row shows; the clerk has chosen none yet.
        grid.setValue(results_.rowCount() - 1);
        rowChosen_ = false;
        showArrival(Arrival::Complete);
    } catch (const DbError&) {
        // A failure before the first row leaves the previous listing whole on the screen.
        if (started)
            showArrival(Arrival::Broken);
        ctx_.prompter.error(Messages::databaseError());
    }
}

bool QueryScreen::appendAll(Query& query, const std::vector<int>& sources) {
    using Clk = std::chrono::steady_clock;
    // Time is looked at every this many rows.
    constexpr int kRowsPerLook = 256;
    listing_ = true;
    restOutputs();
    const auto rest = qScopeGuard([this] {
        listing_ = false;
        results_.publish();
        restOutputs();
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
        showArrival(Arrival::Arriving);
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

} // namespace lms
