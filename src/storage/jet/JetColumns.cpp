#include "storage/jet/JetColumns.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <cmath>

namespace lms::JetMove {

Holds holdsOf(const QString& column) {
    static const QSet<QString> dates = {
        QStringLiteral("开户日期"), QStringLiteral("借阅有效期"), QStringLiteral("状态设置期"),
        QStringLiteral("录入时间"), QStringLiteral("借出日期"),   QStringLiteral("最晚归还日期"),
        QStringLiteral("借阅日期"), QStringLiteral("归还日期"),   QStringLiteral("时间")};
    static const QSet<QString> reals = {
        QStringLiteral("押金"),   QStringLiteral("金额总计"), QStringLiteral("开户费"),
        QStringLiteral("租金"),   QStringLiteral("逾期罚款"), QStringLiteral("破损遗失赔偿"),
        QStringLiteral("value1"), QStringLiteral("value2"),   QStringLiteral("value3"),
        QStringLiteral("value4"), QStringLiteral("value5")};
    static const QSet<QString> integers = {
        QStringLiteral("最多持有图书数量"), QStringLiteral("最长持有图书天数"),
        QStringLiteral("未还数量"),         QStringLiteral("借阅总计"),
        QStringLiteral("借阅次数"),         QStringLiteral("value6"),
        QStringLiteral("value7"),           QStringLiteral("value8"),
        QStringLiteral("value9"),           QStringLiteral("value10"),
        QStringLiteral("value11"),          QStringLiteral("value12"),
        QStringLiteral("value13")};
    if (dates.contains(column))
        return Holds::Date;
    if (reals.contains(column))
        return Holds::Real;
    if (integers.contains(column) || column.startsWith(QStringLiteral("功能")))
        return Holds::Integer;
    return Holds::Text;
}

QString keyOf(const QString& table) {
    static const QHash<QString, QString> keys = {
        {QStringLiteral("读者"), QStringLiteral("读者编号")},
        {QStringLiteral("图书"), QStringLiteral("图书编号")},
        {QStringLiteral("管理员"), QStringLiteral("用户名")},
        {QStringLiteral("图书类型"), QStringLiteral("图书类型名称")}};
    return keys.value(table);
}

// The engine's days since 1899-12-30 as the stored local-time text, to the second. Before that
// day the whole days count back while the fraction still counts forward into the day.
std::optional<QString> storedDate(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return std::nullopt;
    double whole = std::trunc(days);
    qint64 seconds = std::llround(std::fabs(days - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += days < 0 ? -1 : 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return std::nullopt;
    // Written digit by digit: a shop holds a hundred thousand of them.
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    const int parts[] = {
        year, month, day, int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60)};
    char text[] = "0000-00-00 00:00:00.000";
    const int at[] = {0, 5, 8, 11, 14, 17};
    const int widths[] = {4, 2, 2, 2, 2, 2};
    for (int p = 0; p < 6; ++p) {
        int value = parts[p];
        for (int w = widths[p] - 1; w >= 0; --w) {
            text[at[p] + w] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
    }
    return QString::fromLatin1(text, sizeof text - 1);
}

} // namespace lms::JetMove
