// A shop's Jet 4.0 file damaged anywhere on its data pages: reading it either gives every live
// row of each table once, as many as the table says it keeps, or refuses it as damaged; it never
// crashes, hangs or reads beyond a page.
#include "Check.h"
#include "storage/jet/JetReader.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <unistd.h>

namespace {

using lms::fuzz::check;

constexpr int kPage = 4096;

const QByteArray& fixture() {
    static const QByteArray bytes = [] {
        QFile file(QStringLiteral(LMS_FUZZ_JET_SHOP));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return bytes;
}

// The data pages of the fixture: where rows, their offsets and their marks lie.
const QList<int>& dataPages() {
    static const QList<int> pages = [] {
        QList<int> found;
        const QByteArray& file = fixture();
        for (int page = 0; (page + 1) * kPage <= file.size(); ++page)
            if (file[page * kPage] == 1)
                found << page;
        return found;
    }();
    return pages;
}

QString scratchFile() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/lms-jet-fuzz-%1.zqd").arg(::getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    QByteArray file = fixture();
    check(!file.isEmpty() && !dataPages().isEmpty(), "the fixture is there", QString());
    // Each four bytes: a data page, an offset in it (two bytes) and the byte written there.
    for (size_t i = 0; i + 4 <= size; i += 4) {
        const int page = dataPages()[bytes[i] % dataPages().size()];
        const int offset = (bytes[i + 1] | bytes[i + 2] << 8) % kPage;
        file[page * kPage + offset] = static_cast<char>(bytes[i + 3]);
    }
    {
        QFile scratch(scratchFile());
        if (!scratch.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        scratch.write(file);
    }
    try {
        lms::Jet::Reader reader(scratchFile());
        for (const lms::Jet::TableInfo& table : reader.catalog()) {
            qsizetype columns = -1;
            qint64 rows = 0;
            reader.readTable(
                table.name, [&](const QList<lms::Jet::Column>& all) { columns = all.size(); },
                [&](const lms::Jet::Row& row) {
                    check(row.size() == columns, "every row has a value per column", table.name);
                    ++rows;
                });
            check(rows == table.keptRows, "a table read gives the rows it keeps", table.name);
        }
    } catch (const lms::Jet::ReadError&) {
        // Refused as damaged: the program says so and stays.
    }
    return 0;
}
