#include "queries/Csv.h"

#include <QRegularExpression>

namespace lms::Csv {

namespace {

// The first characters spreadsheet programs read a formula from.
bool startsFormula(QChar c) {
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') ||
           c == QLatin1Char('@') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

// Apostrophes followed by a formula's first character: the texts that are written with one more
// apostrophe, so that reading removes exactly the one that was added.
bool looksLikeFormula(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char('\''))
        ++i;
    return i < text.size() && startsFormula(text[i]);
}

bool isPlainNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    return number.match(text).hasMatch();
}

} // namespace

QByteArray byteOrderMark() {
    return QByteArrayLiteral("\xEF\xBB\xBF");
}

QString field(const QString& value) {
    const bool quoted = value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"')) ||
                        value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
    if (!quoted)
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString record(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += field(fields[i]);
    }
    return line + QStringLiteral("\r\n");
}

QString spreadsheetCell(const QString& value, CellKind kind) {
    if (!looksLikeFormula(value) || (kind == CellKind::Number && isPlainNumber(value)))
        return value;
    return QLatin1Char('\'') + value;
}

QString fromSpreadsheetCell(const QString& cell) {
    return cell.startsWith(QLatin1Char('\'')) && looksLikeFormula(cell) ? cell.mid(1) : cell;
}

QString record(const QStringList& cells, const std::vector<CellKind>& kinds) {
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        const CellKind kind =
            std::size_t(i) < kinds.size() ? kinds[std::size_t(i)] : CellKind::Text;
        line += field(spreadsheetCell(cells[i], kind));
    }
    return line + QStringLiteral("\r\n");
}

} // namespace lms::Csv
