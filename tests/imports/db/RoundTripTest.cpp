// A whole listing exported from "所有图书查询" or "读者查询统计" of one shop imports into an empty
// shop and lists the same there, texts the export protects from spreadsheets included.
#include "ImportFixture.h"

#include "core/DateRules.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallReader.h"

namespace lms::test {
namespace {

class RoundTrip : public ImportTest {
protected:
    RoundTrip() : emptyContext{*empty.dm, empty.pub, prompter, clock, host} {
        empty.pub = shop.pub;
        empty.pub.AppPath = empty.folder.path();
        Database& db = shop.dm->db();
        // Moments with seconds and milliseconds, some days before now.
        const auto stored = [](int days) {
            return Dates::toStorage(at(2026, 3, 14, 10, 30).addDays(-days).addMSecs(days * 37001));
        };
        addBook(db, QStringLiteral("B1"),
                {{QStringLiteral("图书名称"), QStringLiteral("红楼梦, 上\"册\"")},
                 // Texts a spreadsheet would run and a negative price, all as they were.
                 {QStringLiteral("作者"), QStringLiteral("=曹雪芹")},
                 {QStringLiteral("附件"), QStringLiteral("'@光盘")},
                 {QStringLiteral("价格"), QStringLiteral("-32.80")},
                 {QStringLiteral("借阅次数"), 12},
                 {QStringLiteral("备注"), QStringLiteral("精装,两册 50%")},
                 {QStringLiteral("状态设置期"), stored(40)},
                 {QStringLiteral("录入时间"), stored(400)}});
        addBook(
            db, QStringLiteral("书2"),
            {{QStringLiteral("图书类型"), QStringLiteral("漫画")},
             {QStringLiteral("当前状态"), QStringLiteral("破损遗失")},
             {QStringLiteral("状态设置期"), stored(1)},
             {QStringLiteral("录入时间"), Dates::toStorage(QDateTime(QDate(2024, 2, 29), {}))}});
        addReader(db, QStringLiteral("R1"),
                  {{QStringLiteral("读者姓名"), QStringLiteral("+张\"三\",李")},
                   {QStringLiteral("证件号码"), QStringLiteral("-110")},
                   {QStringLiteral("押金"), 0.1},
                   {QStringLiteral("借阅总计"), 17},
                   {QStringLiteral("备注"), QStringLiteral("@常客, 'VIP'")},
                   {QStringLiteral("借阅有效期"), stored(-300)},
                   {QStringLiteral("状态设置期"), stored(20)}});
        addReader(db, QStringLiteral("R2"),
                  {{QStringLiteral("读者类型"), QStringLiteral("按日租借")},
                   {QStringLiteral("当前状态"), QStringLiteral("挂失停用")},
                   {QStringLiteral("性别"), QStringLiteral("女")},
                   {QStringLiteral("押金"), -3.5},
                   {QStringLiteral("借阅有效期"), stored(2)},
                   {QStringLiteral("状态设置期"), stored(3)}});
    }
    // The listing a query screen shows, header first.
    static QList<QStringList> listed(QueryScreen& screen) {
        screen.FormShow();
        QList<QStringList> rows;
        const ResultTable& grid = screen.results();
        for (int r = -1; r < grid.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid.columnCount(); ++c)
                cells << (r < 0 ? grid.headerData(c, Qt::Horizontal).toString()
                                : grid.cellText(r, c));
            rows << cells;
        }
        return rows;
    }

    // Exports the source shop's listing, imports it into the empty shop, and lists it there.
    template <typename Listing, typename Import> void roundTrip(const QString& file) {
        Listing source(ctx);
        const QList<QStringList> before = listed(source);
        prompter.answerSaveFile(shop.folder.file(file));
        source.Button3Click();
        Import importing(emptyContext);
        import(importing, shop.folder.file(file));
        EXPECT_EQ(importing.check()->refusedCount(), 0);
        Listing target(emptyContext);
        EXPECT_EQ(listed(target), before);
    }

    ShopDatabase empty;
    ScreenContext emptyContext;
};

TEST_F(RoundTrip, TheBookListingOfOneShopImportsIntoAnEmptyShopAsTheSameListing) {
    roundTrip<Tfrm_QallBook, Tfrm_DRBook>(QStringLiteral("所有图书.csv"));
}

TEST_F(RoundTrip, TheReaderListingWithItsTotalsImportsIntoAnEmptyShopAsTheSameListing) {
    roundTrip<Tfrm_QallReader, Tfrm_DRReader>(QStringLiteral("读者.csv"));
    EXPECT_TRUE(prompter.texts().contains(QStringLiteral("导入成功！已导入 2 名读者。")));
}

} // namespace
} // namespace lms::test
