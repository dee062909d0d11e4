#include "core/engines/PgEngine.h"

#include "core/SqlNames.h"

#include <libpq-fe.h>

namespace lms {

namespace {

// A value in COPY's text format: the characters that end a field or a line are escaped.
void appendCopyText(QByteArray& line, QByteArrayView text) {
    for (const char c : text) {
        switch (c) {
        case '\\':
            line.append("\\\\");
            break;
        case '\t':
            line.append("\\t");
            break;
        case '\n':
            line.append("\\n");
            break;
        case '\r':
            line.append("\\r");
            break;
        default:
            line.append(c);
        }
    }
}

} // namespace

void PgConnection::setRowTexts(const QString& table, const RowTexts& rows) {
    if (rows.rowids.empty())
        return;
    // The rows go to a table of this session in one stream, then into the table in one update.
    QStringList columns;
    QStringList sets;
    for (qsizetype i = 0; i < rows.columns.size(); ++i) {
        const QString column = QStringLiteral("t%1").arg(i);
        columns << column + QStringLiteral(" text NOT NULL");
        sets << QStringLiteral("%1 = lms_row_texts.%2").arg(quotedName(rows.columns[i]), column);
    }
    PQclear(run(QStringLiteral("CREATE TEMP TABLE lms_row_texts (id bigint PRIMARY KEY, %1)")
                    .arg(columns.join(QStringLiteral(", ")))));
    beginCopy(QStringLiteral("COPY lms_row_texts FROM STDIN"));
    QByteArray lines;
    try {
        const std::size_t width = static_cast<std::size_t>(rows.columns.size());
        for (std::size_t row = 0; row < rows.rowids.size(); ++row) {
            lines.append(QByteArray::number(rows.rowids[row]));
            for (std::size_t column = 0; column < width; ++column) {
                lines.append('\t');
                appendCopyText(lines, rows.texts[row * width + column]);
            }
            lines.append('\n');
            if (lines.size() >= (1 << 20)) {
                putCopy(lines);
                lines.clear();
            }
        }
        putCopy(lines);
    } catch (...) {
        abandonCopy();
        throw;
    }
    endCopy();
    // A million rows join in memory, once the planner knows how many there are (the default
    // memory of a statement spills the join to disk and takes half as long again).
    PQclear(run(QStringLiteral("SET LOCAL work_mem = '256MB'")));
    PQclear(run(QStringLiteral("ANALYZE lms_row_texts")));
    PQclear(run(QStringLiteral("UPDATE %1 SET %2 FROM lms_row_texts WHERE %1.rowid = "
                               "lms_row_texts.id")
                    .arg(quotedName(table), sets.join(QStringLiteral(", ")))));
    PQclear(run(QStringLiteral("DROP TABLE lms_row_texts")));
}

} // namespace lms
