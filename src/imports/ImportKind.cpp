#include "imports/ImportKind.h"

namespace lms::Imports {

std::vector<ImportColumn> importColumns(const std::vector<ColumnNames>& names) {
    std::vector<ImportColumn> columns;
    for (const ColumnNames& name : names) {
        ImportColumn column{.name = QString::fromUtf8(name.listed),
                            .aliases = {},
                            .required = columns.size() < 2,
                            .kind = Csv::CellKind::Text};
        if (qstrcmp(name.listed, name.stored) != 0)
            column.aliases << QString::fromUtf8(name.stored);
        columns.push_back(column);
    }
    return columns;
}

QStringList storedColumns(const std::vector<ColumnNames>& names) {
    QStringList columns;
    for (const ColumnNames& name : names)
        columns << QString::fromUtf8(name.stored);
    return columns;
}

} // namespace lms::Imports
