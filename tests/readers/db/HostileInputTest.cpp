// Hostile typing on every text field of the reader screens: registration, maintenance and
// deletion. A refusal leaves every row as it was; an acceptance stores the text as the field held
// it, and the reader query lists exactly the rows holding it.
#include "ReaderFixture.h"

#include "queries/Tfrm_QallReader.h"
#include "readers/Tfrm_GGReader.h"
#include "readers/Tfrm_SZReader.h"
#include "readers/Tfrm_TJReader.h"
#include "support/HostileInput.h"

namespace lms::test {
namespace {

const QString kReaders = QStringLiteral("读者");

// The reader query's criterion over each stored text column.
const QHash<QString, ListedCriterion>& readerCriteria() {
    static const QHash<QString, ListedCriterion> criteria = {
        {QStringLiteral("读者姓名"),
         {QStringLiteral("CheckBox2"), QStringLiteral("Edit1"), QStringLiteral("读者姓名"),
          kReaders, QStringLiteral("读者姓名")}},
        {QStringLiteral("读者编号"),
         {QStringLiteral("CheckBox3"), QStringLiteral("Edit2"), QStringLiteral("读者编号"),
          kReaders, QStringLiteral("读者编号")}},
        {QStringLiteral("备注"),
         {QStringLiteral("CheckBox5"), QStringLiteral("Edit3"), QStringLiteral("备注"), kReaders,
          QStringLiteral("备注")}},
        {QStringLiteral("证件号码"),
         {QStringLiteral("CheckBox6"), QStringLiteral("Edit4"), QStringLiteral("证件号码"),
          kReaders, QStringLiteral("证件号码")}},
    };
    return criteria;
}

class HostileReaderInput : public ReaderScreenTest {
protected:
    HostileReaderInput() : listing(ctx) {
        shop.pub.ReaderIdMaxLen = 4;
        // Readers already holding hostile texts, so that a listing that matched too much shows.
        int n = 0;
        for (const HostileValue& value : shortHostileValues())
            addReader(QStringLiteral("H%1").arg(++n, 3, 10, QLatin1Char('0')),
                      {{QStringLiteral("读者姓名"), storedForm(value.text)},
                       {QStringLiteral("备注"), storedForm(value.text)},
                       {QStringLiteral("证件号码"), storedForm(value.text)}});
        addReader(QStringLiteral("R001"));
    }
    ~HostileReaderInput() override { tried += runner.tried(); }
    static void TearDownTestSuite() { reportInputsTried("readers", tried); }

    void pass(FormModel& screen, const HostileRunner::Steps& steps,
              const QHash<QString, StoredColumn>& stored, const QStringList& longOn) {
        passOverTextFields(runner, screen, steps, stored, longOn, listing, readerCriteria(),
                           shop.dm->db());
    }

    Tfrm_QallReader listing;
    HostileRunner runner{shop.dm->db(), prompter};
    static inline int tried = 0;
};

TEST_F(HostileReaderInput, Registration) {
    Tfrm_TJReader screen(ctx);
    pass(screen,
         {[&] {
              screen.FormShow();
              screen.field(QStringLiteral("ID")).type(QStringLiteral("N001"));
              screen.field(QStringLiteral("xm")).type(QStringLiteral("Li"));
          },
          [&] { screen.Button1Click(); },
          {}},
         {{QStringLiteral("ID"), {kReaders, QStringLiteral("读者编号"), StoredForm::Trimmed}},
          {QStringLiteral("xm"), {kReaders, QStringLiteral("读者姓名")}},
          {QStringLiteral("zjhm"), {kReaders, QStringLiteral("证件号码")}},
          {QStringLiteral("df"), {kReaders, QStringLiteral("电话")}},
          {QStringLiteral("bz"), {kReaders, QStringLiteral("备注"), StoredForm::LinesJoined}}},
         {QStringLiteral("xm"), QStringLiteral("bz")});
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileReaderInput, Maintenance) {
    Tfrm_GGReader screen(ctx);
    pass(screen,
         {[&] {
              screen.FormShow();
              screen.field(QStringLiteral("ID")).type(QStringLiteral("R001"));
          },
          [&] { screen.Button1Click(); },
          {}},
         {{QStringLiteral("tzxm"), {kReaders, QStringLiteral("读者姓名"), StoredForm::Trimmed}},
          {QStringLiteral("zjhm"), {kReaders, QStringLiteral("证件号码"), StoredForm::Trimmed}},
          {QStringLiteral("df"), {kReaders, QStringLiteral("电话"), StoredForm::Trimmed}},
          {QStringLiteral("bz"), {kReaders, QStringLiteral("备注"), StoredForm::LinesJoined}}},
         {QStringLiteral("tzxm"), QStringLiteral("bz")});
    EXPECT_GT(runner.accepted(), 0);
}

TEST_F(HostileReaderInput, Deletion) {
    Tfrm_SZReader screen(ctx);
    const qint64 readers = shop.count(kReaders);
    pass(screen,
         {[&] {
              screen.FormShow();
              screen.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
          },
          [&] { screen.Button1Click(); },
          [&](const Attempt& a) {
              // Whatever the display fields hold, only the looked-up reader goes.
              if (a.refused({}))
                  return;
              EXPECT_EQ(shop.count(kReaders), readers - 1) << a.where();
              EXPECT_FALSE(shop.dm->isHaveReader(QStringLiteral("R001"))) << a.where();
          }},
         {}, {QStringLiteral("tzID")});
    EXPECT_GT(runner.accepted(), 0);
}

} // namespace
} // namespace lms::test
