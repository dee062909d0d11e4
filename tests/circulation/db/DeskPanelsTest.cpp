// The desk's panels show only what belongs to the reader or book on screen: a lookup of an id
// that does not exist leaves none of the previous one's figures to be read as its own.
#include "books/Tfrm_SCBook.h"
#include "circulation/db/CirculationFixture.h"
#include "readers/Tfrm_GGReader.h"
#include "readers/Tfrm_SZReader.h"

#include <functional>
#include <memory>

namespace lms::test {
namespace {

class DeskPanels : public CirculationTest {};

TEST_F(DeskPanels, AnUnknownIdLeavesNoFigureOfThePreviousOne) {
    addReader(QStringLiteral("R001"), {{QStringLiteral("押金"), 40.0},
                                       {QStringLiteral("未还数量"), 2},
                                       {QStringLiteral("借阅总计"), 9}});
    addBook(QStringLiteral("B001"), {{QStringLiteral("借阅次数"), 7}});
    struct Case {
        const char* screen;
        std::function<std::unique_ptr<FormModel>(const ScreenContext&)> make;
        const char* idField;
        QString known;
        QStringList figures; // fields that must not keep the known one's value
    };
    const QStringList readerFigures{QStringLiteral("yj"), QStringLiteral("whsn"),
                                    QStringLiteral("jyzj"), QStringLiteral("tssn"),
                                    QStringLiteral("tzzt")};
    const QStringList bookFigures{QStringLiteral("tszjcs"), QStringLiteral("tszt")};
    const Case cases[] = {
        {"读者借书", [](auto& c) { return std::make_unique<Tfrm_TZJBook>(c); }, "tzID",
         QStringLiteral("R001"), readerFigures},
        {"读者借书", [](auto& c) { return std::make_unique<Tfrm_TZJBook>(c); }, "tsID",
         QStringLiteral("B001"), bookFigures},
        {"删除读者", [](auto& c) { return std::make_unique<Tfrm_SZReader>(c); }, "tzID",
         QStringLiteral("R001"), readerFigures},
        {"删除图书", [](auto& c) { return std::make_unique<Tfrm_SCBook>(c); }, "tsID",
         QStringLiteral("B001"), bookFigures},
        {"更改读者信息",
         [](auto& c) { return std::make_unique<Tfrm_GGReader>(c); },
         "ID",
         QStringLiteral("R001"),
         {QStringLiteral("yj"), QStringLiteral("whsn"), QStringLiteral("tssn")}},
        {"缴费充值",
         [](auto& c) { return std::make_unique<Tfrm_JNZC>(c); },
         "ID",
         QStringLiteral("R001"),
         {QStringLiteral("yj"), QStringLiteral("whsn"), QStringLiteral("tzzt")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.screen) + " " + c.idField);
        std::unique_ptr<FormModel> screen = c.make(ctx);
        screen->FormShow();
        screen->field(QString::fromUtf8(c.idField)).type(c.known);
        QHash<QString, QVariant> shown;
        for (const QString& name : c.figures)
            shown[name] = screen->field(name).value();
        screen->field(QString::fromUtf8(c.idField)).type(QStringLiteral("X999"));
        EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("X999")));
        for (const QString& name : c.figures)
            EXPECT_NE(screen->field(name).value(), shown[name]) << name.toStdString();
        prompter.clear();
    }
}

} // namespace
} // namespace lms::test
