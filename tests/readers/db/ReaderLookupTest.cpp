// The reader lookup the reader and circulation screens share: the row read by id, its outcomes
// with their boxes, and the row shown in whichever of the usual fields a screen has.
#include "ReaderFixture.h"

#include "core/form/FormModel.h"
#include "readers/ReaderLookup.h"

namespace lms::test {
namespace {

using lms::LookupOutcome;

// A screen with some of the usual reader fields, as borrowing has them.
class ReaderPanel : public FormModel {
public:
    ReaderPanel() : FormModel(QStringLiteral("panel"), QString()) {
        addField(QStringLiteral("tzxm"), FieldKind::Text);
        addField(QStringLiteral("tzrx"), FieldKind::List)
            .setItems({QStringLiteral("包月"), QStringLiteral("包季度"), QStringLiteral("包年"),
                       QStringLiteral("按日租借")});
        addField(QStringLiteral("xp"), FieldKind::List)
            .setItems({QStringLiteral("男"), QStringLiteral("女")});
        addField(QStringLiteral("tzbz"), FieldKind::Memo);
        addField(QStringLiteral("whsn"), FieldKind::Spin);
        addField(QStringLiteral("jyzj"), FieldKind::Spin);
        addField(QStringLiteral("yj"), FieldKind::Text);
        addField(QStringLiteral("tzztszq"), FieldKind::Date);
    }
};

using ReaderLookupTest = ReaderScreenTest;

TEST_F(ReaderLookupTest, FindsTheReaderWithExactlyThatId) {
    addReader(QStringLiteral("001"), {{QStringLiteral("押金"), 0.1},
                                      {QStringLiteral("未还数量"), 2},
                                      {QStringLiteral("借阅总计"), 9}});
    addReader(QStringLiteral("1"));
    const Readers::ReaderLookup lookup =
        Readers::lookUpReader(*shop.dm, prompter, QStringLiteral("001"));
    ASSERT_TRUE(lookup.found());
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(lookup.reader.id, QStringLiteral("001"));
    EXPECT_EQ(lookup.reader.booksOut, 2);
    EXPECT_EQ(lookup.reader.loansTotal, 9);
    EXPECT_EQ(lookup.reader.typeIndex(), 0);
    EXPECT_EQ(lookup.reader.stateIndex(), 0);
    EXPECT_EQ(lookup.reader.validity, at(2026, 4, 5, 9, 0));
    EXPECT_EQ(Readers::depositText(lookup.reader), QStringLiteral("0.1"));
}

TEST_F(ReaderLookupTest, AnUnknownIdShowsTheNotFoundErrorAndAFailureTheDatabaseError) {
    addReader(QStringLiteral("a%"));
    const auto missing = Readers::lookUpReader(*shop.dm, prompter, QStringLiteral("a_"));
    EXPECT_EQ(missing.outcome, LookupOutcome::NotFound);
    EXPECT_EQ(prompter.single(), QStringLiteral("读者编号为：a_的读者在系统中不存在！") +
                                     QChar(13) + QChar(13) +
                                     QStringLiteral("请输入新的读者编号。"));
    prompter.clear();
    FailingStatements failure(shop.dm->db(), QStringLiteral("FROM 读者"));
    const auto failed = Readers::lookUpReader(*shop.dm, prompter, QStringLiteral("a%"));
    EXPECT_EQ(failed.outcome, LookupOutcome::Failed);
    EXPECT_EQ(prompter.single(), QStringLiteral("连接数据库出错!"));
}

TEST_F(ReaderLookupTest, ShowsTheRowInTheFieldsTheScreenHas) {
    addReader(QStringLiteral("R1"), {{QStringLiteral("读者类型"), QStringLiteral("包半年")},
                                     {QStringLiteral("性别"), QStringLiteral("女")},
                                     {QStringLiteral("备注"), QStringLiteral("两行\r\n备注")},
                                     {QStringLiteral("押金"), -2.5},
                                     {QStringLiteral("未还数量"), 1},
                                     {QStringLiteral("借阅总计"), 4}});
    ReaderPanel panel;
    panel.field(QStringLiteral("tzrx")).setItemIndex(2);
    const auto lookup = Readers::lookUpReader(*shop.dm, prompter, QStringLiteral("R1"));
    ASSERT_TRUE(lookup.found());
    Readers::showReader({.name = &panel.field(QStringLiteral("tzxm")),
                         .type = &panel.field(QStringLiteral("tzrx")),
                         .sex = &panel.field(QStringLiteral("xp")),
                         .remark = &panel.field(QStringLiteral("tzbz")),
                         .booksOut = &panel.field(QStringLiteral("whsn")),
                         .loansTotal = &panel.field(QStringLiteral("jyzj")),
                         .stateSince = &panel.field(QStringLiteral("tzztszq")),
                         .deposit = &panel.field(QStringLiteral("yj"))},
                        lookup.reader);
    EXPECT_EQ(panel.field(QStringLiteral("tzxm")).text(), QStringLiteral("Wang"));
    EXPECT_EQ(panel.field(QStringLiteral("tzrx")).itemIndex(), -1) << "type not among the items";
    EXPECT_EQ(panel.field(QStringLiteral("xp")).text(), QStringLiteral("女"));
    EXPECT_EQ(panel.field(QStringLiteral("tzbz")).text(), QStringLiteral("两行\r\n备注"));
    EXPECT_EQ(panel.field(QStringLiteral("whsn")).number(), 1);
    EXPECT_EQ(panel.field(QStringLiteral("jyzj")).number(), 4);
    EXPECT_EQ(panel.field(QStringLiteral("yj")).text(), QStringLiteral("-2.5"));
    EXPECT_EQ(panel.field(QStringLiteral("tzztszq")).value().toDateTime(), at(2026, 1, 5, 9, 0));
}

} // namespace
} // namespace lms::test
