#include "queries/FilterBuilder.h"

namespace lms::FilterBuilder {

namespace {

QString secondsText(const QDateTime& moment) {
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

QString criterionValue(const QString& typed) {
    qsizetype begin = 0;
    qsizetype end = typed.size();
    while (begin < end && typed[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && typed[end - 1].unicode() <= 0x20)
        --end;
    return typed.mid(begin, end - begin);
}

QString lowerBound(const QDateTime& moment) {
    return secondsText(moment) + QStringLiteral(".000");
}

QString upperBound(const QDateTime& moment) {
    return secondsText(moment) + QStringLiteral(".999");
}

Statement build(const QueryDefinition& definition, const FilterInput& input) {
    // "where 1=1" keeps every criterion an " and …" clause.
    Statement statement{
        QStringLiteral("select * from ") + definition.table + QStringLiteral(" where 1=1 "), {}};
    for (const Criterion& criterion : definition.criteria) {
        if (!input.ticked(criterion.checkBox))
            continue;
        switch (criterion.kind) {
        case CriterionKind::Value: {
            const QString value = criterionValue(input.text(criterion.valueField));
            if (input.containsMode && definition.hasMatchMode) {
                statement.sql += criterion.containsFragment + QStringLiteral("?");
                statement.params << QStringLiteral("%") + value + QStringLiteral("%");
            } else {
                statement.sql += criterion.exactFragment + QStringLiteral("?");
                statement.params << value;
            }
            break;
        }
        case CriterionKind::DateRange:
            statement.sql += criterion.exactFragment + QStringLiteral("?") +
                             criterion.upperFragment + QStringLiteral("?");
            statement.params << lowerBound(input.rangeStart) << upperBound(input.rangeEnd);
            break;
        case CriterionKind::BeforeToday:
            statement.sql += criterion.exactFragment + QStringLiteral("?");
            // Today's midnight as stored text: where summer time starts at midnight that local
            // time does not exist, but the stored texts still compare with it.
            statement.params << input.now.date().toString(QStringLiteral("yyyy-MM-dd")) +
                                    QStringLiteral(" 00:00:00.000");
            break;
        case CriterionKind::OrderOnly:
            break;
        }
    }
    const bool ordered =
        definition.orderCheckBox.isEmpty() || input.ticked(definition.orderCheckBox);
    if (ordered) {
        statement.sql += input.containsMode && definition.hasMatchMode ? definition.containsOrder
                                                                       : definition.exactOrder;
    }
    return statement;
}

} // namespace lms::FilterBuilder
