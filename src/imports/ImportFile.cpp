#include "imports/ImportFile.h"

#include "imports/TextDecoding.h"
#include "queries/CsvReader.h"

#include <QFile>

namespace lms::Imports {

namespace {

const QChar kCR(13);
// The listings' row-number column and the first cell of their totals row.
const QString kRowNumber = QStringLiteral("序号");
const QString kTotals = QStringLiteral("合计");

FileReading refusal(const QString& problem) {
    return {std::nullopt, problem};
}

bool isBlank(const QStringList& record) {
    for (const QString& cell : record)
        if (!cell.trimmed().isEmpty())
            return false;
    return true;
}

// A header quoted in a message, cut where it would fill the box.
QString shortened(const QString& text) {
    constexpr qsizetype kLongest = 120;
    return text.size() <= kLongest ? text : text.left(kLongest) + QStringLiteral("…");
}

// The kind's column a header name stands for, or -1.
int columnNamed(const ImportKind& kind, const QString& name) {
    const std::vector<ImportColumn>& columns = kind.columns();
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (columns[c].name == name || columns[c].aliases.contains(name))
            return static_cast<int>(c);
    return -1;
}

// Matches the header to the kind's columns; the problem when it cannot be.
QString matchHeader(ImportFile& file, const ImportKind& kind, int* rowNumberField) {
    file.sources.assign(kind.columns().size(), -1);
    *rowNumberField = -1;
    for (int field = 0; field < file.header.size(); ++field) {
        // A byte-order mark written twice stays in the first name.
        QString name = file.header[field].trimmed();
        if (field == 0 && name.startsWith(QChar(0xFEFF)))
            name = name.mid(1).trimmed();
        if (name.isEmpty())
            continue;
        if (name == kRowNumber) {
            *rowNumberField = field;
            continue;
        }
        const int column = columnNamed(kind, name);
        if (column < 0) {
            file.unknownColumns << name;
            continue;
        }
        int& source = file.sources[static_cast<std::size_t>(column)];
        if (source >= 0)
            return QStringLiteral("第一行中“%1”列出现了两次，无法确定用哪一列。")
                .arg(kind.columns()[static_cast<std::size_t>(column)].name);
        source = field;
    }
    QStringList missing;
    for (std::size_t c = 0; c < kind.columns().size(); ++c)
        if (kind.columns()[c].required && file.sources[c] < 0)
            missing << QStringLiteral("“") + kind.columns()[c].name + QStringLiteral("”");
    if (missing.isEmpty())
        return {};
    return QStringLiteral("文件缺少必需的列：") + missing.join(QStringLiteral("、")) +
           QStringLiteral("，没有导入任何") + kind.noun() + QStringLiteral("。") + kCR +
           QStringLiteral("文件的第一行须是列名，如“") + kind.listingCaption() +
           QStringLiteral("”导出的文件。") + kCR + QStringLiteral("按 ") + file.encoding +
           QStringLiteral(" 编码读出的第一行是：") +
           shortened(file.header.join(QStringLiteral("，")));
}

} // namespace

FileReading readImportFile(const QString& path, const ImportKind& kind) {
    QFile device(path);
    if (!device.open(QIODevice::ReadOnly))
        return refusal(QStringLiteral("无法打开文件：") + path + kCR + device.errorString());
    if (device.size() > kLargestFileBytes)
        return refusal(QStringLiteral("文件太大（超过 %1 MB），请分成几个文件导入。")
                           .arg(kLargestFileBytes >> 20));
    const QByteArray bytes = device.readAll();
    if (device.error() != QFileDevice::NoError)
        return refusal(QStringLiteral("无法读取文件：") + path + kCR + device.errorString());

    DecodedText decoded = decodeText(bytes);
    if (!decoded.problem.isEmpty())
        return refusal(decoded.problem);
    Csv::Reading csv = Csv::read(decoded.text);
    decoded.text.clear();
    if (csv.unclosedQuoteRecord > 0)
        return refusal(QStringLiteral("文件第%1行有一个引号没有配对，无法分出各列，"
                                      "没有导入任何%2。")
                           .arg(csv.unclosedQuoteRecord)
                           .arg(kind.noun()));
    if (csv.records.isEmpty() || isBlank(csv.records.first()))
        return refusal(QStringLiteral("文件是空的：第一行应是列名，如“") + kind.columns()[0].name +
                       QStringLiteral(",") + kind.columns()[1].name + QStringLiteral("”。"));

    ImportFile file;
    file.path = path;
    file.encoding = decoded.encoding;
    file.header = csv.records.takeFirst();
    int rowNumberField = -1;
    if (const QString problem = matchHeader(file, kind, &rowNumberField); !problem.isEmpty())
        return refusal(problem);

    file.rows.reserve(csv.records.size());
    file.rowNumbers.reserve(static_cast<std::size_t>(csv.records.size()));
    for (qsizetype r = 0; r < csv.records.size(); ++r) {
        QStringList& record = csv.records[r];
        if (isBlank(record))
            continue;
        if (rowNumberField >= 0 && record.value(rowNumberField).trimmed() == kTotals) {
            file.totalsRowLeftOut = true;
            continue;
        }
        file.rows << std::move(record);
        file.rowNumbers.push_back(static_cast<int>(r) + 2);
    }
    if (file.rows.isEmpty())
        return refusal(QStringLiteral("文件中只有列名，没有要导入的") + kind.noun() +
                       QStringLiteral("。"));
    return {std::move(file), {}};
}

} // namespace lms::Imports
