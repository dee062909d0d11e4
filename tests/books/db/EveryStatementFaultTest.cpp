// Changing a book with each statement of the change failing in turn: the change is stored whole
// or not at all, and pressing "更改" again then stores it.
#include "BookFixture.h"

#include "books/Tfrm_GGBook.h"
#include "support/EveryStatementFault.h"

#include <ostream>

namespace lms::test {
namespace {

struct BookChange {
    const char* name;
    int type;      // the index of the type chosen
    int state;     // the index of the state chosen
    int questions; // the changes of type and state ask, each answered Yes
};

void PrintTo(const BookChange& change, std::ostream* os) {
    *os << change.name;
}

class BookChangeFaults : public BookScreenTest, public ::testing::WithParamInterface<BookChange> {
public:
    static void TearDownTestSuite() { reportFaultsInjected("books", faultsInjected); }

protected:
    static inline int faultsInjected = 0;

    BookChangeFaults() { addBook(QStringLiteral("B001")); }

    Field& f(const char* name) { return screen.field(QString::fromUtf8(name)); }

    void prepare() {
        screen.FormShow();
        f("id").type(QStringLiteral("B001"));
        f("tsmz").setValue(QStringLiteral("红楼梦"));
        f("tszz").setValue(QStringLiteral("曹雪芹"));
        f("tsjg").setValue(QStringLiteral("32.8"));
        f("tsbz").setValue(QStringLiteral("精装\r\n两册"));
        f("tsrx").setItemIndex(GetParam().type);
        f("tszt").setItemIndex(GetParam().state);
    }
    void press() {
        for (int i = 0; i < GetParam().questions; ++i)
            prompter.answer(true);
        screen.Button1Click();
    }

    Tfrm_GGBook screen{ctx};
};

TEST_P(BookChangeFaults, EachFailingStatementStoresNothingAndTheScreenThenSucceeds) {
    FaultedOperation operation;
    operation.name = QString::fromLatin1(GetParam().name);
    operation.success = QStringLiteral("图书信息更改成功!");
    operation.prepare = [this] { prepare(); };
    operation.press = [this] { press(); };
    faultsInjected += failEveryStatementInTurn(*shop.dm, prompter, operation);
}

// The book is a 小说 (the first type) and 未借出.
INSTANTIATE_TEST_SUITE_P(Screens, BookChangeFaults,
                         ::testing::Values(BookChange{"book change", 0, 0, 0},
                                           BookChange{"book type and state change", 1, 2, 2}),
                         [](const ::testing::TestParamInfo<BookChange>& param) {
                             QString name = QString::fromLatin1(param.param.name);
                             name.replace(QLatin1Char(' '), QLatin1Char('_'));
                             return name.toStdString();
                         });

} // namespace
} // namespace lms::test
