// Importing readers: registration's rules with their reasons, the proposals of the reader type
// for what the file leaves out, the deposit balance brought in as 押金, and a money ledger that
// records nothing for it (the money was taken in by the earlier system, not today).
#include "ImportFixture.h"

#include "core/DateRules.h"

namespace lms::test {
namespace {

const QStringList kHeader = {QStringLiteral("读者编号"), QStringLiteral("读者姓名"),
                             QStringLiteral("读者类型"), QStringLiteral("缴纳押金"),
                             QStringLiteral("性别"),     QStringLiteral("联系电话"),
                             QStringLiteral("未还图书")};

class ReaderImport : public ImportTest {
protected:
    QVariant readerColumn(const char* id, const char* name) {
        return column(QStringLiteral("读者"), QStringLiteral("读者编号"), QString::fromUtf8(id),
                      QString::fromUtf8(name));
    }
};

TEST_F(ReaderImport, EachRowGetsRegistrationsVerdictWithItsReason) {
    const QString path = writeUtf8(
        QStringLiteral("readers.csv"),
        {kHeader,
         {QStringLiteral("R1"), QStringLiteral("张三")},
         {QStringLiteral("R2"), QString(11, QChar(0x5F20))},
         {QStringLiteral("R3"), QStringLiteral("李四"), QStringLiteral("包周")},
         {QStringLiteral("R4"), QStringLiteral("王五"), QString(), QStringLiteral("五十")},
         {QStringLiteral("R5"), QStringLiteral("赵六"), QString(), QString(),
          QStringLiteral("未知")},
         {QStringLiteral("R6"), QStringLiteral("钱七"), QString(), QString(), QString(),
          QString(10, QLatin1Char('1'))},
         {QStringLiteral("R7"), QStringLiteral("孙八"), QString(), QString(), QString(), QString(),
          QStringLiteral("2")},
         {QStringLiteral("R123456789"), QStringLiteral("周九")},
         {QStringLiteral("R8"), QStringLiteral(" ")}});
    ASSERT_TRUE(preview(readers, path));
    const QStringList expected = {
        QStringLiteral("2|可导入|"),
        QStringLiteral("3|拒绝|读者姓名最多20个字节（一个汉字占两个），这一格有22个字节"),
        QStringLiteral("4|拒绝|读者类型：“包周”不是“包月”、“包季度”、“包年”、“按日租借”之一"),
        QStringLiteral("5|拒绝|缴纳押金：输入费用金额错误！请输入正确的金额。"),
        QStringLiteral("6|拒绝|性别：“未知”不是“男”、“女”之一"),
        QStringLiteral("7|可导入|"),
        QStringLiteral("8|拒绝|未还图书：读者还有2本书未还，借出记录不随文件而来，"
                       "请在图书归还后导入，或改为0"),
        QStringLiteral("9|拒绝|读者编号最多8个字符，请重新输入！"),
        QStringLiteral("10|拒绝|请输入读者姓名！"),
    };
    EXPECT_EQ(verdicts(readers), expected);
    EXPECT_EQ(readers.tsxx.text(),
              QStringLiteral("文件中没有的列按添加读者时的默认值填写：租借有效期、当前状态、状态设"
                             "置期、借阅总计、证件号码、备注、开户日期、最多持有图书数量、最长持"
                             "有图书天数"));
}

TEST_F(ReaderImport, ReadersBringTheirDepositAndTheTypesProposalsWithoutALedgerRecord) {
    const QString path =
        writeGbk(QStringLiteral("会员.csv"),
                 {kHeader,
                  {QStringLiteral("R1"), QStringLiteral("张三"), QStringLiteral("包年"),
                   QStringLiteral("250.5"), QStringLiteral("女"), QStringLiteral("13800000000"),
                   QStringLiteral("0")},
                  {QStringLiteral("R2"), QStringLiteral("李四")},
                  {QStringLiteral("R3"), QStringLiteral("王五"), QStringLiteral("按日租借"),
                   QStringLiteral("-12")}});
    import(readers, path);
    ASSERT_EQ(prompter.texts().value(1), QStringLiteral("导入成功！已导入 3 名读者。"));
    const QString now = Dates::toStorage(clock.now());
    EXPECT_EQ(readerColumn("R1", "押金").toDouble(), 250.5);
    EXPECT_EQ(readerColumn("R1", "性别").toString(), QStringLiteral("女"));
    EXPECT_EQ(readerColumn("R1", "电话").toString(), QStringLiteral("13800000000"));
    EXPECT_EQ(readerColumn("R1", "最多持有图书数量").toInt(), 8);
    EXPECT_EQ(readerColumn("R1", "借阅有效期").toString(),
              Dates::toStorage(clock.now().addMonths(12)));
    // What registration proposes where the file has nothing, the deposit apart: the import
    // takes in no money, so a reader without a balance has none.
    EXPECT_EQ(readerColumn("R2", "读者类型").toString(), QStringLiteral("包月"));
    EXPECT_EQ(readerColumn("R2", "性别").toString(), QStringLiteral("男"));
    EXPECT_EQ(readerColumn("R2", "押金").toDouble(), 0.0);
    EXPECT_EQ(readerColumn("R2", "最长持有图书天数").toInt(), 30);
    EXPECT_EQ(readerColumn("R2", "借阅有效期").toString(),
              Dates::toStorage(clock.now().addMonths(1)));
    EXPECT_EQ(readerColumn("R2", "当前状态").toString(), QStringLiteral("正常使用"));
    EXPECT_EQ(readerColumn("R2", "开户日期").toString(), now);
    EXPECT_EQ(readerColumn("R2", "未还数量").toInt(), 0);
    EXPECT_EQ(readerColumn("R3", "押金").toDouble(), -12.0);
    EXPECT_EQ(readerColumn("R3", "借阅有效期").toString(), now);
    EXPECT_EQ(readerColumn("R3", "最多持有图书数量").toInt(), 3);

    EXPECT_EQ(shop.count(QStringLiteral("资金")), 0)
        << "deposits taken in by the earlier system are no income of today";
    EXPECT_EQ(
        joinedRows(shop.dm->db(), QStringLiteral("日志"),
                   {QStringLiteral("事件"), QStringLiteral("操作者"), QStringLiteral("说明")}),
        QStringList{
            QStringLiteral("导入读者|clerk|文件：会员.csv  读者数量：3  押金合计(元)：238.5")});
}

} // namespace
} // namespace lms::test
