#include "core/widgets/Binder.h"

#include "core/GbkText.h"
#include "core/form/FormModel.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QTextCursor>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <type_traits>

namespace lms {

namespace {

// Refuses typing that would take a text past its byte limit in the GBK code page. A longer text
// the program showed (a stored value, a widened number) may be shortened, never lengthened:
// the field still holds the text before the keystroke when this runs.
class GbkLengthValidator : public QValidator {
public:
    GbkLengthValidator(const Field& field, QObject* parent) : QValidator(parent), field_(field) {}
    State validate(QString& input, int&) const override {
        const int limit = field_.maxBytes();
        if (limit <= 0)
            return Acceptable;
        const int bytes = Gbk::byteLength(input);
        return bytes > limit && bytes > Gbk::byteLength(field_.text()) ? Invalid : Acceptable;
    }

private:
    const Field& field_;
};

// Windows key codes, as the screens' key handlers expect them.
int windowsKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnterKey;
    case Qt::Key_Escape:
        return kEscapeKey;
    default:
        return qtKey >= Qt::Key_Space && qtKey <= Qt::Key_AsciiTilde ? qtKey : 0;
    }
}

// How often the columns of a grid whose rows keep arriving are fitted again.
constexpr int kRefitMs = 250;

// Columns fit their texts. The header measures a sample of rows only, so a column that names
// its widest text (numbers: the row number, amounts) is widened to it as well.
void fitColumns(QTableView& table) {
    table.resizeColumnsToContents();
    QAbstractItemModel* model = table.model();
    if (!model)
        return;
    const QFontMetrics metrics(table.font());
    // The cell's margins, as the view's own fitting leaves them.
    const int margins =
        2 * table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) +
        2 * table.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &table);
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString widest =
            model->headerData(column, Qt::Horizontal, kWidestTextRole).toString();
        if (widest.isEmpty())
            continue;
        const int width = metrics.horizontalAdvance(widest) + margins;
        if (table.columnWidth(column) < width)
            table.setColumnWidth(column, width);
    }
}

QString plainCaption(QString caption) {
    caption.remove(QLatin1Char(' '));
    caption.remove(QStringLiteral("："));
    caption.remove(QLatin1Char(':'));
    return caption;
}

} // namespace

Binder::Binder(FormModel& model, QWidget& root) : QObject(&root), model_(&model), root_(root) {
    for (Field* field : model.fields()) {
        QObject* target =
            root.objectName() == field->name() ? &root : root.findChild<QObject*>(field->name());
        if (!target) {
            unbound_ << field->name();
            continue;
        }
        bindField(*field, *target);
    }
    if (auto* dialog = qobject_cast<QDialog*>(&root)) {
        dialog->setWindowTitle(model.caption());
        // A layout may ask for a window without frame and title bar (the progress window).
        const auto* content = dialog->findChild<QWidget*>(model.objectName());
        if (content && content->property("frameless").toBool())
            dialog->setWindowFlag(Qt::FramelessWindowHint);
        connect(&model, &FormModel::closeRequested, dialog, [dialog](FormModel::Result r) {
            dialog->done(r == FormModel::Result::Accepted ? QDialog::Accepted : QDialog::Rejected);
        });
    }
}

// A widget kind and its binding; the first entry whose widget class fits the target binds it,
// so a subclass comes before its base (a check box before a button).
struct Binder::Kind {
    bool (*bind)(Binder& binder, Field& field, QObject& target);
};

template <typename Widget, void (Binder::*bind)(Field&, Widget&)>
bool Binder::bindAs(Binder& binder, Field& field, QObject& target) {
    auto* widget = qobject_cast<Widget*>(&target);
    if (!widget)
        return false;
    if constexpr (std::is_base_of_v<QWidget, Widget>)
        binder.bindCommon(field, *widget);
    (binder.*bind)(field, *widget);
    return true;
}

void Binder::bindField(Field& field, QObject& target) {
    static const Kind kinds[] = {
        {&bindAs<QAction, &Binder::bindAction>},
        {&bindAs<QLineEdit, &Binder::bindLineEdit>},
        {&bindAs<QComboBox, &Binder::bindComboBox>},
        {&bindAs<QCheckBox, &Binder::bindCheckBox>},
        {&bindAs<QAbstractButton, &Binder::bindButton>},
        {&bindAs<QSpinBox, &Binder::bindSpinBox>},
        {&bindAs<QDateTimeEdit, &Binder::bindDateEdit>},
        {&bindAs<QPlainTextEdit, &Binder::bindMemo>},
        {&bindAs<QListWidget, &Binder::bindListBox>},
        {&bindAs<QMenu, &Binder::bindMenu>},
        {&bindAs<QGroupBox, &Binder::bindGroupBox>},
        {&bindAs<QLabel, &Binder::bindLabel>},
        {&bindAs<QProgressBar, &Binder::bindProgressBar>},
        {&bindAs<QTableView, &Binder::bindGrid>},
    };
    for (const Kind& kind : kinds)
        if (kind.bind(*this, field, target))
            return;
    if (auto* widget = qobject_cast<QWidget*>(&target))
        bindCommon(field, *widget);
}

void Binder::bindAction(Field& field, QAction& action) {
    action.setText(field.caption());
    action.setEnabled(field.isEnabled());
    action.setVisible(field.isVisible());
    connect(&field, &Field::enabledChanged, &action, &QAction::setEnabled);
    connect(&field, &Field::visibleChanged, &action, &QAction::setVisible);
    connect(&field, &Field::captionChanged, &action, &QAction::setText);
    connect(&action, &QAction::triggered, this,
            [this, name = field.name()] { runOperation(name + QStringLiteral("Click")); });
}

void Binder::bindLineEdit(Field& field, QLineEdit& edit) {
    edit.setEchoMode(field.kind() == FieldKind::Password ? QLineEdit::Password : QLineEdit::Normal);
    edit.setValidator(new GbkLengthValidator(field, &edit));
    edit.setReadOnly(field.kind() == FieldKind::Label);
    edit.setText(field.text());
    connect(&field, &Field::valueChanged, &edit, [this, &edit](const QVariant& v) {
        // The user's own typing comes back here; rewriting it would move the cursor.
        if (edit.text() == v.toString())
            return;
        const QScopedValueRollback<bool> quiet(updating_, true);
        edit.setText(v.toString());
        // Text the program puts where the cursor is (an id it looks up for the clerk) is
        // selected as well, so the next entry replaces it.
        if (edit.window()->focusWidget() == &edit)
            edit.selectAll();
    });
    connect(&edit, &QLineEdit::textChanged, &field, [this, &field](const QString& text) {
        if (!updating_)
            field.setValue(Field::typeable(text));
    });
    // The screen puts the cursor where the next entry belongs, a refused id above all: the
    // text is selected, so what is scanned or typed next replaces it.
    connect(&field, &Field::focusRequested, &edit, &QLineEdit::selectAll);
    bindCaptionLabel(field, edit);
}

void Binder::bindComboBox(Field& field, QComboBox& combo) {
    combo.setEditable(field.kind() == FieldKind::EditList);
    auto show = [this, &combo, &field] {
        const QScopedValueRollback<bool> quiet(updating_, true);
        bool same = combo.count() == field.items().size();
        for (int i = 0; same && i < combo.count(); ++i)
            same = combo.itemText(i) == field.items()[i];
        if (!same) {
            combo.clear();
            combo.addItems(field.items());
        }
        combo.setCurrentIndex(field.itemIndex());
        if (combo.isEditable())
            combo.setEditText(field.text());
    };
    show();
    connect(&field, &Field::itemsChanged, &combo, show);
    connect(&field, &Field::valueChanged, &combo, [&combo, show](const QVariant& v) {
        // The user's own typing comes back here; showing it again would move the caret to the
        // end after every key.
        if (combo.isEditable() && combo.currentText() == v.toString())
            return;
        show();
    });
    if (combo.isEditable()) {
        connect(&combo, &QComboBox::editTextChanged, &field, [this, &field](const QString& t) {
            if (!updating_)
                field.setValue(Field::typeable(t));
        });
        combo.lineEdit()->setValidator(new GbkLengthValidator(field, &combo));
        combo.lineEdit()->installEventFilter(this);
        combo.lineEdit()->setProperty("lmsField", field.name());
        connect(&field, &Field::focusRequested, combo.lineEdit(), &QLineEdit::selectAll);
    } else {
        connect(&combo, &QComboBox::currentIndexChanged, &field, [this, &field](int index) {
            if (!updating_)
                field.setItemIndex(index);
        });
    }
    bindCaptionLabel(field, combo);
}

void Binder::bindCheckBox(Field& field, QCheckBox& check) {
    check.setText(field.caption());
    check.setChecked(field.checked());
    connect(&field, &Field::valueChanged, &check, [this, &check](const QVariant& v) {
        const QScopedValueRollback<bool> quiet(updating_, true);
        check.setChecked(v.toBool());
    });
    connect(&check, &QCheckBox::toggled, &field, [this, &field](bool on) {
        if (!updating_)
            field.setValue(on);
    });
}

void Binder::bindButton(Field& field, QAbstractButton& button) {
    button.setText(field.caption());
    connect(&field, &Field::captionChanged, &button, &QAbstractButton::setText);
    if (auto* push = qobject_cast<QPushButton*>(&button)) {
        // Enter belongs to the screen's own key handlers, never to a default button.
        push->setAutoDefault(false);
        push->setDefault(false);
    }
    connect(&button, &QAbstractButton::clicked, this,
            [this, name = field.name()] { runOperation(name + QStringLiteral("Click")); });
}

void Binder::bindSpinBox(Field& field, QSpinBox& spin) {
    auto limits = [this, &spin, &field] {
        const QScopedValueRollback<bool> quiet(updating_, true);
        spin.setRange(field.minimum(), field.maximum());
    };
    limits();
    {
        const QScopedValueRollback<bool> quiet(updating_, true);
        spin.setValue(field.number());
    }
    connect(&field, &Field::limitsChanged, &spin, limits);
    connect(&field, &Field::valueChanged, &spin, [this, &spin](const QVariant& v) {
        const QScopedValueRollback<bool> quiet(updating_, true);
        spin.setValue(v.toInt());
    });
    connect(&spin, &QSpinBox::valueChanged, &field, [this, &field](int v) {
        if (!updating_)
            field.setValue(v);
    });
    bindCaptionLabel(field, spin);
}

void Binder::bindDateEdit(Field& field, QDateTimeEdit& dateEdit) {
    dateEdit.setDateTime(field.value().toDateTime());
    connect(&field, &Field::valueChanged, &dateEdit, [this, &dateEdit](const QVariant& v) {
        const QScopedValueRollback<bool> quiet(updating_, true);
        dateEdit.setDateTime(v.toDateTime());
    });
    connect(&dateEdit, &QDateTimeEdit::dateTimeChanged, this, [this, &field](const QDateTime& v) {
        if (!updating_)
            field.setValue(v);
    });
    bindCaptionLabel(field, dateEdit);
}

void Binder::bindMemo(Field& field, QPlainTextEdit& memo) {
    memo.setPlainText(field.text());
    connect(&field, &Field::valueChanged, &memo, [this, &memo](const QVariant& v) {
        if (memo.toPlainText() == v.toString())
            return;
        const QScopedValueRollback<bool> quiet(updating_, true);
        memo.setPlainText(v.toString());
    });
    connect(&memo, &QPlainTextEdit::textChanged, &field, [this, &memo, &field] {
        if (updating_)
            return;
        QString text = Field::typeable(memo.toPlainText());
        // A memo has no validator: typing past its byte limit is cut where it overflows, and a
        // longer text shown by the program (a remark stored elsewhere) may only shrink.
        const int limit = field.maxBytes();
        const int bytes = Gbk::byteLength(text);
        if (limit > 0 && bytes > limit && bytes > Gbk::byteLength(field.text())) {
            const bool shownLonger = Gbk::byteLength(field.text()) > limit;
            const int cursor = memo.textCursor().position();
            const int added = static_cast<int>(text.size() - field.text().size());
            text = shownLonger ? field.text() : Gbk::truncateToBytes(text, limit);
            const QScopedValueRollback<bool> quiet(updating_, true);
            memo.setPlainText(text);
            QTextCursor at = memo.textCursor();
            if (shownLonger)
                at.setPosition(std::clamp(cursor - added, 0, static_cast<int>(text.size())));
            else
                at.movePosition(QTextCursor::End);
            memo.setTextCursor(at);
        }
        field.setValue(text);
    });
    bindCaptionLabel(field, memo);
}

void Binder::bindListBox(Field& field, QListWidget& list) {
    // Through the view, so gaining the focus does not choose the first row.
    auto choose = [&list, &field] {
        list.setCurrentIndex(list.model()->index(field.itemIndex(), 0));
    };
    auto show = [this, &list, &field, choose] {
        const QScopedValueRollback<bool> quiet(updating_, true);
        list.clear();
        list.addItems(field.items());
        choose();
    };
    show();
    connect(&field, &Field::itemsChanged, &list, show);
    connect(&field, &Field::valueChanged, &list, [this, choose] {
        const QScopedValueRollback<bool> quiet(updating_, true);
        choose();
    });
    connect(&list, &QListWidget::currentRowChanged, &field, [this, &field](int row) {
        if (!updating_)
            field.setItemIndex(row);
    });
    bindCaptionLabel(field, list);
}

void Binder::bindMenu(Field& field, QMenu& menu) {
    menu.setTitle(field.caption());
}

void Binder::bindGroupBox(Field& field, QGroupBox& group) {
    if (field.kind() == FieldKind::Radio) {
        bindRadioGroup(field, group);
        return;
    }
    group.setTitle(field.caption());
    connect(&field, &Field::captionChanged, &group, &QGroupBox::setTitle);
}

void Binder::bindLabel(Field& field, QLabel& label) {
    // Multi-line messages separate their lines with a bare carriage return.
    auto show = [&label](const QVariant& v) {
        label.setText(v.toString().replace(QLatin1Char('\r'), QLatin1Char('\n')));
    };
    show(field.kind() == FieldKind::Label ? field.value() : QVariant(field.caption()));
    connect(&field, &Field::valueChanged, &label, show);
}

void Binder::bindProgressBar(Field& field, QProgressBar& progress) {
    progress.setRange(field.minimum(), field.maximum());
    progress.setValue(field.number());
    connect(&field, &Field::limitsChanged, &progress,
            [&progress, &field] { progress.setRange(field.minimum(), field.maximum()); });
    connect(&field, &Field::valueChanged, &progress,
            [&progress](const QVariant& v) { progress.setValue(v.toInt()); });
}

void Binder::bindGrid(Field& field, QTableView& table) {
    // A read-only grid whose whole row is selected; the value is the selected row.
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows of one height let a grid of a million rows scroll without measuring each.
    table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table.verticalHeader()->setVisible(false);
    table.setWordWrap(false);
    table.horizontalHeader()->setStretchLastSection(true);
    auto select = [&table](const QVariant& v) {
        const int row = v.toInt();
        if (row < 0 || !table.model() || row >= table.model()->rowCount()) {
            table.clearSelection();
            // No current row either, so choosing any row again reaches the value.
            if (table.selectionModel())
                table.selectionModel()->clearCurrentIndex();
            return;
        }
        table.selectRow(row);
        table.scrollTo(table.model()->index(row, 0));
    };
    if (QAbstractItemModel* model = field.gridModel()) {
        table.setModel(model);
        // The first rows are fitted at once; rows that keep arriving (a long listing comes in
        // slices) are fitted a few times a second, since each fitting measures a sample of rows.
        auto* refit = new QTimer(&table);
        refit->setSingleShot(true);
        refit->setInterval(kRefitMs);
        connect(refit, &QTimer::timeout, &table, [&table] { fitColumns(table); });
        connect(model, &QAbstractItemModel::rowsInserted, &table,
                [&table, refit](const QModelIndex&, int first) {
                    if (first == 0)
                        fitColumns(table);
                    else if (!refit->isActive())
                        refit->start();
                });
        // A reset of the rows clears the view's selection; the value, perhaps unchanged, is
        // shown again (the last row of a listing run twice).
        connect(model, &QAbstractItemModel::modelReset, &table, [&table, &field, select] {
            fitColumns(table);
            select(field.value());
        });
    }
    select(field.value());
    connect(&field, &Field::valueChanged, &table, select);
    // The clerk's choice of row becomes the value; a double click or Enter runs the screen's
    // "<name>DblClick" where it has one.
    if (QItemSelectionModel* selection = table.selectionModel()) {
        connect(selection, &QItemSelectionModel::currentRowChanged, &field,
                [this, &field](const QModelIndex& current) {
                    if (!updating_)
                        field.setValue(current.isValid() ? current.row() : -1);
                });
    }
    connect(&table, &QAbstractItemView::doubleClicked, this,
            [this, &field](const QModelIndex& index) {
                field.setValue(index.row());
                runOperation(field.name() + QStringLiteral("DblClick"));
            });
}

void Binder::bindRadioGroup(Field& field, QGroupBox& group) {
    // The group's radio buttons, in layout order, are the items; the value is the chosen index.
    group.setTitle(field.caption());
    QList<QRadioButton*> buttons = group.findChildren<QRadioButton*>();
    for (int i = 0; i < buttons.size() && i < field.items().size(); ++i)
        buttons[i]->setText(field.items()[i]);
    auto show = [this, buttons](const QVariant& v) {
        const QScopedValueRollback<bool> quiet(updating_, true);
        for (int i = 0; i < buttons.size(); ++i)
            buttons[i]->setChecked(i == v.toInt());
    };
    show(field.value());
    connect(&field, &Field::valueChanged, &group, show);
    for (int i = 0; i < buttons.size(); ++i) {
        connect(buttons[i], &QRadioButton::toggled, &field, [this, &field, i](bool on) {
            if (on && !updating_)
                field.setValue(i);
        });
    }
    group.setAccessibleName(plainCaption(field.caption()));
}

void Binder::bindCommon(Field& field, QWidget& widget) {
    widget.setEnabled(field.isEnabled());
    // Hidden widgets of a window not yet shown stay hidden; visible ones follow their window.
    if (!field.isVisible())
        widget.setVisible(false);
    connect(&field, &Field::enabledChanged, &widget, &QWidget::setEnabled);
    connect(&field, &Field::visibleChanged, &widget, &QWidget::setVisible);
    connect(&field, &Field::focusRequested, &widget,
            [&widget] { widget.setFocus(Qt::OtherFocusReason); });
    widget.setProperty("lmsField", field.name());
    widget.installEventFilter(this);
}

void Binder::bindCaptionLabel(Field& field, QWidget& widget) {
    // The caption label is the field's buddy, so the keyboard and screen readers reach the
    // field by its caption.
    widget.setAccessibleName(plainCaption(field.caption()));
    if (auto* label = root_.findChild<QLabel*>(field.name() + QStringLiteral("Label"))) {
        label->setText(field.caption());
        label->setBuddy(&widget);
        // A field hidden from the start hides its caption too, not only when it is hidden later.
        if (!field.isVisible())
            label->setVisible(false);
        connect(&field, &Field::captionChanged, label, &QLabel::setText);
        connect(&field, &Field::visibleChanged, label, &QWidget::setVisible);
    }
}

void Binder::runOperation(const QString& name) {
    if (model_)
        model_->run(name);
}

bool Binder::eventFilter(QObject* watched, QEvent* event) {
    const QString name = watched->property("lmsField").toString();
    if (!name.isEmpty() && model_) {
        if (event->type() == QEvent::FocusOut) {
            // Another window or a list's popup taking the focus does not leave the field; a box
            // the exit handler raises would otherwise raise itself again.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                model_->focusLeft(name);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = windowsKeyCode(static_cast<QKeyEvent*>(event)->key());
            if (key != 0)
                model_->keyDown(name, key);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lms
