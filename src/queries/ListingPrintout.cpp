#include "queries/ListingPrintout.h"

#include "queries/ResultTable.h"

namespace lms::ListingPrintout {

namespace {

// "借出日期：    从" names the column 借出日期.
QString nameOf(const Criterion& criterion) {
    QString name = criterion.caption;
    name.remove(QStringLiteral("："));
    name.remove(QLatin1Char(':'));
    name.remove(QLatin1Char(' '));
    if (criterion.kind == CriterionKind::DateRange && name.endsWith(QStringLiteral("从")))
        name.chop(1);
    return name;
}

QString quoted(const QString& value) {
    return QStringLiteral("“") + value + QStringLiteral("”");
}

bool rightAligned(CellFormat format) {
    return showsNumber(format);
}

} // namespace

QString criteria(const QueryDefinition& definition, const FilterInput& input,
                 const RegionalFormats& formats) {
    QStringList parts;
    const bool contains = input.containsMode && definition.hasMatchMode;
    for (const Criterion& criterion : definition.criteria) {
        if (!input.ticked(criterion.checkBox))
            continue;
        switch (criterion.kind) {
        case CriterionKind::Value:
            parts << nameOf(criterion) +
                         (contains ? QStringLiteral(" 包含 ") : QStringLiteral(" = ")) +
                         quoted(FilterBuilder::criterionValue(input.text(criterion.valueField)));
            break;
        case CriterionKind::DateRange:
            parts << nameOf(criterion) + QStringLiteral(" 从 ") +
                         formats.longDate(input.rangeStart.date()) + QStringLiteral(" 到 ") +
                         formats.longDate(input.rangeEnd.date());
            break;
        case CriterionKind::BeforeToday:
        case CriterionKind::OrderOnly:
            parts << nameOf(criterion);
            break;
        }
    }
    return parts.isEmpty() ? QStringLiteral("全部记录") : parts.join(QStringLiteral("；"));
}

Printout make(const QueryDefinition& definition, const ResultTable& results,
              const QString& criteria, const QString& printedAt, std::vector<PrintoutLine> totals) {
    Printout printout;
    printout.paper = Printout::Paper::Sheet;
    printout.title = definition.caption;
    printout.headLines
        << QStringLiteral("查询条件：") + criteria
        << QStringLiteral("共 %1 条记录　　打印时间：%2").arg(results.rowCount()).arg(printedAt);
    for (const ResultColumn& column : definition.columns) {
        printout.columns << column.caption;
        printout.rightAligned << rightAligned(column.format);
    }
    printout.rowCount = results.rowCount();
    printout.cell = [&results](int row, int column) { return results.cellText(row, column); };
    printout.lines = std::move(totals);
    return printout;
}

} // namespace lms::ListingPrintout
