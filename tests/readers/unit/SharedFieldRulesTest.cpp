// The field rules every id screen shares: the id field that looks itself up when full, the id an
// operation acts on, and lists set from stored text.
#include "core/form/FormModel.h"
#include "core/form/IdField.h"
#include "core/form/StoredValues.h"
#include "core/unit/QtPrinters.h"
#include "support/Moments.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

using test::at;

class IdScreen : public FormModel {
public:
    IdScreen() : FormModel(QStringLiteral("idScreen"), QString()) {
        addField(QStringLiteral("id"), FieldKind::Text).setMaxBytes(6);
        addField(QStringLiteral("kind"), FieldKind::List)
            .setItems({QStringLiteral("包月"), QStringLiteral("包年")});
        addField(QStringLiteral("count"), FieldKind::Spin);
        addField(QStringLiteral("when"), FieldKind::Date);
        addField(QStringLiteral("name"), FieldKind::Text);
        lookUpWhenFull(
            field(QStringLiteral("id")), [this] { return full; },
            [this] { looked << field(QStringLiteral("id")).text(); });
    }
    int full = 6;
    QStringList looked;
};

TEST(IdField, LooksItselfUpExactlyWhenTheGbkByteLengthReachesTheFullLength) {
    IdScreen screen;
    Field& id = screen.field(QStringLiteral("id"));
    for (const char* text : {"R", "R0", "R00", "R000", "R0000"})
        id.type(QString::fromUtf8(text));
    EXPECT_TRUE(screen.looked.isEmpty());
    id.type(QStringLiteral("R00001"));
    EXPECT_EQ(screen.looked, QStringList{QStringLiteral("R00001")});
    id.setValue(QStringLiteral("读者号")); // six bytes, set by the program
    id.setValue(QStringLiteral("读者号")); // no change, no second lookup
    id.setValue(QStringLiteral(" 读者 ")); // blanks count: untrimmed text
    id.setValue(QStringLiteral("读者号码"));
    EXPECT_EQ(screen.looked, (QStringList{QStringLiteral("R00001"), QStringLiteral("读者号"),
                                          QStringLiteral(" 读者 ")}));
}

TEST(IdField, NoLookupWhileTheLengthIsNotSet) {
    IdScreen screen;
    screen.full = 0;
    screen.field(QStringLiteral("id")).setValue(QStringLiteral("A"));
    screen.field(QStringLiteral("id")).setValue(QString());
    EXPECT_TRUE(screen.looked.isEmpty());
}

// The id acted on is the one shown, also when a lowered limit makes it too long.
TEST(IdField, TheIdActedOnIsTrimmedAndNeverCut) {
    IdScreen screen;
    Field& id = screen.field(QStringLiteral("id"));
    id.setValue(QStringLiteral("  A1 \t"));
    EXPECT_EQ(typedId(id), QStringLiteral("A1"));
    id.setValue(QStringLiteral(" 读者编号X"));
    EXPECT_EQ(typedId(id), QStringLiteral("读者编号X"));
}

TEST(StoredValues, AListTakesTheStoredItemOrNoSelection) {
    IdScreen screen;
    Field& kind = screen.field(QStringLiteral("kind"));
    selectStored(kind, QStringLiteral("包年"));
    EXPECT_EQ(kind.itemIndex(), 1);
    EXPECT_TRUE(hasChoice(kind));
    selectStored(kind, QStringLiteral("包季"));
    EXPECT_EQ(kind.itemIndex(), -1);
    EXPECT_EQ(kind.text(), QString()) << "the unknown text is not kept as a choice";
    EXPECT_FALSE(hasChoice(kind));
}

TEST(StoredValues, EachKindOfFieldTakesTheValueInItsOwnForm) {
    IdScreen screen;
    showStored(screen.field(QStringLiteral("count")), 12);
    showStored(screen.field(QStringLiteral("name")), 12);
    const QDateTime moment = at(2026, 3, 1, 8, 15);
    showStored(screen.field(QStringLiteral("when")), moment);
    showStored(screen.field(QStringLiteral("kind")), QStringLiteral("包月"));
    EXPECT_EQ(screen.field(QStringLiteral("count")).value(), QVariant(12));
    EXPECT_EQ(screen.field(QStringLiteral("name")).value(), QVariant(QStringLiteral("12")));
    EXPECT_EQ(screen.field(QStringLiteral("when")).value().toDateTime(), moment);
    EXPECT_EQ(screen.field(QStringLiteral("kind")).itemIndex(), 0);
}

} // namespace
} // namespace lms
