// The overdue criterion's bound where the local clock skips midnight when summer time starts
// (São Paulo until 2019): today's midnight is still bound as its stored text, so the loans due
// before today are listed that day too.
#include "queries/FilterBuilder.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QallReader.h"
#include "support/Moments.h"
#include "support/ZoneSwitch.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

class SaoPauloClock : public ::testing::Test {
protected:
    void SetUp() override {
        if (at(2018, 11, 4, 0, 0).isValid())
            GTEST_SKIP() << "no time zone data for America/Sao_Paulo on this machine";
    }

private:
    test::ZoneSwitch zone_{"America/Sao_Paulo"};
};

TEST_F(SaoPauloClock, TheOverdueBoundIsTodaysMidnightEvenWhenTheClockSkipsIt) {
    struct Case {
        const char* what;
        QueryDefinition definition;
        QString checkBox;
        QDateTime now;
        const char* bound;
    };
    // On 4 November 2018 the clock went from 23:59:59 on the 3rd to 01:00 on the 4th.
    const Case cases[] = {
        {"loans on the day summer time starts", Tfrm_QJCBook::makeDefinition(),
         QStringLiteral("CheckBox6"), at(2018, 11, 4, 10, 15), "2018-11-04 00:00:00.000"},
        {"readers on the day summer time starts", Tfrm_QallReader::makeDefinition(),
         QStringLiteral("CheckBox7"), at(2018, 11, 4, 1, 0), "2018-11-04 00:00:00.000"},
        {"loans on an ordinary day", Tfrm_QJCBook::makeDefinition(), QStringLiteral("CheckBox6"),
         at(2018, 11, 5, 0, 0), "2018-11-05 00:00:00.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FilterInput input;
        const QString box = c.checkBox;
        input.ticked = [box](const QString& name) { return name == box; };
        input.text = [](const QString&) { return QString(); };
        input.now = c.now;
        const Statement statement = FilterBuilder::build(c.definition, input);
        ASSERT_EQ(statement.params.size(), 1);
        EXPECT_EQ(statement.params.front().toString().toStdString(), c.bound);
    }
}

} // namespace
} // namespace lms
