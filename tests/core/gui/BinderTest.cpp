// The binder between a screen's widgets and its model: values flow both ways without echo,
// byte limits hold while typing, captions become buddies and accessible names.
#include "core/widgets/Binder.h"
#include "core/form/FormModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace lms {
namespace {

// A small screen with one field of each common kind, counting what reaches its handlers.
class SampleForm : public FormModel {
public:
    SampleForm() : FormModel(QStringLiteral("sample"), QStringLiteral("示例")) {
        addField(QStringLiteral("tzID"), FieldKind::Text, QStringLiteral("读者编号："))
            .setMaxBytes(6);
        addField(QStringLiteral("kind"), FieldKind::List, QStringLiteral("类型："))
            .setItems({QStringLiteral("包月"), QStringLiteral("包年")});
        addField(QStringLiteral("flag"), FieldKind::Check, QStringLiteral("自动延期"));
        addField(QStringLiteral("days"), FieldKind::Spin, QStringLiteral("天数："));
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("借出"));
        onChange(QStringLiteral("tzID"),
                 [this] { changes << field(QStringLiteral("tzID")).text(); });
        onChange(QStringLiteral("kind"), [this] { ++kindChanges; });
        onKeyDown(QStringLiteral("tzID"), [this](int key) { keys << key; });
        onExit(QStringLiteral("tzID"), [this] { ++exits; });
        addOperation(QStringLiteral("Button1Click"), [this] { ++clicks; });
    }
    QStringList changes;
    QList<int> keys;
    int kindChanges = 0;
    int exits = 0;
    int clicks = 0;
};

struct SampleWindow {
    SampleWindow() {
        auto* layout = new QFormLayout(&root);
        label = new QLabel(&root);
        label->setObjectName(QStringLiteral("tzIDLabel"));
        edit = new QLineEdit(&root);
        edit->setObjectName(QStringLiteral("tzID"));
        layout->addRow(label, edit);
        combo = new QComboBox(&root);
        combo->setObjectName(QStringLiteral("kind"));
        layout->addRow(combo);
        check = new QCheckBox(&root);
        check->setObjectName(QStringLiteral("flag"));
        layout->addRow(check);
        spin = new QSpinBox(&root);
        spin->setObjectName(QStringLiteral("days"));
        layout->addRow(spin);
        button = new QPushButton(&root);
        button->setObjectName(QStringLiteral("Button1"));
        layout->addRow(button);
        binder = new Binder(form, root);
        root.show();
        root.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&root));
    }
    SampleForm form;
    QWidget root;
    QLabel* label;
    QLineEdit* edit;
    QComboBox* combo;
    QCheckBox* check;
    QSpinBox* spin;
    QPushButton* button;
    Binder* binder;
};

TEST(Binder, AValueSetByTheModelReachesTheWidgetAndRunsTheHandlerOnce) {
    SampleWindow w;
    w.form.field(QStringLiteral("tzID")).setValue(QStringLiteral("R001"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("R001"));
    EXPECT_EQ(w.form.changes, QStringList{QStringLiteral("R001")});

    w.form.field(QStringLiteral("kind")).setValue(QStringLiteral("包年"));
    EXPECT_EQ(w.combo->currentIndex(), 1);
    EXPECT_EQ(w.form.kindChanges, 1);
    // Text that is not among the items leaves no selection.
    w.form.field(QStringLiteral("kind")).setValue(QStringLiteral("未知"));
    EXPECT_EQ(w.combo->currentIndex(), -1);
    EXPECT_EQ(w.form.kindChanges, 2);

    w.form.field(QStringLiteral("flag")).setValue(true);
    EXPECT_TRUE(w.check->isChecked());
    w.form.field(QStringLiteral("days")).setValue(30);
    EXPECT_EQ(w.spin->value(), 30);
}

TEST(Binder, TypingReachesTheModelOncePerChange) {
    SampleWindow w;
    w.edit->setFocus();
    QTest::keyClicks(w.edit, QStringLiteral("AB"));
    EXPECT_EQ(w.form.changes, (QStringList{QStringLiteral("A"), QStringLiteral("AB")}));
    EXPECT_EQ(w.form.field(QStringLiteral("tzID")).text(), QStringLiteral("AB"));

    w.combo->setCurrentIndex(0);
    EXPECT_EQ(w.form.field(QStringLiteral("kind")).text(), QStringLiteral("包月"));
    EXPECT_EQ(w.form.kindChanges, 1);
    w.check->click();
    EXPECT_TRUE(w.form.field(QStringLiteral("flag")).checked());
    w.spin->setValue(7);
    EXPECT_EQ(w.form.field(QStringLiteral("days")).number(), 7);
}

TEST(Binder, TypingStopsAtTheByteLimitOfTheGbkText) {
    SampleWindow w;
    w.edit->setFocus();
    QTest::keyClicks(w.edit, QStringLiteral("AB"));
    w.edit->insert(QStringLiteral("读者"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("AB读者"));
    w.edit->insert(QStringLiteral("X"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("AB读者")) << "six bytes are full";
}

TEST(Binder, KeysFocusAndClicksReachTheModel) {
    SampleWindow w;
    w.edit->setFocus();
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(w.form.keys, QList<int>{13});
    w.spin->setFocus();
    EXPECT_EQ(w.form.exits, 1);
    w.form.field(QStringLiteral("tzID")).requestFocus();
    EXPECT_TRUE(w.edit->hasFocus());

    QTest::mouseClick(w.button, Qt::LeftButton);
    EXPECT_EQ(w.form.clicks, 1);
    w.form.field(QStringLiteral("Button1")).setEnabled(false);
    EXPECT_FALSE(w.button->isEnabled());
    w.form.run(QStringLiteral("Button1Click"));
    EXPECT_EQ(w.form.clicks, 1) << "a disabled button runs nothing";
}

TEST(Binder, CaptionsBecomeBuddiesAndAccessibleNames) {
    SampleWindow w;
    EXPECT_EQ(w.label->text(), QStringLiteral("读者编号："));
    EXPECT_EQ(w.label->buddy(), w.edit);
    EXPECT_EQ(w.edit->accessibleName(), QStringLiteral("读者编号"));
    EXPECT_EQ(w.check->text(), QStringLiteral("自动延期"));
    EXPECT_EQ(w.button->text(), QStringLiteral("借出"));
    EXPECT_TRUE(w.binder->unboundFields().isEmpty());

    w.form.field(QStringLiteral("tzID")).setVisible(false);
    EXPECT_FALSE(w.edit->isVisible());
    EXPECT_FALSE(w.label->isVisible());
}

} // namespace
} // namespace lms
