// Every writing operation of the counter screens, with each statement it runs failing in turn:
// either the screen shows "连接数据库出错!", the database is exactly as before and pressing the
// same button again then stores the operation, or (a read after the commit failing) the
// operation was stored whole and reported done before the error.
#include "circulation/db/CirculationFixture.h"

#include "books/Tfrm_SCBook.h"
#include "books/Tfrm_TJBook.h"
#include "readers/Tfrm_SZReader.h"
#include "readers/Tfrm_TJReader.h"
#include "support/EveryStatementFault.h"

#include <ostream>

namespace lms::test {
namespace {

struct WritingOperation {
    const char* name;
    const char* success; // the start of the success message
};

void PrintTo(const WritingOperation& op, std::ostream* os) {
    *os << op.name;
}

class EveryStatementFault : public CirculationTest,
                            public ::testing::WithParamInterface<WritingOperation> {
public:
    static void TearDownTestSuite() { reportFaultsInjected("circulation", faultsInjected); }

protected:
    static inline int faultsInjected = 0;

    EveryStatementFault() {
        addReader(QStringLiteral("R001"), {{QStringLiteral("未还数量"), 1}});
        addReader(QStringLiteral("R002"));
        addBook(QStringLiteral("B001"));
        addBook(QStringLiteral("B002"), {{QStringLiteral("当前状态"), QStringLiteral("已借出")}});
        addLoan(shop.dm->db(), QStringLiteral("B002"), QStringLiteral("R001"));
    }

    // Shows the screen and fills it so that its button stores the operation.
    void prepare() {
        const QString op = QString::fromLatin1(GetParam().name);
        if (op == QLatin1String("reader registration")) {
            readerRegistration.FormShow();
            readerRegistration.field(QStringLiteral("ID")).type(QStringLiteral("R003"));
            readerRegistration.field(QStringLiteral("xm")).setValue(QStringLiteral("李娜"));
        } else if (op == QLatin1String("book registration")) {
            bookRegistration.FormShow();
            bookRegistration.field(QStringLiteral("id")).type(QStringLiteral("B003"));
            bookRegistration.field(QStringLiteral("tsmz")).setValue(QStringLiteral("围城"));
            bookRegistration.field(QStringLiteral("tsjg")).setValue(QStringLiteral("20"));
        } else if (op == QLatin1String("lend")) {
            borrowing.FormShow();
            borrowing.field(QStringLiteral("tzID")).type(QStringLiteral("R001"));
            borrowing.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
        } else if (op == QLatin1String("return")) {
            returning.FormShow();
            returning.field(QStringLiteral("tsID")).type(QStringLiteral("B002"));
            returning.field(QStringLiteral("psyx")).setValue(true);
            returning.field(QStringLiteral("cyjhz")).setValue(true);
        } else if (op == QLatin1String("payment")) {
            payment.FormShow();
            payment.field(QStringLiteral("ID")).type(QStringLiteral("R001"));
        } else if (op == QLatin1String("reader deletion")) {
            readerDeletion.FormShow();
            readerDeletion.field(QStringLiteral("tzID")).type(QStringLiteral("R002"));
        } else {
            bookDeletion.FormShow();
            bookDeletion.field(QStringLiteral("tsID")).type(QStringLiteral("B001"));
        }
    }

    void press() {
        const QString op = QString::fromLatin1(GetParam().name);
        if (op == QLatin1String("reader registration"))
            readerRegistration.Button1Click();
        else if (op == QLatin1String("book registration"))
            bookRegistration.Button1Click();
        else if (op == QLatin1String("lend"))
            borrowing.Button1Click();
        else if (op == QLatin1String("return"))
            returning.Button1Click();
        else if (op == QLatin1String("payment"))
            payment.Button2Click();
        else if (op == QLatin1String("reader deletion"))
            readerDeletion.Button1Click();
        else
            bookDeletion.Button1Click();
    }

    Tfrm_TJReader readerRegistration{ctx};
    Tfrm_TJBook bookRegistration{ctx};
    Tfrm_TZJBook borrowing{ctx};
    Tfrm_TZHBook returning{ctx, borrowing};
    Tfrm_JNZC payment{ctx};
    Tfrm_SZReader readerDeletion{ctx};
    Tfrm_SCBook bookDeletion{ctx};
};

TEST_P(EveryStatementFault, EachFailingStatementStoresNothingAndTheScreenThenSucceeds) {
    FaultedOperation operation;
    operation.name = QString::fromLatin1(GetParam().name);
    operation.success = QString::fromUtf8(GetParam().success);
    operation.prepare = [this] { prepare(); };
    operation.press = [this] { press(); };
    operation.quietReadBack =
        operation.name == QLatin1String("lend") || operation.name == QLatin1String("return");
    faultsInjected += failEveryStatementInTurn(*shop.dm, prompter, operation);
}

INSTANTIATE_TEST_SUITE_P(Screens, EveryStatementFault,
                         ::testing::Values(WritingOperation{"reader registration", "添加读者成功!"},
                                           WritingOperation{"book registration", "添加图书成功!"},
                                           WritingOperation{"lend", "图书借出成功!"},
                                           WritingOperation{"return", "图书归还成功!"},
                                           WritingOperation{"payment", "读者缴费充值成功!"},
                                           WritingOperation{"reader deletion", "删除读者成功!"},
                                           WritingOperation{"book deletion", "删除图书成功!"}),
                         [](const ::testing::TestParamInfo<WritingOperation>& param) {
                             QString name = QString::fromLatin1(param.param.name);
                             name.replace(QLatin1Char(' '), QLatin1Char('_'));
                             return name.toStdString();
                         });

} // namespace
} // namespace lms::test
