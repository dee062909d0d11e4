#include "imports/DateText.h"

#include "core/DateRules.h"

#include <QRegularExpression>

namespace lms::Imports {

std::optional<QDateTime> readDateText(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4})(?:[/.-](\\d{1,2})[/.-](\\d{1,2})|年(\\d{1,2})月(\\d{1,2})日?)"
                       "(?:[ T]+(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,3}))?)?)?$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&match](int group) { return match.captured(group).toInt(); };
    const bool written = match.capturedLength(4) > 0; // 2026年3月14日
    const QDate date(number(1), number(written ? 4 : 2), number(written ? 5 : 3));
    // Milliseconds as decimals of the second: ".5" is half a second.
    const int millis = match.capturedLength(9) > 0
                           ? match.captured(9).leftJustified(3, QLatin1Char('0')).toInt()
                           : 0;
    const QTime time(number(6), number(7), number(8), millis);
    const QDateTime moment(date, time);
    if (!date.isValid() || !time.isValid() || !Dates::isStorable(moment))
        return std::nullopt;
    return moment;
}

} // namespace lms::Imports
