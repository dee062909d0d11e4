#include "imports/CellValues.h"

#include "core/GbkText.h"
#include "core/LineText.h"
#include "core/NumberForms.h"
#include "imports/DateText.h"

#include <cmath>

namespace lms::Imports {

namespace {

constexpr int kQuotedChars = 20;

QString listed(const QStringList& items) {
    QStringList quotedItems;
    for (const QString& item : items)
        quotedItems << quoted(item);
    return quotedItems.join(QStringLiteral("、"));
}

} // namespace

QString quoted(const QString& value) {
    if (value.size() <= kQuotedChars)
        return QStringLiteral("“") + value + QStringLiteral("”");
    // Never half an emoji.
    const qsizetype cut =
        value[kQuotedChars - 1].isHighSurrogate() ? kQuotedChars - 1 : kQuotedChars;
    return QStringLiteral("“") + value.left(cut) + QStringLiteral("…”");
}

QString aboutColumn(const QString& column, const QString& message) {
    return message.contains(column) ? message : column + QStringLiteral("：") + message;
}

Choice readChoice(const RowCells& row, int column, const QString& name, const QStringList& items,
                  const QString& fallback) {
    const QString text = row.trimmed(column);
    if (text.isEmpty())
        return {fallback, {}};
    if (items.contains(text))
        return {text, {}};
    return {{},
            name + QStringLiteral("：") + quoted(text) + QStringLiteral("不是") + listed(items) +
                QStringLiteral("之一")};
}

DateCell readDate(const RowCells& row, int column, const QString& name, const QDateTime& fallback) {
    const QString text = row.trimmed(column);
    if (text.isEmpty())
        return {fallback, {}};
    if (const std::optional<QDateTime> moment = readDateText(text))
        return {*moment, {}};
    return {{},
            name + QStringLiteral("：") + quoted(text) +
                QStringLiteral("不是日期（应写作 2026/3/14 或 2026-03-14 10:30:00）")};
}

CountCell readCount(const RowCells& row, int column, const QString& name, int least, int most,
                    int fallback) {
    const QString text = row.trimmed(column);
    if (text.isEmpty())
        return {fallback, {}};
    const std::optional<double> number = Numbers::parseDecimal(text);
    if (number && std::floor(*number) == *number && *number >= least && *number <= most)
        return {static_cast<int>(*number), {}};
    return {0, name + QStringLiteral("：") + quoted(text) +
                   QStringLiteral("不是%1到%2之间的整数").arg(least).arg(most)};
}

QString notOneLine(const QString& name, const QString& text) {
    const std::optional<LineText::Forbidden> forbidden = LineText::firstForbidden(text);
    if (!forbidden)
        return {};
    return name + QStringLiteral("：") + LineText::described(*forbidden) +
           QStringLiteral("，这一列只能是一行文字，不能有换行符、制表符或其他控制字符");
}

QString tooLong(const QString& name, const QString& text, int maxBytes) {
    const int bytes = Gbk::byteLength(text);
    if (bytes <= maxBytes)
        return {};
    return name + QStringLiteral("最多%1个字节（一个汉字占两个），这一格有%2个字节")
                      .arg(maxBytes)
                      .arg(bytes);
}

} // namespace lms::Imports
