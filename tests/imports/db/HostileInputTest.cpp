// Hostile cells in the files of the import: every value of the hostile list in every column the
// import reads, a file of one row each, through the preview and "导入"; and the long generated
// list (control characters, invisible characters, texts a spreadsheet would run, pieces of CSV,
// around and inside a good text) in every column, a file of many rows for each kind. A refused
// cell leaves every row of the database as it was; an accepted one is stored as the import
// stores its column, and nothing else changes.
#include "ImportFixture.h"

#include "core/GbkText.h"
#include "core/LineText.h"
#include "imports/BookRows.h"
#include "imports/ReaderRows.h"
#include "support/HostileInput.h"

#include <QStringDecoder>
#include <sqlite3.h>

namespace lms::test {
namespace {

// How an accepted cell is found in its column.
enum class Kept {
    AsIs,        // byte for byte
    Trimmed,     // an id, without the blanks around it
    LinesJoined, // a remark
    Chosen,      // one of a list's items (or the default for an empty cell)
    Read,        // a date, a number or a count: read, not kept as text
};

struct KindColumns {
    QStringList header;     // the listing's names
    QStringList stored;     // the table's columns in the same order
    QStringList goodRow;    // a row the kind takes
    std::vector<Kept> kept; // per column
    QStringList longOn;     // the columns the long values go into
};

KindColumns columnsOf(const Imports::ImportKind& kind, const QStringList& goodRow,
                      const std::vector<Kept>& kept, const QStringList& longOn) {
    KindColumns c{{}, kind.storedColumns(), goodRow, kept, longOn};
    for (const Imports::ImportColumn& column : kind.columns())
        c.header << column.name;
    return c;
}

const KindColumns& bookColumns() {
    using K = Kept;
    static const KindColumns columns =
        columnsOf(Imports::BookRows(),
                  {QStringLiteral("N001"), QStringLiteral("书名"), QString(),
                   QStringLiteral("作者"), QStringLiteral("光盘"), QStringLiteral("9.5"),
                   QStringLiteral("备注"), QString(), QString(), QString(), QString()},
                  {K::Trimmed, K::AsIs, K::Chosen, K::AsIs, K::AsIs, K::AsIs, K::LinesJoined,
                   K::Chosen, K::Read, K::Read, K::Read},
                  {QStringLiteral("图书名称"), QStringLiteral("备注")});
    return columns;
}

const KindColumns& readerColumns() {
    using K = Kept;
    static const KindColumns columns =
        columnsOf(Imports::ReaderRows(),
                  {QStringLiteral("N001"), QStringLiteral("姓名"), QString(), QString(), QString(),
                   QString(), QString(), QString(), QString(), QString(), QStringLiteral("110"),
                   QStringLiteral("备注"), QStringLiteral("138"), QString(), QString(), QString()},
                  {K::Trimmed, K::AsIs, K::Chosen, K::Read, K::Read, K::Chosen, K::Read, K::Read,
                   K::Read, K::Chosen, K::AsIs, K::LinesJoined, K::AsIs, K::Read, K::Read, K::Read},
                  {QStringLiteral("读者姓名"), QStringLiteral("备注")});
    return columns;
}

// The text of a value as the import reads it from a UTF-8 file: broken UTF-16 as UTF-8 keeps it,
// and a cell an export protected from spreadsheets stands for the text behind its apostrophe.
QString asRead(const QString& value) {
    // Inside the file a byte-order mark is a character like any other.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return Csv::fromSpreadsheetCell(utf8.decode(value.toUtf8()));
}

QString keptForm(const QString& cell, Kept kept) {
    switch (kept) {
    case Kept::AsIs:
    case Kept::Read:
        return cell;
    case Kept::Trimmed:
    case Kept::Chosen:
        return cell.trimmed();
    case Kept::LinesJoined:
        return Gbk::joinLines(cell);
    }
    return cell;
}

class HostileImportInput : public ImportTest {
protected:
    HostileImportInput() {
        // Ids the shop has already, holding what a lookup must take literally.
        for (const char* id : {"O'Brien", "' OR '1'='1", "%", "_", "N\"1"}) {
            addBook(shop.dm->db(), QString::fromUtf8(id));
            addReader(shop.dm->db(), QString::fromUtf8(id));
        }
    }
    ~HostileImportInput() override { tried += runner.tried() + batchTried; }
    static void TearDownTestSuite() { reportInputsTried("imports", tried); }

    // Previews the file and imports its good rows; false when the file is refused whole.
    bool importFile(ImportScreen& screen, const QString& path) {
        const qsizetype shown = host.shown().size();
        prompter.answerFile(path);
        screen.ImportMenuClick();
        if (host.shown().size() == shown || !screen.finishChecking())
            return false;
        screen.Button1Click();
        return true;
    }

    // Each hostile value in each column, a file of one row, as one attempt of the runner.
    void passOverCells(ImportScreen& screen, const KindColumns& kind, const QString& table) {
        const QString path = shop.folder.file(QStringLiteral("hostile.csv"));
        for (qsizetype c = 0; c < kind.header.size(); ++c) {
            const Kept kept = kind.kept[std::size_t(c)];
            std::optional<StoredColumn> stored;
            if (kept != Kept::Read && kept != Kept::Chosen)
                stored = StoredColumn{table, kind.stored[c],
                                      kept == Kept::AsIs      ? StoredForm::AsTyped
                                      : kept == Kept::Trimmed ? StoredForm::Trimmed
                                                              : StoredForm::LinesJoined};
            for (const HostileValue& value : hostileValues()) {
                if (value.isLong && !kind.longOn.contains(kind.header[c]))
                    continue;
                runner.attempt(
                    screen.objectName(), kind.header[c], value,
                    [&] {
                        QStringList row = kind.goodRow;
                        row[c] = value.text;
                        writeUtf8(QStringLiteral("hostile.csv"), {kind.header, row});
                        return asRead(value.text);
                    },
                    {{}, [&] { importFile(screen, path); }, {}}, stored);
            }
        }
    }

    // Every generated value in every column, one row each, in one file: the rows the preview
    // takes are stored as their columns keep them, the refused ones leave no trace, and the rest
    // of the database stays as it was but for the import's log record.
    void passOverGeneratedCells(ImportScreen& screen, const KindColumns& kind,
                                const QString& table) {
        QList<QStringList> records = {kind.header};
        std::vector<std::pair<qsizetype, QString>> inputs; // the column and the value of a row
        for (qsizetype c = 0; c < kind.header.size(); ++c) {
            for (const HostileValue& value : generatedHostileValues()) {
                QStringList row = kind.goodRow;
                row[0] = QStringLiteral("H%1").arg(records.size(), 5, 10, QLatin1Char('0'));
                row[c] = value.text;
                records << row;
                inputs.emplace_back(c, asRead(value.text));
            }
        }
        prompter.answer(true);  // import the good rows
        prompter.answer(false); // and save no file of the refused ones
        const DatabaseDump before = dumpDatabase(shop.dm->db());
        ASSERT_TRUE(importFile(screen, writeUtf8(QStringLiteral("generated.csv"), records)))
            << prompter.lastText().toStdString();
        batchTried += static_cast<int>(inputs.size());
        const DatabaseDump after = dumpDatabase(shop.dm->db());
        const Imports::ImportCheck& check = *screen.check();
        ASSERT_EQ(check.rowCount(), qsizetype(inputs.size()));

        const QStringList others = {table, QStringLiteral("日志")};
        EXPECT_EQ(before.without(others), after.without(others))
            << describeDifference(before.without(others), after.without(others)).toStdString();
        const std::vector<DatabaseDump::Row> added = changedRows(before, after, table);
        EXPECT_EQ(qsizetype(added.size()), check.goodCount())
            << "rows of " << table.toStdString() << " changed or added beyond the good rows";
        EXPECT_EQ(changedRows(before, after, QStringLiteral("日志")).size(), 1u);
        EXPECT_GT(check.goodCount(), 0);
        EXPECT_GT(check.refusedCount(), 0);

        // The good rows in the order of the file, each holding its value as its column keeps it.
        std::size_t next = 0;
        for (int r = 0; r < check.rowCount() && next < added.size(); ++r) {
            if (!check.isGood(r))
                continue;
            const auto [c, cell] = inputs[std::size_t(r)];
            const Kept kept = kind.kept[std::size_t(c)];
            const auto stored = cellBytes(after, table, added[next++], kind.stored[c]);
            ASSERT_TRUE(stored.has_value());
            if (kept == Kept::Read || kept == Kept::Chosen)
                continue;
            EXPECT_EQ(*stored, keptForm(cell, kept).toUtf8())
                << "row " << r + 2 << ", " << kind.header[c].toStdString() << " "
                << describeCell({SQLITE_TEXT, cell.toUtf8()}).toStdString();
        }
        // A cell the import keeps as text holds no line break, tab or control character, but
        // for a remark's tabs and control characters.
        for (int r = 0; r < check.rowCount(); ++r) {
            const auto [c, cell] = inputs[std::size_t(r)];
            if (check.isGood(r) && kind.kept[std::size_t(c)] != Kept::LinesJoined &&
                kind.kept[std::size_t(c)] != Kept::Read) {
                EXPECT_FALSE(LineText::firstForbidden(keptForm(cell, kind.kept[std::size_t(c)])))
                    << "row " << r + 2 << ", " << kind.header[c].toStdString();
            }
        }
    }

    HostileRunner runner{shop.dm->db(), prompter};
    int batchTried = 0;
    static inline int tried = 0;
};

TEST_F(HostileImportInput, BookCells) {
    passOverCells(books, bookColumns(), QStringLiteral("图书"));
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileImportInput, ReaderCells) {
    passOverCells(readers, readerColumns(), QStringLiteral("读者"));
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileImportInput, GeneratedBookCells) {
    passOverGeneratedCells(books, bookColumns(), QStringLiteral("图书"));
}

TEST_F(HostileImportInput, GeneratedReaderCells) {
    passOverGeneratedCells(readers, readerColumns(), QStringLiteral("读者"));
}

} // namespace
} // namespace lms::test
