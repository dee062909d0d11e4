// Every writing screen of the counter against every operation of another desk that changes the
// same row between this desk's lookup and its button: the store checks under the shop's lock
// what the screen looked up, so nothing another desk stored is taken back, no book parts from
// its loan, and this desk is told what happened.
#include "books/BookMessages.h"
#include "books/Tfrm_GGBook.h"
#include "books/Tfrm_SCBook.h"
#include "circulation/CirculationMessages.h"
#include "circulation/db/TwoDesksFixture.h"
#include "readers/ReaderMessages.h"
#include "readers/Tfrm_GGReader.h"
#include "readers/Tfrm_SZReader.h"

#include <memory>

namespace lms::test {
namespace {

class DeskRaces;

// One race: this desk's screen looked up (returning its button press), the other desk's
// operation that runs just before the press's transaction, the box this desk must show last,
// and what the shop must hold afterwards.
struct Race {
    const char* name;
    std::function<std::function<void()>(DeskRaces&)> mine;
    std::function<void(DeskRaces&, ScreenContext&)> theirs;
    std::function<QString()> message;
    std::function<void(DeskRaces&)> holds;
};

class DeskRaces : public TwoDesks, public ::testing::WithParamInterface<Race> {
public:
    // The races' steps reach into the fixture.
    using CirculationTest::addBook;
    using CirculationTest::bookColumn;
    using CirculationTest::loansOf;
    using ReaderScreenTest::readerColumn;
    using ShopScreenTest::prompter;
    using ShopScreenTest::shop;
    using TwoDesks::other;

    DeskRaces() {
        addBook(QStringLiteral("B002"));
        addLoan(shop.dm->db(), QStringLiteral("B002"), QStringLiteral("R001"));
        Query(shop.dm->db(), QStringLiteral("UPDATE 图书 SET 当前状态 = '已借出' WHERE "
                                            "图书编号 = 'B002'"))
            .exec();
        Query(shop.dm->db(), QStringLiteral("UPDATE 读者 SET 未还数量 = 1 WHERE 读者编号 = 'R001'"))
            .exec();
    }

    // Screens kept alive until the press that the race returns has run.
    template <typename Screen> std::shared_ptr<Screen> screen(ScreenContext& desk) {
        auto made = std::make_shared<Screen>(desk);
        made->FormShow();
        return made;
    }
    template <typename Screen, typename Edit>
    std::function<void()> changeOf(const QString& id, Edit edit) {
        auto change = screen<Screen>(ctx);
        if constexpr (std::is_same_v<Screen, Tfrm_GGReader>)
            change->ID.type(id);
        else
            change->id.type(id);
        edit(*change);
        return [change] { change->Button1Click(); };
    }
    std::function<void()> lendingOf(const QString& reader, const QString& book) {
        auto lending = screen<Tfrm_TZJBook>(ctx);
        lookUpLoan(*lending, reader, book);
        return [lending] { lending->Button1Click(); };
    }
    std::function<void()> returnOf(const QString& book) {
        auto lending = screen<Tfrm_TZJBook>(ctx);
        auto giving = std::make_shared<Tfrm_TZHBook>(ctx, *lending);
        bringBack(*giving, book);
        return [lending, giving] { giving->Button1Click(); };
    }
    std::function<void()> renewalOf(const QString& reader) {
        auto payment = screen<Tfrm_JNZC>(ctx);
        payment->ID.type(reader);
        return [payment] { payment->Button2Click(); };
    }

    // The other desk's operations, through its own screens.
    static void changeReaderThere(ScreenContext& desk,
                                  const std::function<void(Tfrm_GGReader&)>& edit,
                                  const QString& id = QStringLiteral("R001")) {
        Tfrm_GGReader change(desk);
        change.FormShow();
        change.ID.type(id);
        edit(change);
        change.Button1Click();
    }
    static void changeBookThere(ScreenContext& desk,
                                const std::function<void(Tfrm_GGBook&)>& edit) {
        Tfrm_GGBook change(desk);
        change.FormShow();
        change.id.type(QStringLiteral("B001"));
        edit(change);
        change.Button1Click();
    }
    void lendThere(ScreenContext& desk, const QString& reader, const QString& book) {
        Tfrm_TZJBook lending(desk);
        lendThroughScreen(lending, reader, book);
    }
    void returnThere(ScreenContext& desk, const QString& book) {
        Tfrm_TZJBook lending(desk);
        Tfrm_TZHBook giving(desk, lending);
        bringBack(giving, book);
        giving.Button1Click();
    }
    static void renewThere(ScreenContext& desk) {
        Tfrm_JNZC payment(desk);
        payment.FormShow();
        payment.ID.type(QStringLiteral("R001"));
        payment.Button2Click();
    }
    static void deleteReaderThere(ScreenContext& desk, const QString& id) {
        Tfrm_SZReader deletion(desk);
        deletion.FormShow();
        deletion.tzID.type(id);
        deletion.Button1Click();
    }
    static void deleteBookThere(ScreenContext& desk) {
        Tfrm_SCBook deletion(desk);
        deletion.FormShow();
        deletion.tsID.type(QStringLiteral("B001"));
        deletion.Button1Click();
    }

    QString reader(const char* column, const QString& id = QStringLiteral("R001")) {
        return readerColumn(id, QString::fromUtf8(column)).toString();
    }
    QString book(const char* column, const QString& id = QStringLiteral("B001")) {
        return bookColumn(id, QString::fromUtf8(column)).toString();
    }
    // Every book marked lent has exactly one loan row, and every loan row its book marked lent.
    void booksMatchLoans() {
        EXPECT_EQ(shop.dm->db()
                      .scalar(QStringLiteral(
                          "SELECT count(*) FROM 图书 b WHERE (b.当前状态 = '已借出') <> "
                          "(SELECT count(*) = 1 FROM 借出图书 l WHERE l.图书编号 = b.图书编号)"))
                      .toInt(),
                  0);
        EXPECT_EQ(shop.dm->db()
                      .scalar(QStringLiteral("SELECT count(*) FROM 读者 r WHERE 未还数量 <> "
                                             "(SELECT count(*) FROM 借出图书 l WHERE "
                                             "l.读者编号 = r.读者编号)"))
                      .toInt(),
                  0);
    }
};

const QString R001 = QStringLiteral("R001");
const QString B001 = QStringLiteral("B001");
const QString B002 = QStringLiteral("B002");
const QString renewed = Dates::toStorage(at(2026, 6, 15, 10, 0));

void setPhone(Tfrm_GGReader& change) {
    change.df.type(QStringLiteral("5550199"));
}
void setName(Tfrm_GGReader& change) {
    change.tzxm.type(QStringLiteral("赵六"));
}
void setRemark(Tfrm_GGReader& change) {
    change.bz.type(QStringLiteral("那边的备注"));
}

const Race races[] = {
    {"ReaderChangeAfterARenewal",
     [](DeskRaces& t) { return t.changeOf<Tfrm_GGReader>(R001, setPhone); },
     [](DeskRaces&, ScreenContext& desk) { DeskRaces::renewThere(desk); },
     [] { return Readers::changedElsewhereMessage(R001); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.reader("借阅有效期"), renewed);
         EXPECT_EQ(t.reader("电话"), QStringLiteral("5550100"));
     }},
    {"ReaderChangeAfterAnotherChange",
     [](DeskRaces& t) { return t.changeOf<Tfrm_GGReader>(R001, setPhone); },
     [](DeskRaces&, ScreenContext& desk) { DeskRaces::changeReaderThere(desk, setName); },
     [] { return Readers::changedElsewhereMessage(R001); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.reader("读者姓名"), QStringLiteral("赵六"));
         EXPECT_EQ(t.reader("电话"), QStringLiteral("5550100"));
     }},
    {"ReaderChangeAfterADeletion",
     [](DeskRaces& t) { return t.changeOf<Tfrm_GGReader>(QStringLiteral("R002"), setPhone); },
     [](DeskRaces&, ScreenContext& desk) {
         DeskRaces::deleteReaderThere(desk, QStringLiteral("R002"));
     },
     [] { return Readers::notFoundMessage(QStringLiteral("R002")); },
     [](DeskRaces& t) {
         EXPECT_FALSE(t.readerColumn(QStringLiteral("R002"), QStringLiteral("读者编号")).isValid());
     }},
    {"SuspensionAfterALoan",
     [](DeskRaces& t) {
         return t.changeOf<Tfrm_GGReader>(QStringLiteral("R002"), [](Tfrm_GGReader& change) {
             change.tzzt.setItemIndex(Readers::Suspended);
         });
     },
     [](DeskRaces& t, ScreenContext& desk) { t.lendThere(desk, QStringLiteral("R002"), B001); },
     [] { return Readers::changedElsewhereMessage(QStringLiteral("R002")); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.reader("当前状态", QStringLiteral("R002")), QStringLiteral("正常使用"));
         EXPECT_EQ(t.loansOf(QStringLiteral("R002")), 1);
     }},
    {"BookWrittenOffAfterALoan",
     [](DeskRaces& t) {
         return t.changeOf<Tfrm_GGBook>(B001, [&t](Tfrm_GGBook& change) {
             change.tszt.setItemIndex(Books::DamagedOrLost);
             t.prompter.answer(true);
         });
     },
     [](DeskRaces& t, ScreenContext& desk) { t.lendThere(desk, QStringLiteral("R002"), B001); },
     [] { return Books::changedElsewhereMessage(B001); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.book("当前状态"), QStringLiteral("已借出"));
         EXPECT_EQ(t.loansOf(QStringLiteral("R002")), 1);
     }},
    {"BookChangeAfterAnotherChange",
     [](DeskRaces& t) {
         return t.changeOf<Tfrm_GGBook>(
             B001, [](Tfrm_GGBook& change) { change.tsmz.type(QStringLiteral("水浒传")); });
     },
     [](DeskRaces&, ScreenContext& desk) {
         DeskRaces::changeBookThere(
             desk, [](Tfrm_GGBook& change) { change.tsbz.type(QStringLiteral("封面破")); });
     },
     [] { return Books::changedElsewhereMessage(B001); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.book("备注"), QStringLiteral("封面破"));
         EXPECT_NE(t.book("图书名称"), QStringLiteral("水浒传"));
     }},
    {"BookChangeAfterADeletion",
     [](DeskRaces& t) {
         return t.changeOf<Tfrm_GGBook>(
             B001, [](Tfrm_GGBook& change) { change.tsmz.type(QStringLiteral("水浒传")); });
     },
     [](DeskRaces&, ScreenContext& desk) { DeskRaces::deleteBookThere(desk); },
     [] { return Books::notFoundMessage(B001); },
     [](DeskRaces& t) { EXPECT_FALSE(t.bookColumn(B001, QStringLiteral("图书编号")).isValid()); }},
    {"LoanAfterTheCardWasStopped",
     [](DeskRaces& t) { return t.lendingOf(QStringLiteral("R002"), B001); },
     [](DeskRaces&, ScreenContext& desk) {
         DeskRaces::changeReaderThere(
             desk, [](Tfrm_GGReader& change) { change.tzzt.setItemIndex(Readers::LostStopped); },
             QStringLiteral("R002"));
     },
     [] { return Circulation::cannotBorrowInStateMessage(QStringLiteral("挂失停用")); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.loansOf(QStringLiteral("R002")), 0);
         EXPECT_EQ(t.book("当前状态"), QStringLiteral("未借出"));
     }},
    {"LoanAfterTheValidityWasShortened", [](DeskRaces& t) { return t.lendingOf(R001, B001); },
     [](DeskRaces&, ScreenContext& desk) {
         DeskRaces::changeReaderThere(
             desk, [](Tfrm_GGReader& change) { change.yxq.setValue(at(2026, 3, 1, 9, 0)); });
     },
     [] { return Circulation::validityOverMessage(); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.loansOf(R001), 1);
         EXPECT_EQ(t.reader("借阅有效期"), Dates::toStorage(at(2026, 3, 1, 9, 0)));
     }},
    {"LoanReachingTheLimitMeanwhile",
     [](DeskRaces& t) {
         Query(t.shop.dm->db(),
               QStringLiteral("UPDATE 读者 SET 最多持有图书数量 = 2 WHERE 读者编号 = 'R001'"))
             .exec();
         t.addBook(QStringLiteral("B003"));
         return t.lendingOf(R001, B001);
     },
     [](DeskRaces& t, ScreenContext& desk) { t.lendThere(desk, R001, QStringLiteral("B003")); },
     [] { return Readers::changedElsewhereMessage(R001); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.loansOf(R001), 2);
         EXPECT_EQ(t.book("当前状态"), QStringLiteral("未借出"));
     }},
    {"LoanKeepsARemarkWrittenMeanwhile", [](DeskRaces& t) { return t.lendingOf(R001, B001); },
     [](DeskRaces&, ScreenContext& desk) { DeskRaces::changeReaderThere(desk, setRemark); },
     [] { return Circulation::lentMessage(); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.reader("备注"), QStringLiteral("那边的备注"));
         EXPECT_EQ(t.loansOf(R001), 2);
     }},
    {"RenewalAfterATypeChange", [](DeskRaces& t) { return t.renewalOf(R001); },
     [](DeskRaces&, ScreenContext& desk) {
         DeskRaces::changeReaderThere(
             desk, [](Tfrm_GGReader& change) { change.tzrx.setItemIndex(Readers::Yearly); });
     },
     [] { return Readers::changedElsewhereMessage(R001); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.reader("读者类型"), QStringLiteral("包年"));
         EXPECT_EQ(t.reader("借阅有效期"), Dates::toStorage(at(2026, 5, 15, 10, 0)));
     }},
    {"ReturnAfterTheCardWasStopped", [](DeskRaces& t) { return t.returnOf(B002); },
     [](DeskRaces& t, ScreenContext& desk) {
         t.other.prompter.answer(true);
         DeskRaces::changeReaderThere(
             desk, [](Tfrm_GGReader& change) { change.tzzt.setItemIndex(Readers::LostStopped); });
     },
     [] { return Circulation::cannotReturnInStateMessage(QStringLiteral("挂失停用")); },
     [](DeskRaces& t) { EXPECT_EQ(t.loansOf(R001), 1); }},
    {"ReturnKeepsARemarkWrittenMeanwhile", [](DeskRaces& t) { return t.returnOf(B002); },
     [](DeskRaces&, ScreenContext& desk) { DeskRaces::changeReaderThere(desk, setRemark); },
     [] { return Circulation::returnedMessage(); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.reader("备注"), QStringLiteral("那边的备注"));
         EXPECT_EQ(t.loansOf(R001), 0);
     }},
    {"ReturnAfterAnotherDesksReturn", [](DeskRaces& t) { return t.returnOf(B002); },
     [](DeskRaces& t, ScreenContext& desk) { t.returnThere(desk, B002); },
     [] { return Circulation::noSuchLoanMessage(R001, B002); },
     [](DeskRaces& t) {
         EXPECT_EQ(t.shop.count(QStringLiteral("图书借阅历史记录")), 1);
         EXPECT_EQ(t.reader("未还数量"), QStringLiteral("0"));
     }},
};

TEST_P(DeskRaces, NothingStoredMeanwhileIsTakenBack) {
    const Race& race = GetParam();
    const std::function<void()> press = race.mine(*this);
    meanwhile([&] { race.theirs(*this, other.ctx); });
    press();
    EXPECT_EQ(prompter.texts().last(), race.message());
    race.holds(*this);
    booksMatchLoans();
}

INSTANTIATE_TEST_SUITE_P(EveryCounterWrite, DeskRaces, ::testing::ValuesIn(races),
                         [](const ::testing::TestParamInfo<Race>& race) {
                             return std::string(race.param.name);
                         });

// A book and its loan never part by a hand change: "已借出" is set by a loan only and left by
// a return only.
TEST_F(DeskRaces, TheLentStateIsNeverSetOrLeftByHand) {
    for (const int state : {Books::OnShelf, Books::DamagedOrLost}) {
        Tfrm_GGBook change(ctx);
        change.FormShow();
        change.id.type(B002);
        change.tszt.setItemIndex(state);
        prompter.answer(true);
        change.Button1Click();
        EXPECT_EQ(prompter.texts().last(), Books::lentStateKeptMessage(B002));
    }
    Tfrm_GGBook change(ctx);
    change.FormShow();
    change.id.type(B001);
    change.tszt.setItemIndex(Books::Lent);
    change.Button1Click();
    EXPECT_EQ(prompter.texts().last(), Books::lentOnlyByLoanMessage());
    EXPECT_EQ(book("当前状态", B002), QStringLiteral("已借出"));
    EXPECT_EQ(book("当前状态"), QStringLiteral("未借出"));
    booksMatchLoans();
}

} // namespace
} // namespace lms::test
