#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariant>

class QAbstractItemModel;

namespace lms {

// What kind of widget shows a field; the binder picks the widget's binding from it.
enum class FieldKind {
    Text,     // one-line text, value QString
    Password, // one-line text shown masked, value QString
    List,     // drop-down list to choose from, value QString (the chosen item, "" for none)
    EditList, // drop-down list the user may also type into, value QString
    ListBox,  // list box, value QString (the selected item)
    Check,    // check box, value bool
    Spin,     // integer spinner, value int
    Date,     // date picker, value QDateTime
    Memo,     // multi-line text, value QString with lines joined by '\n'
    Radio,    // radio group, value int (the chosen index, -1 for none)
    Grid,     // table over gridModel()
    Label,    // text shown, not edited, value QString
    Progress, // progress bar, value int; maximum() gives its range
    Group,    // a group box: its caption, enabled and visible state
    Button,   // a push button or menu command; value unused
};

// A grid model may name, per column, the widest text it holds (header data of this role): the
// view measures only a sample of the rows, and a number column fits its widest value.
inline constexpr int kWidestTextRole = Qt::UserRole + 1;

// One named field of a screen: its value, whether it is enabled and visible, and its limits.
// Every change of the value, typed or set by the program, reaches the screen's change handler.
class Field : public QObject {
    Q_OBJECT
public:
    Field(const QString& name, FieldKind kind, QObject* parent = nullptr);

    const QString& name() const { return name_; }
    FieldKind kind() const { return kind_; }

    const QVariant& value() const { return value_; }
    QString text() const { return value_.toString(); }
    bool checked() const { return value_.toBool(); }
    int number() const { return value_.toInt(); }
    // The setters return the field, so a screen declares a field with its settings in one line.
    // Sets the value as the program does; runs the change handler when it differs.
    Field& setValue(const QVariant& value);
    // Sets the value as the keyboard does: a text longer than the byte limit is cut at it.
    void type(const QString& text);
    // Text as a field takes it from the keyboard or a paste: without U+0000, which means nothing
    // in a shop's lists and which the server engine cannot store. The field then shows what
    // will be stored.
    static QString typeable(QString text);

    bool isEnabled() const { return enabled_; }
    Field& setEnabled(bool enabled);
    bool isVisible() const { return visible_; }
    Field& setVisible(bool visible);

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);

    // Byte limit of the GBK text (0: none).
    int maxBytes() const { return maxBytes_; }
    Field& setMaxBytes(int bytes);

    const QStringList& items() const { return items_; }
    Field& setItems(const QStringList& items);
    // Index of the value among the items, -1 when it is not one of them.
    int itemIndex() const { return static_cast<int>(items_.indexOf(text())); }
    // Chooses an item by index; an index outside the items clears the choice.
    Field& setItemIndex(int index);

    int maximum() const { return maximum_; }
    void setMaximum(int maximum);
    int minimum() const { return minimum_; }
    void setMinimum(int minimum);
    Field& setRange(int minimum, int maximum);
    // Takes any 32-bit number (a spin field of counts the clerk may set freely).
    Field& setUnbounded();

    QAbstractItemModel* gridModel() const { return gridModel_; }
    void setGridModel(QAbstractItemModel* model) { gridModel_ = model; }

    void requestFocus();

Q_SIGNALS:
    void valueChanged(const QVariant& value);
    void enabledChanged(bool enabled);
    void visibleChanged(bool visible);
    void captionChanged(const QString& caption);
    void itemsChanged(const QStringList& items);
    void limitsChanged();
    void focusRequested();

private:
    QString name_;
    FieldKind kind_;
    QVariant value_;
    bool enabled_ = true;
    bool visible_ = true;
    QString caption_;
    int maxBytes_ = 0;
    QStringList items_;
    int minimum_ = 0;
    int maximum_ = 100;
    QAbstractItemModel* gridModel_ = nullptr;
};

} // namespace lms
