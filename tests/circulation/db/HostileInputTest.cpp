// Hostile typing on every text field of the circulation screens: borrowing, returning and
// payment. A refusal leaves every row as it was; an acceptance acts on the looked-up reader and
// book and stores the remarks as the fields held them.
#include "circulation/db/CirculationFixture.h"

#include "support/HostileInput.h"

namespace lms::test {
namespace {

const QString kReaders = QStringLiteral("读者");
const QString kBooks = QStringLiteral("图书");
const QString kHistory = QStringLiteral("图书借阅历史记录");

class HostileCirculationInput : public CirculationTest {
protected:
    HostileCirculationInput() {
        shop.pub.ExpiryReminderDays = 0;
        addReader(QStringLiteral("R001"),
                  {{QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 12, 5, 9, 0))}});
        addBook(QStringLiteral("B001"));
    }
    ~HostileCirculationInput() override { tried += runner.tried(); }
    static void TearDownTestSuite() { reportInputsTried("circulation", tried); }

    void pass(FormModel& screen, const HostileRunner::Steps& steps,
              const QHash<QString, StoredColumn>& stored, const QStringList& longOn) {
        passOverTextFields(runner, screen, steps, stored, longOn);
    }

    QString loanOf(const QString& book) {
        return shop.dm->db()
            .scalar(QStringLiteral("SELECT 读者编号 FROM 借出图书 WHERE 图书编号 = ?"), {book})
            .toString();
    }

    Tfrm_TZJBook borrowing{ctx};
    HostileRunner runner{shop.dm->db(), prompter};
    static inline int tried = 0;
};

TEST_F(HostileCirculationInput, Borrowing) {
    pass(borrowing,
         {[&] {
              borrowing.FormShow();
              borrowing.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
              borrowing.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
          },
          [&] { borrowing.Button1Click(); },
          [&](const Attempt& a) {
              // The loan is of the looked-up book to the looked-up reader, whatever was typed.
              if (a.refused({}))
                  return;
              EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 1) << a.where();
              EXPECT_EQ(loanOf(QStringLiteral("B001")), QStringLiteral("R001")) << a.where();
          }},
         {{QStringLiteral("tzbz"), {kReaders, QStringLiteral("备注"), StoredForm::LinesJoined}},
          {QStringLiteral("tsbz"), {kBooks, QStringLiteral("备注"), StoredForm::LinesJoined}}},
         {QStringLiteral("tzbz"), QStringLiteral("tsID")});
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileCirculationInput, Returning) {
    clock.set(at(2026, 3, 1, 15, 20));
    lendThroughScreen(borrowing, QStringLiteral("R001"), QStringLiteral("B001"));
    ASSERT_EQ(loanOf(QStringLiteral("B001")), QStringLiteral("R001"));
    // Back late, so a fine is charged and may be edited.
    clock.set(at(2026, 4, 2, 9, 0));
    Tfrm_TZHBook screen(ctx, borrowing);
    pass(screen,
         {[&] {
              screen.FormShow();
              screen.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
          },
          [&] { screen.Button1Click(); },
          [&](const Attempt& a) {
              if (a.refused({}))
                  return;
              EXPECT_EQ(shop.count(QStringLiteral("借出图书")), 0) << a.where();
              const QVariantMap history = lastRow(QStringLiteral("图书借阅历史记录"));
              EXPECT_EQ(history[QStringLiteral("图书编号")], QStringLiteral("B001")) << a.where();
              EXPECT_EQ(history[QStringLiteral("读者编号")], QStringLiteral("R001")) << a.where();
          }},
         {{QStringLiteral("tzbz"), {kReaders, QStringLiteral("备注"), StoredForm::LinesJoined}},
          {QStringLiteral("tsbz"), {kBooks, QStringLiteral("备注"), StoredForm::LinesJoined}},
          // The history row takes the names as the display fields hold them.
          {QStringLiteral("tsmz"), {kHistory, QStringLiteral("图书名称")}},
          {QStringLiteral("tzxm"), {kHistory, QStringLiteral("读者姓名")}}},
         {QStringLiteral("tsbz"), QStringLiteral("cqfh")});
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileCirculationInput, Payment) {
    Tfrm_JNZC screen(ctx);
    pass(screen,
         {[&] {
              screen.FormShow();
              screen.field(QStringLiteral("ID")).type(QStringLiteral("R001"));
          },
          [&] { screen.Button2Click(); },
          [&](const Attempt& a) {
              if (a.refused({}))
                  return;
              const auto rows = changedRows(a.before, a.after, kReaders);
              ASSERT_EQ(rows.size(), 1u) << a.where();
              EXPECT_EQ(cellBytes(a.after, kReaders, rows[0], QStringLiteral("读者编号")),
                        QByteArray("R001"))
                  << a.where();
          }},
         {{QStringLiteral("bz"), {kReaders, QStringLiteral("备注"), StoredForm::LinesJoined}}},
         {QStringLiteral("bz"), QStringLiteral("ZJYJ")});
    EXPECT_GT(runner.accepted(), 0);
}

} // namespace
} // namespace lms::test
