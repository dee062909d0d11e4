// Importing with each statement of the import failing in turn, the last row's statement
// included: the file's rows are stored whole with their log record or not at all, and pressing
// "导入" again then stores them.
#include "ImportFixture.h"

#include "support/EveryStatementFault.h"

namespace lms::test {
namespace {

class ImportFaults : public ImportTest {};

TEST_F(ImportFaults, EachFailingStatementStoresNothingAndImportingAgainStoresEveryRow) {
    // More rows than one statement takes, so that the last rows go in a statement of their own.
    QList<QStringList> records = {
        {QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("价格")}};
    for (int i = 1; i <= 250; ++i)
        records << QStringList{QStringLiteral("B%1").arg(i), QStringLiteral("书%1").arg(i),
                               QStringLiteral("9.5")};
    const QString path = writeUtf8(QStringLiteral("books.csv"), records);
    FaultedOperation operation;
    operation.name = QStringLiteral("book import");
    operation.success = QStringLiteral("导入成功！已导入 250 本图书。");
    operation.prepare = [this, &path] { ASSERT_TRUE(preview(books, path)); };
    operation.press = [this] {
        prompter.answer(true);
        books.Button1Click();
    };
    const int faults = failEveryStatementInTurn(*shop.dm, prompter, operation);
    EXPECT_GE(faults, 5) << "the existing ids, three statements of rows, the log record";
}

} // namespace
} // namespace lms::test
