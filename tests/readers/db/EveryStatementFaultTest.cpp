// Changing a reader with each statement of the change failing in turn: the change is stored whole
// or not at all, and pressing "更改" again then stores it.
#include "ReaderFixture.h"

#include "readers/Tfrm_GGReader.h"
#include "support/EveryStatementFault.h"

#include <ostream>

namespace lms::test {
namespace {

struct ReaderChange {
    const char* name;
    const char* id;
    int state;  // the index of the state chosen
    bool asked; // the change asks a question that is answered Yes
};

void PrintTo(const ReaderChange& change, std::ostream* os) {
    *os << change.name;
}

class ReaderChangeFaults : public ReaderScreenTest,
                           public ::testing::WithParamInterface<ReaderChange> {
public:
    static void TearDownTestSuite() { reportFaultsInjected("readers", faultsInjected); }

protected:
    static inline int faultsInjected = 0;

    ReaderChangeFaults() {
        shop.pub.ReaderIdMaxLen = 4;
        addReader(QStringLiteral("R001"));
        addReader(QStringLiteral("R002"), {{QStringLiteral("未还数量"), 2}});
    }

    Field& f(const char* name) { return screen.field(QString::fromUtf8(name)); }

    void prepare() {
        screen.FormShow();
        f("ID").type(QString::fromLatin1(GetParam().id));
        f("tzxm").setValue(QStringLiteral("李娜"));
        f("df").setValue(QStringLiteral("13800000000"));
        f("bz").setValue(QStringLiteral("常客\r\n周末来"));
        f("tssn").setValue(8);
        f("tzzt").setItemIndex(GetParam().state);
    }
    void press() {
        if (GetParam().asked)
            prompter.answer(true);
        screen.Button1Click();
    }

    Tfrm_GGReader screen{ctx};
};

TEST_P(ReaderChangeFaults, EachFailingStatementStoresNothingAndTheScreenThenSucceeds) {
    FaultedOperation operation;
    operation.name = QString::fromLatin1(GetParam().name);
    operation.success = QStringLiteral("读者信息更改成功!");
    operation.prepare = [this] { prepare(); };
    operation.press = [this] { press(); };
    faultsInjected += failEveryStatementInTurn(*shop.dm, prompter, operation);
}

INSTANTIATE_TEST_SUITE_P(Screens, ReaderChangeFaults,
                         ::testing::Values(ReaderChange{"reader change", "R001", 0, false},
                                           ReaderChange{"reader suspension", "R001", 2, false},
                                           ReaderChange{"reader reported lost with books out",
                                                        "R002", 3, true}),
                         [](const ::testing::TestParamInfo<ReaderChange>& param) {
                             QString name = QString::fromLatin1(param.param.name);
                             name.replace(QLatin1Char(' '), QLatin1Char('_'));
                             return name.toStdString();
                         });

} // namespace
} // namespace lms::test
