// The binder between a screen's widgets and its model: values flow both ways without echo,
// byte limits hold while typing, captions become buddies and accessible names.
#include "core/widgets/Binder.h"
#include "core/form/FormModel.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTextCursor>
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
        addField(QStringLiteral("user"), FieldKind::EditList, QStringLiteral("用户："))
            .setItems({QStringLiteral("admin")});
        addField(QStringLiteral("bz"), FieldKind::Memo, QStringLiteral("备注：")).setMaxBytes(4);
        addField(QStringLiteral("grid"), FieldKind::Grid).setGridModel(&rows);
        onChange(QStringLiteral("tzID"),
                 [this] { changes << field(QStringLiteral("tzID")).text(); });
        onChange(QStringLiteral("kind"), [this] { ++kindChanges; });
        onKeyDown(QStringLiteral("tzID"), [this](int key) { keys << key; });
        onExit(QStringLiteral("tzID"), [this] { ++exits; });
        addOperation(QStringLiteral("Button1Click"), [this] { ++clicks; });
    }
    // Rows whose last column names a widest text its few rows do not show.
    class Rows : public QAbstractTableModel {
    public:
        int rowCount(const QModelIndex& = {}) const override { return count; }
        int columnCount(const QModelIndex& = {}) const override { return 1; }
        QVariant data(const QModelIndex& index, int role) const override {
            return role == Qt::DisplayRole ? QVariant(index.row() + 1) : QVariant();
        }
        QVariant headerData(int, Qt::Orientation, int role) const override {
            return role == kWidestTextRole ? QVariant(QStringLiteral("88888")) : QVariant();
        }
        void reset(int rows) {
            beginResetModel();
            count = rows;
            endResetModel();
        }
        int count = 0;
    } rows;
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
        user = new QComboBox(&root);
        user->setObjectName(QStringLiteral("user"));
        layout->addRow(user);
        memo = new QPlainTextEdit(&root);
        memo->setObjectName(QStringLiteral("bz"));
        layout->addRow(memo);
        grid = new QTableView(&root);
        grid->setObjectName(QStringLiteral("grid"));
        layout->addRow(grid);
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
    QComboBox* user;
    QPlainTextEdit* memo;
    QTableView* grid;
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

// A pasted U+0000 is dropped where it arrives, so the widget shows what will be stored.
TEST(Binder, APastedNulCharacterNeverReachesTheModel) {
    SampleWindow w;
    const QString pasted = QStringLiteral("A") + QChar(u'\0') + QStringLiteral("B");
    w.edit->insert(pasted);
    w.user->lineEdit()->insert(pasted);
    w.memo->insertPlainText(pasted);
    for (const char* name : {"tzID", "user", "bz"})
        EXPECT_EQ(w.form.field(QString::fromLatin1(name)).text(), QStringLiteral("AB")) << name;
    EXPECT_EQ(w.edit->text(), QStringLiteral("AB"));
    EXPECT_EQ(w.memo->toPlainText(), QStringLiteral("AB"));
}

// The limit holds for what the clerk types, also where the program showed a longer text (a
// stored remark, a widened number): it may be shortened, never lengthened.
TEST(Binder, ALongerTextShownByTheProgramCanOnlyShrink) {
    SampleWindow w;
    Field& id = w.form.field(QStringLiteral("tzID"));
    id.setValue(QStringLiteral("0.300000011920929"));
    w.edit->setFocus();
    w.edit->end(false);
    QTest::keyClicks(w.edit, QStringLiteral("5"));
    EXPECT_EQ(id.text(), QStringLiteral("0.300000011920929"));
    QTest::keyClick(w.edit, Qt::Key_Backspace);
    EXPECT_EQ(id.text(), QStringLiteral("0.30000001192092"));

    Field& remark = w.form.field(QStringLiteral("bz"));
    remark.setValue(QStringLiteral("备注备注"));
    w.memo->setFocus();
    w.memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.memo, QStringLiteral("X"));
    EXPECT_EQ(remark.text(), QStringLiteral("备注备注"));
    EXPECT_EQ(w.memo->toPlainText(), QStringLiteral("备注备注"));
    QTest::keyClick(w.memo, Qt::Key_Backspace);
    EXPECT_EQ(remark.text(), QStringLiteral("备注备"));
    remark.setValue(QString());
    QTest::keyClicks(w.memo, QStringLiteral("ABCDE"));
    EXPECT_EQ(remark.text(), QStringLiteral("ABCD")) << "typing stops at the limit";
}

TEST(Binder, TypingInTheMiddleOfAnEditableListKeepsTheCaret) {
    SampleWindow w;
    w.user->setFocus();
    QTest::keyClicks(w.user, QStringLiteral("admin"));
    w.user->lineEdit()->setCursorPosition(2);
    QTest::keyClicks(w.user, QStringLiteral("XY"));
    EXPECT_EQ(w.form.field(QStringLiteral("user")).text(), QStringLiteral("adXYmin"));
    EXPECT_EQ(w.user->lineEdit()->cursorPosition(), 4);
}

TEST(Binder, AGridKeepsItsRowAcrossResetsAndFitsTheWidestNumber) {
    SampleWindow w;
    Field& grid = w.form.field(QStringLiteral("grid"));
    w.form.rows.reset(3);
    grid.setValue(2);
    ASSERT_TRUE(w.grid->selectionModel()->isRowSelected(2, {}));
    // The same listing again: the same value, still selected.
    w.form.rows.reset(3);
    EXPECT_TRUE(w.grid->selectionModel()->isRowSelected(2, {}));
    EXPECT_GE(w.grid->columnWidth(0), w.grid->fontMetrics().horizontalAdvance("88888"));
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
