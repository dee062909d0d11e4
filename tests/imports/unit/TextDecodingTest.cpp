// Finding a file's encoding by itself: UTF-8 with or without its mark, GBK as spreadsheet
// programs on Chinese systems write it, UTF-16 with its mark; files that are not text, or text
// in neither encoding, are refused with a reason. And the dates a file may write.
#include "imports/TextDecoding.h"
#include "imports/DateText.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace lms::Imports {
namespace {

const QString kText = QStringLiteral("图书编号,图书名称\r\nB1,红楼梦 《上》\r\n");

TEST(TextDecoding, FindsTheEncodingItself) {
    struct Case {
        QByteArray bytes;
        const char* encoding;
    };
    const Case cases[] = {
        {kText.toUtf8(), "UTF-8"},
        {"\xEF\xBB\xBF" + kText.toUtf8(), "UTF-8（带BOM）"},
        {QStringEncoder("GB18030").encode(kText), "GBK"},
        {QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom).encode(kText),
         "UTF-16（带BOM）"},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.text, kText) << c.encoding;
        EXPECT_EQ(decoded.encoding, QString::fromUtf8(c.encoding));
        EXPECT_TRUE(decoded.problem.isEmpty()) << decoded.problem.toStdString();
    }
    EXPECT_EQ(decodeText(QByteArray()).encoding, QStringLiteral("UTF-8")) << "an empty file";
}

TEST(TextDecoding, RefusesWhatIsNotTextInEitherEncoding) {
    struct Case {
        QByteArray bytes;
        const char* problem; // its beginning
    };
    const Case cases[] = {
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "这个文件不是文本文件"},
        {QByteArray("a,b\r\n1,\0\r\n", 10), "这个文件不是文本文件"},
        {"\x81\x20\xFF\xFE\xFD", "无法识别文件的编码"},
        {QByteArray("\xFF\xFE"
                    "a\0,\0\0\0",
                    8),
         "这个文件不是文本文件"}, // UTF-16 holding U+0000
        {"\xEF\xBB\xBF\xC3\x28", "文件以 UTF-8 标记开头，内容却不是有效的 UTF-8 文字。"},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_TRUE(decoded.problem.startsWith(QString::fromUtf8(c.problem)))
            << decoded.problem.toStdString();
        EXPECT_TRUE(decoded.text.isEmpty());
    }
}

TEST(DateText, ReadsTheListingsFormsTheStoredFormAndSpreadsheetDates) {
    struct Case {
        const char* text;
        QDateTime moment; // invalid: not a date
    };
    const QDate day(2026, 3, 14);
    const Case cases[] = {
        {"2026/3/14 10:30:05", QDateTime(day, QTime(10, 30, 5))},
        {"2026/3/14", QDateTime(day, QTime(0, 0))},
        {" 2026-03-14 10:30:05.250 ", QDateTime(day, QTime(10, 30, 5, 250))},
        {"2026.3.14 9:05", QDateTime(day, QTime(9, 5))},
        {"2026年3月14日", QDateTime(day, QTime(0, 0))},
        {"2024/2/29", QDateTime(QDate(2024, 2, 29), QTime(0, 0))},
        {"2026/2/29", {}},
        {"2026/3/14 24:00:00", {}},
        {"14/3/2026", {}},
        {"2026/3", {}},
        {"明天", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const std::optional<QDateTime> read = readDateText(QString::fromUtf8(c.text));
        EXPECT_EQ(read.value_or(QDateTime()), c.moment) << c.text;
    }
}

} // namespace
} // namespace lms::Imports
