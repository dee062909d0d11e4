// Hostile typing on every text field of the book screens: registration, maintenance and
// deletion. A refusal leaves every row as it was; an acceptance stores the text as the field held
// it, and the book query lists exactly the rows holding it.
#include "BookFixture.h"

#include "books/Tfrm_GGBook.h"
#include "books/Tfrm_SCBook.h"
#include "books/Tfrm_TJBook.h"
#include "queries/Tfrm_QallBook.h"
#include "support/HostileInput.h"

namespace lms::test {
namespace {

const QString kBooks = QStringLiteral("图书");

const QHash<QString, ListedCriterion>& bookCriteria() {
    static const QHash<QString, ListedCriterion> criteria = {
        {QStringLiteral("图书名称"),
         {QStringLiteral("CheckBox2"), QStringLiteral("Edit1"), QStringLiteral("图书名称"), kBooks,
          QStringLiteral("图书名称")}},
        {QStringLiteral("备注"),
         {QStringLiteral("CheckBox4"), QStringLiteral("Edit2"), QStringLiteral("备注"), kBooks,
          QStringLiteral("备注")}},
        {QStringLiteral("图书编号"),
         {QStringLiteral("CheckBox5"), QStringLiteral("Edit3"), QStringLiteral("图书编号"), kBooks,
          QStringLiteral("图书编号")}},
    };
    return criteria;
}

class HostileBookInput : public BookScreenTest {
protected:
    HostileBookInput() : listing(ctx) {
        int n = 0;
        for (const HostileValue& value : shortHostileValues())
            addBook(QStringLiteral("H%1").arg(++n, 3, 10, QLatin1Char('0')),
                    {{QStringLiteral("图书名称"), storedForm(value.text)},
                     {QStringLiteral("备注"), storedForm(value.text)}});
        addBook(QStringLiteral("B001"));
    }
    ~HostileBookInput() override { tried += runner.tried(); }
    static void TearDownTestSuite() { reportInputsTried("books", tried); }

    void pass(FormModel& screen, const HostileRunner::Steps& steps,
              const QHash<QString, StoredColumn>& stored, const QStringList& longOn) {
        passOverTextFields(runner, screen, steps, stored, longOn, listing, bookCriteria(),
                           shop.dm->db());
    }

    Tfrm_QallBook listing;
    HostileRunner runner{shop.dm->db(), prompter};
    static inline int tried = 0;
};

TEST_F(HostileBookInput, Registration) {
    Tfrm_TJBook screen(ctx);
    pass(screen,
         {[&] {
              screen.FormShow();
              screen.field(QStringLiteral("id")).type(QStringLiteral("N001"));
              screen.field(QStringLiteral("tsmz")).type(QStringLiteral("Title"));
              screen.field(QStringLiteral("tsjg")).type(QStringLiteral("12.5"));
          },
          [&] { screen.Button1Click(); },
          {}},
         {{QStringLiteral("id"), {kBooks, QStringLiteral("图书编号"), StoredForm::Trimmed}},
          {QStringLiteral("tsmz"), {kBooks, QStringLiteral("图书名称")}},
          {QStringLiteral("tszz"), {kBooks, QStringLiteral("作者")}},
          {QStringLiteral("tsfj"), {kBooks, QStringLiteral("附件")}},
          {QStringLiteral("tsjg"), {kBooks, QStringLiteral("价格")}},
          {QStringLiteral("tsbz"), {kBooks, QStringLiteral("备注"), StoredForm::LinesJoined}}},
         {QStringLiteral("tsmz"), QStringLiteral("tsbz")});
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileBookInput, Maintenance) {
    Tfrm_GGBook screen(ctx);
    pass(screen,
         {[&] {
              screen.FormShow();
              screen.field(QStringLiteral("id")).type(QStringLiteral("B001"));
          },
          [&] { screen.Button1Click(); },
          {}},
         {{QStringLiteral("tsmz"), {kBooks, QStringLiteral("图书名称"), StoredForm::Trimmed}},
          {QStringLiteral("tszz"), {kBooks, QStringLiteral("作者"), StoredForm::Trimmed}},
          {QStringLiteral("tsfj"), {kBooks, QStringLiteral("附件"), StoredForm::Trimmed}},
          {QStringLiteral("tsjg"), {kBooks, QStringLiteral("价格"), StoredForm::Trimmed}},
          {QStringLiteral("tsbz"), {kBooks, QStringLiteral("备注"), StoredForm::LinesJoined}}},
         {QStringLiteral("tsmz"), QStringLiteral("tsbz")});
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileBookInput, Deletion) {
    Tfrm_SCBook screen(ctx);
    const qint64 books = shop.count(kBooks);
    pass(screen,
         {[&] {
              screen.FormShow();
              screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
          },
          [&] { screen.Button1Click(); },
          [&](const Attempt& a) {
              // Whatever the display fields hold, only the looked-up book goes.
              if (a.refused({}))
                  return;
              EXPECT_EQ(shop.count(kBooks), books - 1) << a.where();
              EXPECT_FALSE(shop.dm->isHaveBook(QStringLiteral("B001"))) << a.where();
          }},
         {}, {QStringLiteral("tsID")});
    EXPECT_GT(runner.accepted(), 0);
}

} // namespace
} // namespace lms::test
