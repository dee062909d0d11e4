#include "imports/ImportFile.h"

#include "imports/TextDecoding.h"
#include "queries/Csv.h"
#include "queries/CsvReader.h"

#include <QFile>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

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

// A file opened for reading, or why it cannot be.
struct OpenedFile {
    std::unique_ptr<QFile> device;
    qint64 size = 0;
    QString problem;
};

// Opens the path only when it is a regular file, looked at on the opened file itself: a pipe
// or a device would be read without end (or wait for a writer), a folder holds no rows.
OpenedFile openRegularFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {nullptr, 0, QStringLiteral("无法打开文件：") + path + kCR + qt_error_string(errno)};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool folder = S_ISDIR(info.st_mode);
        ::close(fd);
        return {nullptr, 0,
                folder
                    ? QStringLiteral("“") + path + QStringLiteral("”是文件夹，不是文件，无法导入。")
                    : QStringLiteral("“") + path +
                          QStringLiteral("”不是普通的文件（例如是设备或管道），无法导入。") + kCR +
                          QStringLiteral("请选择电子表格程序保存的 CSV 文件。")};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto device = std::make_unique<QFile>();
    if (!device->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {nullptr, 0, QStringLiteral("无法打开文件：") + path + kCR + device->errorString()};
    }
    return {std::move(device), info.st_size, {}};
}

// The file's bytes as it was when opened (at most `size`); nothing when reading fails.
std::optional<QByteArray> readWhole(QFile& device, qint64 size) {
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    qsizetype total = 0;
    while (total < bytes.size()) {
        const qint64 got = device.read(bytes.data() + total, bytes.size() - total);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        total += static_cast<qsizetype>(got);
    }
    bytes.truncate(total);
    return bytes;
}

// Cells an export wrote with an apostrophe in front, so that a spreadsheet shows them as text,
// back to the text they stand for.
void unprotectCells(QList<QStringList>& records) {
    for (QStringList& record : records)
        for (QString& cell : record)
            if (cell.startsWith(QLatin1Char('\'')))
                cell = Csv::fromSpreadsheetCell(cell);
}

} // namespace

FileReading readImportFile(const QString& path, const ImportKind& kind) {
    OpenedFile opened = openRegularFile(path);
    if (!opened.problem.isEmpty())
        return refusal(opened.problem);
    if (opened.size > kLargestFileBytes)
        return refusal(QStringLiteral("文件太大（%1 MB），没有导入任何%2：导入最多使用 %3 MB "
                                      "内存，只能读取 %4 MB 以内的文件。")
                           .arg((opened.size + (1 << 20) - 1) >> 20)
                           .arg(kind.noun())
                           .arg(kMemoryBudget >> 20)
                           .arg(kLargestFileBytes >> 20) +
                       kCR + kCR + QStringLiteral("请把文件分成几个较小的文件后分别导入。"));
    std::optional<QByteArray> bytes = readWhole(*opened.device, opened.size);
    if (!bytes)
        return refusal(QStringLiteral("无法读取文件：") + path + kCR +
                       opened.device->errorString());
    opened.device.reset();

    DecodedText decoded = decodeText(*bytes);
    bytes.reset();
    if (!decoded.problem.isEmpty())
        return refusal(decoded.problem);
    // Counted before any record is made: a file of empty lines or of commas makes many records
    // or fields from few bytes.
    const Csv::Shape shape = Csv::measure(decoded.text);
    const qint64 needed =
        qint64(decoded.text.size()) * 4 + shape.records * kRecordBytes + shape.fields * kFieldBytes;
    if (needed > kMemoryBudget)
        return refusal(QStringLiteral("文件的行或列太多（%1 行，%2 个值），导入需要的内存超过 "
                                      "%3 MB，没有导入任何%4。")
                           .arg(shape.records)
                           .arg(shape.fields)
                           .arg(kMemoryBudget >> 20)
                           .arg(kind.noun()) +
                       kCR + kCR +
                       QStringLiteral("请删去文件中多余的空行和空列，或把文件分成几个较小的文件"
                                      "后分别导入。"));
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
    unprotectCells(csv.records);

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
