// The CSV form of a listing: quoting that survives commas, quotes and line breaks, the byte-order
// mark, writing in pieces with progress, and files that are complete or not there at all.
#include "queries/Csv.h"
#include "queries/ExportedCsv.h"
#include "queries/ListingExport.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::readCsv;
using test::readCsvFile;

struct Quoting {
    const char* value;
    const char* field;
};

TEST(Csv, FieldsAreQuotedOnlyWhenTheyHoldACommaAQuoteOrALineBreak) {
    const Quoting cases[] = {
        {"abc", "abc"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"说 \"好\"", "\"说 \"\"好\"\"\""},
        {"\"", "\"\"\"\""},
        {"第一行\n第二行", "\"第一行\n第二行\""},
        {"a\r\nb", "\"a\r\nb\""},
        {"a\rb", "\"a\rb\""},
        {"全角，逗号", "全角，逗号"},
        {" 前后空格 ", " 前后空格 "},
        {"-12.50", "-12.50"},
    };
    for (const Quoting& c : cases)
        EXPECT_EQ(Csv::field(QString::fromUtf8(c.value)), QString::fromUtf8(c.field)) << c.value;
}

TEST(Csv, ARecordJoinsItsFieldsWithCommasAndEndsWithCrLf) {
    EXPECT_EQ(Csv::record({QStringLiteral("序号"), QStringLiteral("a,b"), QString()}),
              QStringLiteral("序号,\"a,b\",\r\n"));
    EXPECT_EQ(Csv::record({}), QStringLiteral("\r\n"));
    EXPECT_EQ(Csv::byteOrderMark(), QByteArrayLiteral("\xEF\xBB\xBF"));
}

struct Protection {
    const char* value;
    Csv::CellKind kind;
    const char* written;
};

TEST(Csv, TextsASpreadsheetWouldRunGetAnApostropheButPlainNumbersInNumberColumnsDoNot) {
    using Csv::CellKind;
    const Protection cases[] = {
        {"=1+2", CellKind::Text, "'=1+2"},
        {"+86 电话", CellKind::Text, "'+86 电话"},
        {"-12.50", CellKind::Text, "'-12.50"},
        {"@SUM(A1)", CellKind::Text, "'@SUM(A1)"},
        {"\t=1", CellKind::Text, "'\t=1"},
        {"\r=1", CellKind::Text, "'\r=1"},
        {"'=1", CellKind::Text, "''=1"},
        {"''-x", CellKind::Text, "'''-x"},
        {"O'Brien", CellKind::Text, "O'Brien"},
        {"'quoted'", CellKind::Text, "'quoted'"},
        {"a=b", CellKind::Text, "a=b"},
        {" =1", CellKind::Text, " =1"},
        {"", CellKind::Text, ""},
        {"'", CellKind::Text, "'"},
        {"-12.50", CellKind::Number, "-12.50"},
        {"+3", CellKind::Number, "+3"},
        {"-.5", CellKind::Number, "-.5"},
        {"-1e5", CellKind::Number, "-1e5"},
        {"12", CellKind::Number, "12"},
        {"-1+2", CellKind::Number, "'-1+2"},
        {"=1", CellKind::Number, "'=1"},
        {"-", CellKind::Number, "'-"},
        {"- 5", CellKind::Number, "'- 5"},
        {"\t-5", CellKind::Number, "'\t-5"},
    };
    for (const Protection& c : cases) {
        const QString value = QString::fromUtf8(c.value);
        const QString written = Csv::spreadsheetCell(value, c.kind);
        EXPECT_EQ(written, QString::fromUtf8(c.written)) << c.value;
        EXPECT_EQ(Csv::fromSpreadsheetCell(written), value) << c.value << " does not come back";
    }
    // A cell a spreadsheet wrote with an apostrophe of its own keeps it.
    EXPECT_EQ(Csv::fromSpreadsheetCell(QStringLiteral("'abc")), QStringLiteral("'abc"));
    EXPECT_EQ(Csv::record({QStringLiteral("=1"), QStringLiteral("-1"), QStringLiteral("-1")},
                          {CellKind::Text, CellKind::Number}),
              QStringLiteral("'=1,-1,'-1\r\n"))
        << "a column without a kind is text";
}

TEST(Csv, AnyMixOfSpecialCharactersReadsBackUnchanged) {
    const QString pieces[] = {QStringLiteral(","),  QStringLiteral("\""), QStringLiteral("\r\n"),
                              QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("红楼梦"),
                              QStringLiteral(" "),  QStringLiteral("x"),  QStringLiteral("")};
    QList<QStringList> records;
    QString text;
    for (const QString& a : pieces) {
        for (const QString& b : pieces) {
            const QStringList record = {a + b, b, a + QStringLiteral("中") + b + a};
            records << record;
            text += Csv::record(record);
        }
    }
    bool ok = false;
    EXPECT_EQ(readCsv(text, &ok), records);
    EXPECT_TRUE(ok);
}

ListingExport::Listing numbered(int rows, int columns = 3) {
    ListingExport::Listing listing;
    for (int c = 0; c < columns; ++c)
        listing.header << QStringLiteral("列%1").arg(c);
    listing.rowCount = rows;
    listing.cell = [](int row, int column) {
        return column == 1 ? QStringLiteral("书名,第%1本\n\"下\"").arg(row) : QString::number(row);
    };
    return listing;
}

TEST(ListingExport, WritesTheMarkTheHeaderEveryRowAndTheTotalsRow) {
    ListingExport::Listing listing = numbered(3);
    listing.totals = {QStringLiteral("合计"), QString(), QStringLiteral("3.00")};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    std::vector<int> reports;
    ASSERT_TRUE(ListingExport([&](int n) { reports.push_back(n); }).write(buffer, listing));
    bool ok = false;
    const QList<QStringList> records = readCsvFile(buffer.data(), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(records.size(), 5);
    EXPECT_EQ(records[0], listing.header);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(records[row + 1],
                  (QStringList{QString::number(row), listing.cell(row, 1), QString::number(row)}));
    EXPECT_EQ(records[4], listing.totals);
    EXPECT_EQ(reports, std::vector<int>{3}) << "the end is always reported";
}

TEST(ListingExport, WritesTextCellsAsTextAndTheNumberColumnsNumbersAsNumbers) {
    ListingExport::Listing listing;
    listing.header = {QStringLiteral("=名称"), QStringLiteral("金额")};
    listing.rowCount = 2;
    listing.cell = [](int row, int column) {
        return row == 0 ? QStringLiteral("-1") : column == 0 ? QStringLiteral("@x") : QString();
    };
    listing.totals = {QStringLiteral("合计"), QStringLiteral("-3.00")};
    listing.kinds = {Csv::CellKind::Text, Csv::CellKind::Number};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(ListingExport(nullptr).write(buffer, listing));
    EXPECT_EQ(buffer.data(), Csv::byteOrderMark() + QStringLiteral("'=名称,金额\r\n'-1,-1\r\n'@x,"
                                                                   "\r\n合计,-3.00\r\n")
                                                        .toUtf8());
}

TEST(ListingExport, ReportsBetweenPiecesOfRows) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    std::vector<int> reports;
    ASSERT_TRUE(ListingExport([&](int n) { reports.push_back(n); }, std::chrono::milliseconds(0))
                    .write(buffer, numbered(1000)));
    EXPECT_EQ(reports, (std::vector<int>{256, 512, 768, 1000}));
}

// A device that takes only so many bytes, as a full disk does.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override {
        if (length > room_)
            return -1;
        room_ -= length;
        return length;
    }

private:
    qint64 room_;
};

TEST(ListingExport, AFailedWriteIsNoSuccessWhereverItHappens) {
    for (const qint64 room : {qint64(0), qint64(3), qint64(100), qint64(50000)}) {
        FillingDevice device(room);
        EXPECT_FALSE(ListingExport(nullptr).write(device, numbered(2000))) << room;
    }
}

TEST(ListingExport, AFileIsCompleteOrNotThere) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("导出 报表, \"引号\" #1 ;'$&.csv"));
    EXPECT_EQ(ListingExport(nullptr).toFile(good, numbered(10)), std::nullopt);
    QFile written(good);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    bool ok = false;
    EXPECT_EQ(readCsvFile(written.readAll(), &ok).size(), 11);
    EXPECT_TRUE(ok);

    // A folder that is not there, a "folder" that is a file, a name that is a folder.
    const QString missing = dir.filePath(QStringLiteral("没有/x.csv"));
    const QString underFile = good + QStringLiteral("/x.csv");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("已有文件夹.csv")));
    const QString folder = dir.filePath(QStringLiteral("已有文件夹.csv"));
    for (const QString& path : {missing, underFile, folder}) {
        const std::optional<QString> failure = ListingExport(nullptr).toFile(path, numbered(10));
        ASSERT_TRUE(failure.has_value()) << path.toStdString();
        EXPECT_FALSE(failure->isEmpty());
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    // No half-written side file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(),
              2);
}

TEST(ListingExport, AMillionRowsArriveWholeWithProgressEveryMoment) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("百万.csv"));
    ListingExport::Listing listing;
    listing.header = {QStringLiteral("序号"), QStringLiteral("操作事件"),
                      QStringLiteral("金额总计")};
    listing.rowCount = 1000000;
    listing.cell = [](int row, int column) {
        return column == 0   ? QString::number(row + 1)
               : column == 1 ? QStringLiteral("读者还书")
                             : QStringLiteral("1.50");
    };
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longestGap = 0;
    int reports = 0;
    const ListingExport exporter([&](int) {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
        ++reports;
    });
    ASSERT_EQ(exporter.toFile(path, listing), std::nullopt);
    // The window gets its turn every 40 ms or so; even a busy machine stays under two seconds.
    EXPECT_LT(longestGap, 2000);
    EXPECT_GT(reports, 1);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 1000001);
    EXPECT_TRUE(bytes.endsWith(QStringLiteral("1000000,读者还书,1.50\r\n").toUtf8()));
}

} // namespace
} // namespace lms
