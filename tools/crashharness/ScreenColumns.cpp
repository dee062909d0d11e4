#include "ScreenColumns.h"

#include "core/DateRules.h"
#include "core/form/FormModel.h"

namespace lms::crash {

namespace {

using Form = ColumnField::Form;

QString storedForm(const Field& field, Form form) {
    switch (form) {
    case Form::Number:
        return QString::number(field.number());
    case Form::Moment:
        return Dates::toStorage(field.value().toDateTime());
    case Form::Text:
        break;
    }
    return field.text().trimmed();
}

} // namespace

const QList<ColumnField>& readerChangeColumns() {
    static const QList<ColumnField> columns = {
        {QStringLiteral("读者姓名"), QStringLiteral("tzxm"), Form::Text},
        {QStringLiteral("电话"), QStringLiteral("df"), Form::Text},
        {QStringLiteral("读者类型"), QStringLiteral("tzrx"), Form::Text},
        {QStringLiteral("最多持有图书数量"), QStringLiteral("tssn"), Form::Number},
        {QStringLiteral("最长持有图书天数"), QStringLiteral("tssj"), Form::Number},
        {QStringLiteral("借阅有效期"), QStringLiteral("yxq"), Form::Moment},
        {QStringLiteral("当前状态"), QStringLiteral("tzzt"), Form::Text}};
    return columns;
}

const QList<ColumnField>& bookChangeColumns() {
    static const QList<ColumnField> columns = {
        {QStringLiteral("图书名称"), QStringLiteral("tsmz"), Form::Text},
        {QStringLiteral("备注"), QStringLiteral("tsbz"), Form::Text},
        {QStringLiteral("当前状态"), QStringLiteral("tszt"), Form::Text}};
    return columns;
}

QStringList columnValues(const FormModel& screen, const QList<ColumnField>& columns) {
    QStringList values;
    for (const ColumnField& c : columns)
        values << storedForm(screen.field(c.field), c.form);
    return values;
}

QList<ColumnChange> changedColumns(const FormModel& screen, const QList<ColumnField>& columns,
                                   const QStringList& loaded) {
    const QStringList now = columnValues(screen, columns);
    QList<ColumnChange> changes;
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (now[i] != loaded.value(i))
            changes << ColumnChange{columns[i].column, loaded.value(i), now[i]};
    return changes;
}

QList<ColumnChange> paymentChanges(const FormModel& screen, const QString& loadedType) {
    const auto shown = [&screen](const QString& name, Form form) {
        return storedForm(screen.field(name), form);
    };
    QList<ColumnChange> changes = {{QStringLiteral("借阅有效期"),
                                    shown(QStringLiteral("yxq"), Form::Moment),
                                    shown(QStringLiteral("xyxq"), Form::Moment)}};
    // Another type brings its own limits; the reader's own type keeps the stored ones.
    if (shown(QStringLiteral("tzrx"), Form::Text) != loadedType)
        changes << ColumnChange{QStringLiteral("读者类型"), loadedType,
                                shown(QStringLiteral("tzrx"), Form::Text)}
                << ColumnChange{QStringLiteral("最多持有图书数量"), ColumnChange::kNotShown,
                                shown(QStringLiteral("tssn"), Form::Number)}
                << ColumnChange{QStringLiteral("最长持有图书天数"), ColumnChange::kNotShown,
                                shown(QStringLiteral("tssj"), Form::Number)};
    return changes;
}

} // namespace lms::crash
